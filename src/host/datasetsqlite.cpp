#include "host/datasetsqlite_p.h"

#if VORGRD_SQLITE_DIRECT

#include "host/fieldlookup_p.h"
#include "host/textconvert.h"

#include <QSqlDriver>
#include <QSqlField>

#include <sqlite3.h>

#include <cstring>

namespace vorgrd {

namespace {

class SqliteDataSet;
sqlite3 *connectionOf(const QSqlDatabase &database);

class SqliteField : public TField
{
public:
    SqliteField(const SqliteDataSet &owner, int index, QString name)
        : m_owner(owner), m_index(index), m_name(std::move(name))
    {
    }
    QString FieldName() const override { return m_name; }
    QString AsString() const override;
    bool IsNull() const override;

private:
    sqlite3_stmt *statement() const;

    const SqliteDataSet &m_owner;
    int m_index;
    QString m_name;
};

class SqliteDataSet : public TDataSet
{
public:
    SqliteDataSet(const QSqlDatabase &database, sqlite3 *connection, const QString &sql);
    ~SqliteDataSet() override;

    TField *FindField(const QString &name) override { return m_lookup.find(name, m_fields); }
    std::vector<TField *> MatchFields(const std::vector<QString> &names) override
    {
        return m_lookup.match(names, m_fields);
    }
    int FieldCount() const override { return int(m_fields.size()); }
    TField *Fields(int index) override;
    // Runs the statement again: a SELECT can always be read from its start.
    void First() override;
    void Next() override;
    bool Eof() const override { return !m_onRecord; }

    sqlite3_stmt *statement() const { return m_statement.get(); }

private:
    void step();
    [[noreturn]] void fail(const char *what) const;

    QSqlDatabase m_database;
    sqlite3 *m_connection;
    QString m_sql;
    struct Finalize
    {
        void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
    };
    std::unique_ptr<sqlite3_stmt, Finalize> m_statement;
    bool m_onRecord = false;
    std::vector<std::unique_ptr<SqliteField>> m_fields;
    dataset_internal::FieldIndex m_lookup;
};

bool isAscii(const unsigned char *text, int size)
{
    for (int i = 0; i < size; ++i)
        if (text[i] >= 0x80) return false;
    return true;
}

// The text of column `index` of the current row, by the rules of SqlValueText for
// the values QSQLITE makes of SQLite's storage classes.
QString columnText(sqlite3_stmt *statement, int index)
{
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(statement, index));
    case SQLITE_FLOAT:
        return FloatToStr(sqlite3_column_double(statement, index));
    case SQLITE_BLOB: {
        const auto *bytes = static_cast<const char *>(sqlite3_column_blob(statement, index));
        const int size = sqlite3_column_bytes(statement, index);
        return QString::fromLatin1(QByteArray::fromRawData(bytes, size).toHex());
    }
    default:
        break;
    }
    const unsigned char *text = sqlite3_column_text(statement, index);
    const int size = sqlite3_column_bytes(statement, index);
    if (isAscii(text, size))
        return QString::fromLatin1(reinterpret_cast<const char *>(text), size);
    // Anything else through SQLite's own UTF-16, as the driver reads it, so that a
    // malformed sequence comes out as it does there.
    const auto *wide = static_cast<const QChar *>(sqlite3_column_text16(statement, index));
    return QString(wide, sqlite3_column_bytes16(statement, index) / 2);
}

SqliteDataSet::SqliteDataSet(const QSqlDatabase &database, sqlite3 *connection, const QString &sql)
    : m_database(database), m_connection(connection), m_sql(sql)
{
    sqlite3_stmt *statement = nullptr;
    const void *tail = nullptr;
    const int prepared = sqlite3_prepare16_v2(connection, sql.utf16(), int(sql.size() * 2), &statement, &tail);
    m_statement.reset(statement);
    if (prepared != SQLITE_OK) fail("run");
    // SQLite compiles the first statement only; the driver refuses a text with more,
    // and so does this, before anything runs.
    const qsizetype used =
        (static_cast<const char *>(tail) - reinterpret_cast<const char *>(sql.utf16())) / 2;
    if (!QStringView(sql).sliced(used).trimmed().isEmpty())
        throw EDatabaseError(QStringLiteral("Cannot run \"%1\": it holds more than one statement").arg(sql));
    const int count = sqlite3_column_count(statement);
    if (statement == nullptr || count == 0)
        throw EDatabaseError(QStringLiteral("Cannot run the query \"%1\": it returns no rows").arg(sql));
    QSqlRecord record;
    for (int i = 0; i < count; ++i) {
        const auto *name = static_cast<const QChar *>(sqlite3_column_name16(statement, i));
        // Named as the driver names them, quotes taken out.
        QSqlField field(QString(name).remove(u'"'));
        if (const char *table = sqlite3_column_table_name(statement, i))
            field.setTableName(QString::fromUtf8(table).remove(u'"'));
        record.append(field);
        m_fields.push_back(std::make_unique<SqliteField>(*this, i, field.name()));
    }
    m_lookup.reset(record);
    step();
}

void SqliteDataSet::fail(const char *what) const
{
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_connection));
    throw EDatabaseError(QStringLiteral("Cannot %1 \"%2\": %3").arg(QLatin1String(what), m_sql, message));
}

SqliteDataSet::~SqliteDataSet()
{
    m_statement.reset();
    // The driver cannot close a connection while our statement is open; when the
    // application closed the database during a fill, the driver let the connection go
    // unclosed, and it is ours to close now.
    if (connectionOf(m_database) != m_connection) sqlite3_close(m_connection);
}

void SqliteDataSet::step()
{
    if (!m_database.isOpen()) {
        m_onRecord = false;
        throw EDatabaseError(QStringLiteral("Cannot read the next record of \"%1\": the database %2 was closed")
                                 .arg(m_sql, m_database.connectionName()));
    }
    const int result = sqlite3_step(m_statement.get());
    m_onRecord = result == SQLITE_ROW;
    if (result != SQLITE_ROW && result != SQLITE_DONE)
        fail("read the next record of");
}

TField *SqliteDataSet::Fields(int index)
{
    return dataset_internal::fieldAt(m_fields, index);
}

void SqliteDataSet::First()
{
    sqlite3_reset(m_statement.get());
    step();
}

void SqliteDataSet::Next()
{
    if (m_onRecord) step();
}

sqlite3_stmt *SqliteField::statement() const
{
    if (m_owner.Eof())
        throw EDatabaseError(
            QStringLiteral("Field %1 has no value: the data set has no current record").arg(m_name));
    return m_owner.statement();
}

QString SqliteField::AsString() const
{
    return columnText(statement(), m_index);
}

bool SqliteField::IsNull() const
{
    return sqlite3_column_type(statement(), m_index) == SQLITE_NULL;
}

sqlite3 *connectionOf(const QSqlDatabase &database)
{
    if (!database.isOpen() || database.driverName() != QLatin1String("QSQLITE")) return nullptr;
    const QVariant handle = database.driver()->handle();
    if (!handle.isValid() || std::strcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

} // namespace

std::unique_ptr<TDataSet> openSqliteDataSet(const QString &sql, const QSqlDatabase &database)
{
    sqlite3 *connection = connectionOf(database);
    if (!connection) return nullptr;
    return std::make_unique<SqliteDataSet>(database, connection, sql);
}

} // namespace vorgrd

#else

namespace vorgrd {

std::unique_ptr<TDataSet> openSqliteDataSet(const QString &, const QSqlDatabase &)
{
    return nullptr;
}

} // namespace vorgrd

#endif
