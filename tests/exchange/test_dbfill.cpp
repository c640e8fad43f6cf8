// Filling from a data set: Fillgrid's protocol with OnFillNextRecord, FillrowfromDB's
// matching of columns to fields, the field texts of a real SQLite database file, the
// one-call FillFromQuery, and the errors that must leave the grid as it was.
#include "grid/vorGrid.h"
#include "host/datasetsql.h"
#include "host/inplaceedit.h"
#include "host/textconvert.h"

#include <QDate>
#include <QHash>
#include <QSignalSpy>
#include <QSqlError>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

using namespace vorgrd;

namespace {

// A SQLite database file in a temporary folder, removed with the fixture.
struct SqliteFile
{
    QTemporaryDir dir;
    QString name = QUuid::createUuid().toString();
    QSqlDatabase db;

    SqliteFile()
    {
        db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(dir.filePath("orders.sqlite"));
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
    }
    ~SqliteFile()
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    void exec(const QString &sql)
    {
        QSqlQuery q(db);
        if (!q.exec(sql))
            throw std::runtime_error((sql + ": " + q.lastError().text()).toStdString());
    }
};

struct Fill : ::testing::Test
{
    tvorgrid grid;
    std::vector<int> asked;

    void name(int col, const QString &n) { grid.columns()->GeTmColumn(col)->SetcolumnName(n); }
    QStringList row(int r)
    {
        QStringList texts;
        for (int c = 0; c < grid.ColCount(); ++c)
            texts << grid.Cells(c, r);
        return texts;
    }
};

// ---- Fillgrid -------------------------------------------------------------------------

TEST_F(Fill, FillgridStartsAtRowZeroWithoutTitlesAndAtRowOneWithThem)
{
    grid.setRowCount(5);
    grid.OnFillNextRecord = [&](int r, bool &) { asked.push_back(r); };
    grid.Fillgrid();
    EXPECT_EQ(asked, std::vector<int>({0}));
    asked.clear();
    grid.setshowtitles(true);
    grid.Fillgrid();
    EXPECT_EQ(asked, std::vector<int>({1}));
}

TEST_F(Fill, FillgridGoesOnWhileNextIsSetAndStopsAtTheLastRow)
{
    grid.setRowCount(6);
    grid.OnFillNextRecord = [&](int r, bool &next) {
        asked.push_back(r);
        next = true;
    };
    grid.Fillgrid();
    EXPECT_EQ(asked, std::vector<int>({0, 1, 2, 3, 4, 5}));

    asked.clear();
    int calls = 0;
    grid.OnFillNextRecord = [&](int r, bool &next) {
        asked.push_back(r);
        if (++calls == 3) next = false;
        else if (calls == 1) next = true; // the second call leaves it as it is
    };
    grid.Fillgrid();
    EXPECT_EQ(asked, std::vector<int>({0, 1, 2}));
}

TEST_F(Fill, FillgridDoesNothingUnassignedAndStopsWhenTheHandlerUnassignsItself)
{
    grid.setRowCount(4);
    grid.Fillgrid(); // nothing to call
    grid.OnFillNextRecord = [&](int r, bool &next) {
        asked.push_back(r);
        next = true;
        if (r == 1) grid.OnFillNextRecord = nullptr;
    };
    grid.Fillgrid();
    EXPECT_EQ(asked, std::vector<int>({0, 1}));
}

TEST_F(Fill, FillgridReadsTheRowCountAfterEveryCall)
{
    grid.setRowCount(3);
    grid.OnFillNextRecord = [&](int r, bool &next) {
        asked.push_back(r);
        next = true;
        if (r == 0) grid.setRowCount(2);
    };
    grid.Fillgrid();
    EXPECT_EQ(asked, std::vector<int>({0, 1}));
}

// ---- FillrowfromDB over a real SQLite file ----------------------------------------------

struct SqliteFill : Fill
{
    SqliteFile file;

    void SetUp() override
    {
        file.exec("CREATE TABLE orders (id INTEGER, Customer TEXT, qty INTEGER, price REAL, "
                  "delivered TEXT, note TEXT, photo BLOB, extra TEXT)");
        file.exec("INSERT INTO orders VALUES (1, 'Ann', 3, 12.5, '2026-01-05', NULL, x'00ff10', 'x')");
        file.exec("INSERT INTO orders VALUES (2, 'Bob;\"Z\"', -7, 0.1, '2026-02-28', 'n', NULL, 'y')");
        file.exec("INSERT INTO orders VALUES (3, 'Cé', 0, 1e20, NULL, '', NULL, 'z')");
        grid.setColCount(7);
        grid.setRowCount(4);
        const QStringList names = {"ID", "customer", "Qty", "price", "delivered", "note", ""};
        for (int c = 0; c < names.size(); ++c)
            name(c, names[c]);
    }
};

TEST_F(SqliteFill, ColumnsTakeTheFieldsNamedLikeThemAndTheRestIsEmptied)
{
    for (int c = 0; c < grid.ColCount(); ++c)
        grid.setCells(c, 1, "stale");
    name(5, "no such field");
    TSqlDataSet data("SELECT * FROM orders ORDER BY id", file.db);
    grid.FillrowfromDB(data, 1);
    EXPECT_EQ(row(1), QStringList({"1", "Ann", "3", "12.5", "2026-01-05", "", ""}));
}

TEST_F(SqliteFill, FieldTextsAreTextsTheGridsConversionsReadBack)
{
    TSqlDataSet data("SELECT * FROM orders ORDER BY id", file.db);
    for (int r = 0; r < 3; ++r) {
        grid.FillrowfromDB(data, r);
        data.Next();
    }
    EXPECT_TRUE(data.Eof());
    EXPECT_EQ(row(0), QStringList({"1", "Ann", "3", "12.5", "2026-01-05", "", ""}));
    EXPECT_EQ(row(1), QStringList({"2", "Bob;\"Z\"", "-7", "0.1", "2026-02-28", "n", ""}));
    EXPECT_EQ(row(2), QStringList({"3", "Cé", "0", "1E20", "", "", ""}));
    EXPECT_DOUBLE_EQ(StrToFloat(grid.Cells(3, 1)), 0.1);
    EXPECT_DOUBLE_EQ(StrToDateTime(grid.Cells(4, 1)), EncodeDateTime(2026, 2, 28));
    EXPECT_THROW(data.First(), EDatabaseError); // opened by text: forward-only
    name(6, "photo");
    TSqlDataSet again("SELECT * FROM orders ORDER BY id", file.db);
    grid.FillrowfromDB(again, 3);
    EXPECT_EQ(grid.Cells(6, 3), "00ff10");
    EXPECT_TRUE(again.FindField("NOTE")->IsNull());
}

TEST_F(SqliteFill, FieldsAreFoundAsQSqlRecordFindsThem)
{
    TSqlDataSet data("SELECT o.id, o.Customer AS \"Who\", o.qty AS \"Größe\", o.note AS \"a.b\", "
                     "o.id AS \"ID\" FROM orders o ORDER BY o.id",
                     file.db);
    for (const QString n : {"id", "ID", "Who", "who", "WHO", "nothing", "Customer", "id", "orders.id",
                            "ORDERS.Id", "o.id", "orders.who", "orders.Customer", "größe", "GRÖßE",
                            "GRÖSSE", "a.b", "A.B", "orders.a.b", ".id", "orders.", ""}) {
        TField *field = data.FindField(n);
        const int index = data.record().indexOf(n);
        ASSERT_EQ(field != nullptr, index >= 0) << n.toStdString();
        if (field) {
            EXPECT_EQ(field, data.Fields(index)) << n.toStdString();
        }
    }
    EXPECT_EQ(data.FindField("who")->AsString(), "Ann");
}

TEST_F(SqliteFill, BooleansDatesTimesAndBlobsHaveTheirDocumentedTexts)
{
    EXPECT_EQ(SqlValueText(QVariant(true)), "Y");
    EXPECT_EQ(SqlValueText(QVariant(false)), "");
    EXPECT_EQ(SqlValueText(QVariant(QMetaType::fromType<int>())), ""); // a NULL integer
    EXPECT_EQ(SqlValueText(QVariant(qlonglong(-9007199254740993))), "-9007199254740993");
    EXPECT_EQ(SqlValueText(QVariant(QDate(2026, 3, 1))), "2026-03-01");
    EXPECT_EQ(SqlValueText(QVariant(QTime(7, 5, 3))), "07:05:03");
    EXPECT_EQ(SqlValueText(QVariant(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58, 250)))),
              "1999-12-31 23:59:58.250");
    EXPECT_DOUBLE_EQ(StrToDateTime("1999-12-31 23:59:58.250"),
                     EncodeDateTime(1999, 12, 31, 23, 59, 58, 250));
    EXPECT_EQ(SqlValueText(QVariant(QByteArray("\x01\xab", 2))), "01ab");
    EXPECT_THROW(SqlValueText(QVariant(QRect(1, 2, 3, 4))), EConvertError);
}

// A data set whose second field fails, as a driver's conversion may.
struct FailingDataSet : TDataSet
{
    struct F : TField
    {
        F(QString name, bool fails) : n(std::move(name)), fails(fails) {}
        QString n;
        bool fails;
        QString FieldName() const override { return n; }
        QString AsString() const override
        {
            if (fails) throw EDatabaseError("broken field " + n);
            return "v-" + n;
        }
        bool IsNull() const override { return false; }
    };
    F a{"a", false}, b{"b", true};
    TField *FindField(const QString &name) override
    {
        return name == "a" ? static_cast<TField *>(&a) : name == "b" ? &b : nullptr;
    }
    int FieldCount() const override { return 2; }
    TField *Fields(int i) override { return i == 0 ? static_cast<TField *>(&a) : &b; }
    void First() override {}
    void Next() override {}
    bool Eof() const override { return false; }
};

TEST_F(Fill, AFailingFieldLeavesTheRowAsItWasAndABadRowChangesNothing)
{
    grid.setColCount(3);
    name(0, "a");
    name(1, "b");
    for (int c = 0; c < 3; ++c)
        grid.setCells(c, 1, "keep");
    FailingDataSet data;
    EXPECT_THROW(grid.FillrowfromDB(data, 1), EDatabaseError);
    EXPECT_EQ(row(1), QStringList({"keep", "keep", "keep"}));
    data.b.fails = false;
    EXPECT_THROW(grid.FillrowfromDB(data, grid.RowCount()), ERangeError);
    EXPECT_THROW(grid.FillrowfromDB(data, -1), ERangeError);
    grid.FillrowfromDB(data, 1);
    EXPECT_EQ(row(1), QStringList({"v-a", "v-b", ""}));
}

// A data set of `records` records whose field i holds "r<record>f<i>"; it counts the
// lookups by name, and `onRead` runs on every read of a field's text.
struct CountingDataSet : TDataSet
{
    struct F : TField
    {
        F(CountingDataSet &owner, int index, QString name) : owner(owner), index(index), name(std::move(name)) {}
        CountingDataSet &owner;
        int index;
        QString name;
        QString FieldName() const override { return name; }
        QString AsString() const override
        {
            if (owner.onRead) owner.onRead(index);
            return QStringLiteral("r%1f%2").arg(owner.record).arg(index);
        }
        bool IsNull() const override { return false; }
    };
    CountingDataSet(const QStringList &names, int records) : records(records)
    {
        for (int i = 0; i < names.size(); ++i) {
            fields.push_back(std::make_unique<F>(*this, i, names[i]));
            if (!byName.contains(names[i])) byName.insert(names[i], fields.back().get());
        }
    }
    TField *FindField(const QString &name) override
    {
        ++lookups;
        return byName.value(name);
    }
    int FieldCount() const override { return int(fields.size()); }
    TField *Fields(int i) override { return fields.at(size_t(i)).get(); }
    void First() override { record = 0; }
    void Next() override { record = std::min(record + 1, records); }
    bool Eof() const override { return record >= records; }

    std::vector<std::unique_ptr<F>> fields;
    QHash<QString, TField *> byName;
    int record = 0;
    int records;
    int lookups = 0;
    std::function<void(int field)> onRead;
};

TEST_F(Fill, AFillLooksEachColumnsFieldUpOnceHoweverManyColumnsAndRecords)
{
    const int columns = 2000, records = 250;
    QStringList names;
    for (int i = 0; i < columns; ++i)
        names << QStringLiteral("f%1").arg(i);
    CountingDataSet data(names, records);
    grid.setColCount(columns);
    grid.setRowCount(records);
    for (int c = 0; c < columns; ++c)
        name(c, names[columns - 1 - c]); // the columns in the fields' reverse order
    grid.OnFillNextRecord = [&](int row, bool &next) {
        grid.FillrowfromDB(data, row);
        data.Next();
        next = !data.Eof();
    };
    grid.Fillgrid();
    EXPECT_LE(data.lookups, columns); // per fill, not per record (500,000 before)
    EXPECT_EQ(grid.Cells(0, 0), "r0f1999");
    EXPECT_EQ(grid.Cells(columns - 1, records - 1), "r249f0");
    EXPECT_EQ(grid.Cells(700, 123), "r123f1299");
}

TEST_F(Fill, RepeatedColumnNamesTakeTheFieldsOfThatNameInTurn)
{
    // The fields as a join names them: two "id", one "v".
    CountingDataSet data({"id", "v", "id"}, 1);
    struct Case
    {
        QStringList columns;
        QStringList row;
    };
    const Case cases[] = {
        {{"id", "id", "v"}, {"r0f0", "r0f2", "r0f1"}},
        {{"id", "v", "id", "id"}, {"r0f0", "r0f1", "r0f2", "r0f0"}}, // the fields run out: the first
        {{"v", "", "nothing", "id"}, {"r0f1", "", "", "r0f0"}},
    };
    for (const Case &c : cases) {
        grid.setColCount(c.columns.size());
        for (int i = 0; i < c.columns.size(); ++i)
            name(i, c.columns[i]);
        grid.FillrowfromDB(data, 1);
        EXPECT_EQ(row(1), c.row) << c.columns.join(',').toStdString();
    }
}

TEST_F(Fill, AFillInsideAFieldsTextKeepsTheRowBeingFilled)
{
    grid.setColCount(3);
    for (int c = 0; c < 3; ++c)
        name(c, QStringLiteral("f%1").arg(c));
    CountingDataSet data({"f0", "f1", "f2"}, 2);
    CountingDataSet other({"f0", "f1", "f2"}, 1);
    bool nested = false;
    data.onRead = [&](int field) {
        if (field != 1 || std::exchange(nested, true)) return;
        grid.FillrowfromDB(data, 2);  // the same data set
        grid.FillrowfromDB(other, 3); // and another one
    };
    grid.FillrowfromDB(data, 1);
    EXPECT_EQ(row(1), QStringList({"r0f0", "r0f1", "r0f2"}));
    EXPECT_EQ(row(2), QStringList({"r0f0", "r0f1", "r0f2"}));
    EXPECT_EQ(row(3), QStringList({"r0f0", "r0f1", "r0f2"}));
}

TEST_F(SqliteFill, DataSetErrorsNameTheQueryAndTheDriversReason)
{
    try {
        TSqlDataSet bad("SELECT nope FROM orders", file.db);
        FAIL() << "no error";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.Message().contains("SELECT nope FROM orders")) << e.what();
        EXPECT_TRUE(e.Message().contains("nope", Qt::CaseInsensitive)) << e.what();
    }
    EXPECT_THROW(TSqlDataSet("UPDATE orders SET qty = 1", file.db), EDatabaseError);
    EXPECT_THROW(TSqlDataSet(QSqlQuery(file.db)), EDatabaseError);
    TSqlDataSet data("SELECT * FROM orders", file.db);
    data.Next();
    EXPECT_THROW(data.First(), EDatabaseError);
    EXPECT_THROW(data.Fields(8), EListError);
    data.Next();
    data.Next();
    ASSERT_TRUE(data.Eof());
    EXPECT_THROW(data.FindField("id")->AsString(), EDatabaseError);
    data.Next(); // at the end nothing happens
    EXPECT_TRUE(data.Eof());
}

TEST_F(SqliteFill, AScrollableQueryGoesBackToItsFirstRecord)
{
    QSqlQuery query(file.db);
    ASSERT_TRUE(query.exec("SELECT id FROM orders ORDER BY id"));
    TSqlDataSet data(std::move(query));
    data.Next();
    data.Next();
    EXPECT_EQ(data.FindField("id")->AsString(), "3");
    data.First();
    EXPECT_EQ(data.FindField("id")->AsString(), "1");
}

// ---- FillFromQuery ----------------------------------------------------------------------

TEST_F(SqliteFill, FillFromQuerySizesTheRowsNamesTheColumnsAndWritesTheTitles)
{
    grid.setFixedCols(1);
    name(0, "Order"); // a fixed column keeps its name, which matches no field here
    grid.setshowtitles(true);
    grid.setRowCount(9);
    grid.setCells(2, 7, "stale beyond the new count");
    grid.setCells(2, 20, "stale far beyond");
    TFillOptions options;
    options.nameColumns = true;
    const int n = grid.FillFromQuery("SELECT id, Customer, qty FROM orders ORDER BY id", file.db, options);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(row(0), QStringList({"Order", "id", "Customer", "qty"}));
    EXPECT_EQ(row(1), QStringList({"", "1", "Ann", "3"}));
    EXPECT_EQ(row(3), QStringList({"", "3", "Cé", "0"}));
    grid.setRowCount(30);
    EXPECT_EQ(grid.Cells(2, 7), "");
    EXPECT_EQ(grid.Cells(2, 20), "");
    grid.checkConsistency();
}

TEST_F(SqliteFill, FillFromQueryGrowsPastItsFirstGuessAndReportsProgress)
{
    file.exec("CREATE TABLE many (n INTEGER)");
    file.exec("WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 5000) "
              "INSERT INTO many SELECT n FROM c");
    grid.setColCount(1);
    name(0, "n");
    std::vector<int> reports;
    TFillOptions options;
    options.progressInterval = 2000;
    options.progress = [&](int rows) {
        reports.push_back(rows);
        return true;
    };
    EXPECT_EQ(grid.FillFromQuery("SELECT n FROM many ORDER BY n", file.db, options), 5000);
    EXPECT_EQ(grid.RowCount(), 5000);
    EXPECT_EQ(reports, std::vector<int>({2000, 4000, 5000}));
    EXPECT_EQ(grid.Cells(0, 0), "1");
    EXPECT_EQ(grid.Cells(0, 4999), "5000");
    EXPECT_EQ(grid.RowMarks()->Count(), 5000);
    grid.checkConsistency();

    options.progress = [&](int rows) { return rows < 2000; };
    EXPECT_EQ(grid.FillFromQuery("SELECT n FROM many ORDER BY n", file.db, options), 2000);
    EXPECT_EQ(grid.RowCount(), 2000);
    EXPECT_EQ(grid.Cells(0, 1999), "2000");
}

TEST_F(SqliteFill, AProgressHandlerThatDestroysTheGridEndsTheFillWithAnError)
{
    file.exec("CREATE TABLE many (n INTEGER)");
    file.exec("WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 3000) "
              "INSERT INTO many SELECT n FROM c");
    auto *doomed = new tvorgrid;
    doomed->columns()->GeTmColumn(0)->SetcolumnName("n");
    TFillOptions options;
    options.progressInterval = 1000;
    options.progress = [&](int) {
        delete doomed;
        return true;
    };
    // Under the sanitizers a touch of the destroyed grid fails here.
    EXPECT_THROW(doomed->FillFromQuery("SELECT n FROM many", file.db, options), Exception);
}

TEST_F(SqliteFill, FillFromQueryOfNoRecordsLeavesOneEmptyRowAndKeepsTheHandler)
{
    bool called = false;
    grid.OnFillNextRecord = [&](int, bool &) { called = true; };
    grid.setCells(1, 2, "old");
    EXPECT_EQ(grid.FillFromQuery("SELECT * FROM orders WHERE id > 100", file.db), 0);
    EXPECT_EQ(grid.RowCount(), grid.FixedRows() + 1);
    EXPECT_EQ(row(0), QStringList(7, QString()));
    EXPECT_EQ(row(1), QStringList(7, QString()));
    EXPECT_FALSE(called);
    grid.Fillgrid();
    EXPECT_TRUE(called);
}

// A query text on a SQLite database is read from SQLite itself, a QSqlQuery through
// Qt's driver: both must give every field the same text and find the same fields.
TEST_F(SqliteFill, AQueryTextAndTheSameQueryRunByQtFillTheSameCells)
{
    file.exec("CREATE TABLE mixed (i INTEGER, r REAL, t TEXT, b BLOB, n)");
    file.exec("INSERT INTO mixed VALUES (-9223372036854775808, 0.1, 'plain', x'', NULL)");
    file.exec("INSERT INTO mixed VALUES (9223372036854775807, -2.5e-300, 'Grüße \"Ω\" 日本', x'00ff', 1.0)");
    file.exec("INSERT INTO mixed VALUES (0, 1e20, CAST(x'41ff42c3' AS TEXT), NULL, 'a text longer than fifteen')");
    file.exec("INSERT INTO mixed VALUES (NULL, 123456789.125, '', x'0a', 7)");
    const QString sql = "SELECT m.i, m.r, m.t AS \"Text\", m.b, m.n, o.Customer FROM mixed m "
                        "LEFT JOIN orders o ON o.id = 1 ORDER BY m.rowid";
    const QStringList names = {"M.I", "r", "text", "b", "n", "orders.customer", "mixed.customer"};
    tvorgrid byQt;
    for (tvorgrid *g : {&grid, &byQt}) {
        g->setColCount(7);
        for (int c = 0; c < names.size(); ++c)
            g->columns()->GeTmColumn(c)->SetcolumnName(names[c]);
    }
    EXPECT_EQ(grid.FillFromQuery(sql, file.db), 4);
    EXPECT_EQ(byQt.FillFromQuery(QSqlQuery(sql, file.db)), 4);
    ASSERT_EQ(grid.RowCount(), byQt.RowCount());
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            EXPECT_EQ(grid.Cells(c, r), byQt.Cells(c, r)) << "cell " << c << "," << r;
    EXPECT_EQ(grid.Cells(2, 1), "Grüße \"Ω\" 日本");
    EXPECT_EQ(grid.Cells(5, 0), "Ann"); // found by its table name, not under another table
    EXPECT_EQ(grid.Cells(6, 0), "");
}

TEST_F(SqliteFill, AJoinsFieldsOfOneNameFillTheirOwnColumns)
{
    file.exec("CREATE TABLE lines (id INTEGER, order_id INTEGER, item TEXT)");
    file.exec("INSERT INTO lines VALUES (10, 1, 'pen'), (11, 1, 'ink'), (12, 2, 'pad')");
    const QString sql = "SELECT o.id, l.id, l.item FROM orders o JOIN lines l ON l.order_id = o.id "
                        "ORDER BY l.id";
    struct Case
    {
        QStringList columns; // empty: named after the fields
        QStringList lastRow;
    };
    const Case cases[] = {
        {{}, {"2", "12", "pad"}},
        {{"id", "id", "item"}, {"2", "12", "pad"}},
        {{"lines.id", "ID", "item"}, {"12", "2", "pad"}}, // the other "id" is the orders'
        {{"id", "orders.id", "item"}, {"2", "2", "pad"}}, // the orders' is taken: its first
    };
    for (const Case &c : cases) {
        // Read from SQLite itself, and through Qt's driver.
        for (const bool byQt : {false, true}) {
            tvorgrid g;
            g.setColCount(3);
            g.setFixedCols(0);
            for (int i = 0; i < c.columns.size(); ++i)
                g.columns()->GeTmColumn(i)->SetcolumnName(c.columns[i]);
            TFillOptions options;
            options.nameColumns = c.columns.isEmpty();
            EXPECT_EQ(byQt ? g.FillFromQuery(QSqlQuery(sql, file.db), options) : g.FillFromQuery(sql, file.db, options), 3);
            const QStringList last = {g.Cells(0, 2), g.Cells(1, 2), g.Cells(2, 2)};
            EXPECT_EQ(last, c.lastRow) << c.columns.join(',').toStdString() << (byQt ? " by Qt" : "");
        }
    }
}

TEST_F(SqliteFill, FillFromQueryFillsTheWholeResultOfAQueryAlreadyRead)
{
    struct Case
    {
        bool forwardOnly;
        int stepsTaken;
        bool filled; // false: refused, the grid unchanged
    };
    const Case cases[] = {
        {false, 0, true}, {false, 2, true}, {false, 4, true}, // past the end
        {true, 0, true},  {true, 1, true},  {true, 2, false},
    };
    for (const Case &c : cases) {
        grid.setRowCount(4);
        grid.setCells(0, 3, "kept");
        QSqlQuery query(file.db);
        query.setForwardOnly(c.forwardOnly);
        ASSERT_TRUE(query.exec("SELECT id FROM orders ORDER BY id"));
        for (int i = 0; i < c.stepsTaken; ++i)
            query.next();
        const std::string what = (c.forwardOnly ? "forward-only, " : "scrollable, ") +
                                 std::to_string(c.stepsTaken) + " steps";
        if (!c.filled) {
            try {
                grid.FillFromQuery(std::move(query));
                ADD_FAILURE() << what << ": no error";
            } catch (const EDatabaseError &e) {
                EXPECT_TRUE(e.Message().contains("forward-only")) << e.what();
            }
            EXPECT_EQ(grid.RowCount(), 4) << what;
            EXPECT_EQ(grid.Cells(0, 3), "kept") << what;
            continue;
        }
        EXPECT_EQ(grid.FillFromQuery(std::move(query)), 3) << what;
        EXPECT_EQ(grid.RowCount(), 3) << what;
        EXPECT_EQ(grid.Cells(0, 0), "1") << what;
        EXPECT_EQ(grid.Cells(0, 2), "3") << what;
    }
}

TEST_F(SqliteFill, AFillFromAQueryTextThatFailsOnTheWayKeepsTheRowsRead)
{
    // The third record overflows an integer: SQLite fails while stepping, not before.
    const QString sql = "SELECT CASE WHEN id = 3 THEN abs(-9223372036854775807 - 1) ELSE id END "
                        "AS id FROM orders";
    try {
        grid.FillFromQuery(sql, file.db);
        FAIL() << "no error";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.Message().contains(sql)) << e.what();
        EXPECT_TRUE(e.Message().contains("overflow", Qt::CaseInsensitive)) << e.what();
    }
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Cells(0, 0), "1");
    EXPECT_EQ(grid.Cells(0, 1), "2");
}

TEST_F(SqliteFill, QueryTextsThatCannotBeFilledFromAreRefusedBeforeTheyRun)
{
    grid.setCells(1, 1, "kept");
    const QStringList refused = {
        "SELECT id FROM orders; DELETE FROM orders", // SQLite would run only the first
        "",
        "   ",
        "DELETE FROM orders",
    };
    for (const QString &sql : refused) {
        EXPECT_THROW(grid.FillFromQuery(sql, file.db), EDatabaseError) << sql.toStdString();
        EXPECT_EQ(grid.Cells(1, 1), "kept") << sql.toStdString();
    }
    QSqlQuery count("SELECT count(*) FROM orders", file.db);
    ASSERT_TRUE(count.next());
    EXPECT_EQ(count.value(0).toInt(), 3);
    EXPECT_EQ(grid.FillFromQuery("SELECT id FROM orders ;  ", file.db), 3); // a closing ";" is no statement
    file.db.close();
    EXPECT_THROW(grid.FillFromQuery("SELECT id FROM orders", file.db), EDatabaseError);
}

TEST_F(SqliteFill, AProgressHandlerThatClosesTheDatabaseEndsTheFillWithAnError)
{
    file.exec("CREATE TABLE many (n INTEGER)");
    file.exec("WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 3000) "
              "INSERT INTO many SELECT n FROM c");
    grid.setColCount(1);
    name(0, "n");
    TFillOptions options;
    options.progressInterval = 1000;
    options.progress = [&](int) {
        file.db.close();
        return true;
    };
    // The fill ends with an error and keeps the rows read until then. Under the
    // sanitizers a read of a closed connection, or one left unclosed, fails here.
    try {
        grid.FillFromQuery("SELECT n FROM many ORDER BY n", file.db, options);
        FAIL() << "no error";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.Message().contains("closed")) << e.what();
    }
    EXPECT_FALSE(file.db.isOpen());
    EXPECT_GE(grid.RowCount(), 1000);
    EXPECT_EQ(grid.Cells(0, 999), "1000");
}

TEST_F(SqliteFill, AFilledRowIsReportedOnceAndShownInAnOpenEditor)
{
    grid.setOptions(grid.Options() | goEditing);
    grid.show();
    grid.FocusCell(2, 2, true);
    grid.ShowEditor();
    ASSERT_TRUE(grid.EditorMode());
    QSignalSpy cells(&grid, &TStringGrid::cellsChanged);
    QSignalSpy cell(&grid, &TStringGrid::cellChanged);
    TSqlDataSet data("SELECT * FROM orders ORDER BY id", file.db);
    data.Next();
    grid.FillrowfromDB(data, 2);
    EXPECT_EQ(cell.count(), 0);
    ASSERT_EQ(cells.count(), 1);
    EXPECT_EQ(cells.at(0).at(0).toRect(), QRect(0, 2, 7, 1));
    EXPECT_EQ(grid.InplaceEditor()->text(), grid.Cells(2, 2));
    EXPECT_EQ(grid.Cells(2, 2), "-7");
}

TEST_F(SqliteFill, FillFromQueryThatCannotRunLeavesTheGridAsItWas)
{
    grid.setCells(1, 1, "kept");
    EXPECT_THROW(grid.FillFromQuery("SELECT broken FROM", file.db), EDatabaseError);
    EXPECT_THROW(grid.FillFromQuery(QSqlQuery(file.db)), EDatabaseError);
    EXPECT_EQ(grid.Cells(1, 1), "kept");
    EXPECT_EQ(grid.RowCount(), 4);
}

} // namespace
