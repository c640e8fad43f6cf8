// Filling the grid from a real PostgreSQL server through Qt's QPSQL driver, to show
// that any Qt SQL driver serves. The server is started on the loopback address by
// scripts/run-interop.sh, which sets VORGRD_PG_PORT, VORGRD_PG_USER and
// VORGRD_PG_DATABASE; without them the tests skip.
#include "grid/vorGrid.h"
#include "host/datasetsql.h"
#include "host/textconvert.h"

#include <QSqlError>

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

struct Postgres : ::testing::Test
{
    QSqlDatabase db;
    tvorgrid grid;

    void SetUp() override
    {
        const QString port = qEnvironmentVariable("VORGRD_PG_PORT");
        if (port.isEmpty())
            GTEST_SKIP() << "VORGRD_PG_PORT is not set (make test-interop starts a server)";
        ASSERT_TRUE(QSqlDatabase::isDriverAvailable("QPSQL")) << "Qt's QPSQL driver is missing";
        db = QSqlDatabase::addDatabase("QPSQL", "interop");
        db.setHostName("127.0.0.1");
        db.setPort(port.toInt());
        db.setUserName(qEnvironmentVariable("VORGRD_PG_USER"));
        db.setDatabaseName(qEnvironmentVariable("VORGRD_PG_DATABASE"));
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        exec("DROP TABLE IF EXISTS orders");
        exec("CREATE TABLE orders (id integer, customer text, qty bigint, price double precision, "
             "delivered date, stamp timestamp, paid boolean, photo bytea, note text)");
        exec("INSERT INTO orders VALUES (1, 'Ann;\"x\"', 3, 12.5, '2026-01-05', "
             "'2026-01-05 08:30:00', true, '\\x00ff', NULL)");
        exec("INSERT INTO orders VALUES (2, 'Grüße 東京', -7, 0.1, '1999-12-31', "
             "'1999-12-31 23:59:58.25', false, NULL, 'n')");
        exec("INSERT INTO orders VALUES (3, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)"); // NULLs
    }
    void TearDown() override
    {
        if (db.isValid()) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase("interop");
        }
    }
    void exec(const QString &sql)
    {
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }
    QStringList row(int r)
    {
        QStringList texts;
        for (int c = 0; c < grid.ColCount(); ++c)
            texts << grid.Cells(c, r);
        return texts;
    }
};

TEST_F(Postgres, FillFromQueryTakesEveryTypeAsItsDocumentedText)
{
    grid.setFixedCols(0);
    grid.setshowtitles(true);
    TFillOptions options;
    options.nameColumns = true;
    EXPECT_EQ(grid.FillFromQuery("SELECT id, customer, qty, price, delivered, stamp, paid, photo, "
                                 "note FROM orders ORDER BY id",
                                 db, options),
              3);
    EXPECT_EQ(grid.RowCount(), 4); // the driver tells the size: no growing
    EXPECT_EQ(row(0), QStringList({"id", "customer", "qty", "price", "delivered", "stamp", "paid",
                                   "photo", "note"}));
    EXPECT_EQ(row(1), QStringList({"1", "Ann;\"x\"", "3", "12.5", "2026-01-05",
                                   "2026-01-05 08:30:00", "Y", "00ff", ""}));
    EXPECT_EQ(row(2), QStringList({"2", "Grüße 東京", "-7", "0.1", "1999-12-31",
                                   "1999-12-31 23:59:58.250", "", "", "n"}));
    EXPECT_EQ(row(3), QStringList({"3", "", "", "", "", "", "", "", ""}));
    EXPECT_DOUBLE_EQ(StrToDateTime(grid.Cells(5, 2)), EncodeDateTime(1999, 12, 31, 23, 59, 58, 250));
}

TEST_F(Postgres, FillgridWithFillrowfromDBMatchesColumnsCaseInsensitively)
{
    grid.setColCount(3);
    grid.setRowCount(3);
    grid.columns()->GeTmColumn(0)->SetcolumnName("ID");
    grid.columns()->GeTmColumn(1)->SetcolumnName("Customer");
    grid.columns()->GeTmColumn(2)->SetcolumnName("unknown");
    grid.setCells(2, 1, "stale");
    TSqlDataSet data("SELECT * FROM orders ORDER BY id", db);
    grid.OnFillNextRecord = [&](int r, bool &next) {
        grid.FillrowfromDB(data, r);
        data.Next();
        next = !data.Eof();
    };
    grid.Fillgrid(); // rows 0..2 of a 3-row grid: the third record has no row
    EXPECT_EQ(row(0), QStringList({"1", "Ann;\"x\"", ""}));
    EXPECT_EQ(row(1), QStringList({"2", "Grüße 東京", ""}));
    EXPECT_EQ(row(2), QStringList({"3", "", ""}));
}

TEST_F(Postgres, AJoinsFieldsOfOneNameFillTheirColumnsAndAReadQueryFillsWholly)
{
    exec("DROP TABLE IF EXISTS lines");
    exec("CREATE TABLE lines (id integer, order_id integer, item text)");
    exec("INSERT INTO lines VALUES (10, 1, 'pen'), (11, 1, 'ink'), (12, 2, 'pad')");
    const QString sql = "SELECT o.id, l.id, l.item FROM orders o JOIN lines l ON l.order_id = o.id "
                        "ORDER BY l.id";
    grid.setFixedCols(0);
    TFillOptions options;
    options.nameColumns = true;
    EXPECT_EQ(grid.FillFromQuery(sql, db, options), 3);
    EXPECT_EQ(row(2), QStringList({"2", "12", "pad"}));

    // Queries the caller already stepped through.
    QSqlQuery scrollable(db);
    ASSERT_TRUE(scrollable.exec(sql));
    scrollable.next();
    scrollable.next();
    EXPECT_EQ(grid.FillFromQuery(std::move(scrollable)), 3);
    EXPECT_EQ(row(0), QStringList({"1", "10", "pen"}));
    QSqlQuery forwardOnly(db);
    forwardOnly.setForwardOnly(true);
    ASSERT_TRUE(forwardOnly.exec(sql));
    forwardOnly.next();
    forwardOnly.next();
    EXPECT_THROW(grid.FillFromQuery(std::move(forwardOnly)), EDatabaseError);
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(row(0), QStringList({"1", "10", "pen"}));
}

} // namespace
