#include "orderssource.h"

#include "grid/vorGrid.h"
#include "host/dataset.h"
#include "host/exceptions.h"

#include <QFile>
#include <QProgressDialog>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

using namespace vorgrd;

namespace {

const QString connectionName = QStringLiteral("demo-orders");
const QString sampleFile = QStringLiteral(":/demo/orders.csv");

// Creates the table from the sample file's header line: every field is text (the
// grid's cells are text anyway; the column types give them their meaning).
void createTable(QSqlDatabase &db, const QStringList &fields)
{
    QStringList declarations;
    for (const QString &field : fields)
        declarations << QStringLiteral("\"%1\" TEXT").arg(field);
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("CREATE TABLE orders (%1)").arg(declarations.join(u','))))
        throw EDatabaseError(QStringLiteral("Cannot create the orders table: ") + query.lastError().text());
}

void insertRows(QSqlDatabase &db, QTextStream &in, int fieldCount)
{
    QSqlQuery query(db);
    QStringList marks;
    for (int i = 0; i < fieldCount; ++i)
        marks << QStringLiteral("?");
    query.prepare(QStringLiteral("INSERT INTO orders VALUES (%1)").arg(marks.join(u',')));
    db.transaction();
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(u';');
        for (int i = 0; i < fieldCount; ++i)
            query.bindValue(i, fields.value(i));
        if (!query.exec()) {
            db.rollback();
            throw EDatabaseError(QStringLiteral("Cannot store an order: ") + query.lastError().text());
        }
    }
    db.commit();
}

int orderCount(const QSqlDatabase &db)
{
    QSqlQuery query(QStringLiteral("SELECT COUNT(*) FROM orders"), db);
    return query.next() ? query.value(0).toInt() : 0;
}

} // namespace

QSqlDatabase ordersDatabase()
{
    if (QSqlDatabase::contains(connectionName))
        return QSqlDatabase::database(connectionName);
    // The resources live in a static library, whose initialiser nothing else pulls in.
    Q_INIT_RESOURCE(demo);
    QFile file(sampleFile);
    if (!file.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("The sample orders are missing"));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(QStringLiteral(":memory:"));
    if (!db.open())
        throw EDatabaseError(QStringLiteral("Cannot open the orders database: ") + db.lastError().text());
    QTextStream in(&file);
    const QStringList fields = in.readLine().split(u';');
    createTable(db, fields);
    insertRows(db, in, int(fields.size()));
    return db;
}

QStringList orderCustomers()
{
    QSqlQuery query(QStringLiteral("SELECT DISTINCT Customer FROM orders ORDER BY Customer"),
                    ordersDatabase());
    QStringList customers;
    while (query.next())
        customers << query.value(0).toString();
    return customers;
}

int fillOrders(tvorgrid *grid, QWidget *parent)
{
    const QSqlDatabase db = ordersDatabase();
    QProgressDialog progress(QStringLiteral("Filling the orders..."), QStringLiteral("Stop"), 0,
                             orderCount(db), parent);
    progress.setWindowTitle(QStringLiteral("Orders"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400); // shown only when the fill takes more than a moment
    TFillOptions options;
    options.progressInterval = 50;
    options.progress = [&progress](int rowsFilled) {
        progress.setValue(rowsFilled);
        return !progress.wasCanceled();
    };
    // CAST keeps the order numbers' order numeric although every field is text.
    return grid->FillFromQuery(
        QStringLiteral("SELECT * FROM orders ORDER BY CAST(\"Order\" AS INTEGER)"), db, options);
}
