#include "exportfill.h"

#include "grid/vorGrid.h"
#include "host/dataset.h"

#include <QFile>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QSqlError>
#include <QStatusBar>
#include <QTextStream>

using namespace vorgrd;

namespace {

const QString connectionName = QStringLiteral("demo-orders");

// The orders database, made at first use in memory from the shipped sample data, so
// that it can never disagree with it. Its fields are named like the grid's columns.
QSqlDatabase ordersDatabase()
{
    if (QSqlDatabase::contains(connectionName))
        return QSqlDatabase::database(connectionName);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(QStringLiteral(":memory:"));
    if (!db.open())
        throw EDatabaseError(QStringLiteral("Cannot open the orders database: ") + db.lastError().text());
    QSqlQuery query(db);
    query.exec(QStringLiteral("CREATE TABLE orders (\"Order\" INTEGER, Customer TEXT, Product TEXT, "
                              "Quantity INTEGER, Price REAL, Delivered TEXT, Paid TEXT, Total TEXT)"));
    QFile file(QStringLiteral(":/demo/orders.csv"));
    if (!file.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("The sample orders are missing"));
    QTextStream in(&file);
    in.readLine(); // the header
    db.transaction();
    query.prepare(QStringLiteral("INSERT INTO orders VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(u';');
        for (int i = 0; i < 8; ++i) {
            const QString field = fields.value(i);
            query.bindValue(i, field.isEmpty() ? QVariant() : QVariant(field));
        }
        query.exec();
    }
    db.commit();
    return db;
}

void exportTo(QMainWindow *window, tvorgrid *grid, bool html)
{
    const QString name = QFileDialog::getSaveFileName(
        window, html ? QStringLiteral("Export as HTML") : QStringLiteral("Export as SYLK"),
        html ? QStringLiteral("orders.html") : QStringLiteral("orders.slk"),
        html ? QStringLiteral("HTML (*.html *.htm)") : QStringLiteral("SYLK (*.slk)"));
    if (name.isEmpty())
        return;
    try {
        TStringList lines;
        if (html)
            grid->SaveasHTML(QStringLiteral("Orders"), true, lines);
        else
            grid->SaveasSYLK(lines);
        lines.SaveToFile(name);
        window->statusBar()->showMessage(QStringLiteral("Exported %1 lines to %2").arg(lines.Count()).arg(name));
    } catch (const Exception &error) {
        QMessageBox::warning(window, QStringLiteral("Export"), error.Message());
    }
}

void fillFromDatabase(QMainWindow *window, tvorgrid *grid)
{
    try {
        const int n = grid->FillFromQuery(
            QStringLiteral("SELECT * FROM orders ORDER BY \"Order\""), ordersDatabase());
        window->statusBar()->showMessage(QStringLiteral("%1 orders filled from the database").arg(n));
    } catch (const Exception &error) {
        QMessageBox::warning(window, QStringLiteral("Database"), error.Message());
    }
}

} // namespace

void addExportAndFillMenus(QMainWindow *window, tvorgrid *grid)
{
    QMenu *exportMenu = window->menuBar()->addMenu(QStringLiteral("E&xport"));
    exportMenu->addAction(QStringLiteral("As &HTML..."), window, [=] { exportTo(window, grid, true); });
    exportMenu->addAction(QStringLiteral("As &SYLK..."), window, [=] { exportTo(window, grid, false); });
    QMenu *database = window->menuBar()->addMenu(QStringLiteral("&Database"));
    database->addAction(QStringLiteral("&Fill from the orders database"), window,
                        [=] { fillFromDatabase(window, grid); });
}
