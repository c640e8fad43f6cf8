#include "host/datasetsql.h"

#include "host/fieldlookup_p.h"
#include "host/textconvert.h"

#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <QTime>

namespace vorgrd {

namespace {

QString timeText(const QTime &time)
{
    return time.toString(time.msec() != 0 ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
}

QString driverMessage(const QSqlQuery &query)
{
    const QSqlError error = query.lastError();
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("no message from the driver") : text;
}

} // namespace

QString SqlValueText(const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Y") : QString();
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QString::number(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return FloatToStr(value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return timeText(value.toTime());
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dt.date().toString(QStringLiteral("yyyy-MM-dd")) + u' ' + timeText(dt.time());
    }
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toHex());
    default:
        if (!value.canConvert<QString>())
            throw EConvertError(
                QStringLiteral("A database value of type %1 has no text form").arg(
                    QString::fromLatin1(value.typeName())));
        return value.toString();
    }
}

// A field reads the current record of its data set's query.
class TSqlDataSetField : public TField
{
public:
    TSqlDataSetField(const QSqlQuery &query, int index, QString name)
        : m_query(query), m_index(index), m_name(std::move(name))
    {
    }

    QString FieldName() const override { return m_name; }

    QString AsString() const override
    {
        const QVariant value = currentValue();
        try {
            return SqlValueText(value);
        } catch (const EConvertError &error) {
            throw EConvertError(QStringLiteral("Field %1: %2").arg(m_name, error.Message()));
        }
    }

    bool IsNull() const override { return currentValue().isNull(); }

private:
    QVariant currentValue() const
    {
        if (!m_query.isValid())
            throw EDatabaseError(
                QStringLiteral("Field %1 has no value: the data set has no current record")
                    .arg(m_name));
        return m_query.value(m_index);
    }

    const QSqlQuery &m_query;
    int m_index;
    QString m_name;
};

struct VORGRD_AUTOTEST_EXPORT TSqlDataSet::Private
{
    explicit Private(QSqlQuery query) : m_query(std::move(query)) {}

    // Takes the executed query's record and fields and stands on the first record.
    void open(const char *what);

    QSqlQuery m_query;
    QSqlRecord m_record;
    std::vector<std::unique_ptr<TSqlDataSetField>> m_fields;
    dataset_internal::FieldIndex m_lookup;
};

TSqlDataSet::TSqlDataSet(const QString &sql, const QSqlDatabase &database)
    : d(std::make_unique<Private>(QSqlQuery(database)))
{
    if (!database.isOpen())
        throw EDatabaseError(
            QStringLiteral("Cannot run \"%1\": the database %2 is not open").arg(sql, database.connectionName()));
    d->m_query.setForwardOnly(true);
    if (!d->m_query.exec(sql))
        throw EDatabaseError(QStringLiteral("Cannot run \"%1\": %2").arg(sql, driverMessage(d->m_query)));
    d->open("run");
}

TSqlDataSet::TSqlDataSet(QSqlQuery query) : d(std::make_unique<Private>(std::move(query)))
{
    d->open("read");
}

TSqlDataSet::~TSqlDataSet() = default;

void TSqlDataSet::Private::open(const char *what)
{
    if (!m_query.isActive())
        throw EDatabaseError(QStringLiteral("Cannot %1 the query \"%2\": it is not active")
                                 .arg(QLatin1String(what), m_query.lastQuery()));
    if (!m_query.isSelect())
        throw EDatabaseError(QStringLiteral("Cannot %1 the query \"%2\": it returns no rows")
                                 .arg(QLatin1String(what), m_query.lastQuery()));
    m_record = m_query.record();
    m_fields.reserve(size_t(m_record.count()));
    for (int i = 0; i < m_record.count(); ++i)
        m_fields.push_back(std::make_unique<TSqlDataSetField>(m_query, i, m_record.fieldName(i)));
    m_lookup.reset(m_record);
    if (m_query.at() == QSql::BeforeFirstRow)
        m_query.next();
}

TField *TSqlDataSet::FindField(const QString &name)
{
    return d->m_lookup.find(name, d->m_fields);
}

std::vector<TField *> TSqlDataSet::MatchFields(const std::vector<QString> &names)
{
    return d->m_lookup.match(names, d->m_fields);
}

int TSqlDataSet::FieldCount() const
{
    return int(d->m_fields.size());
}

TField *TSqlDataSet::Fields(int index)
{
    return dataset_internal::fieldAt(d->m_fields, index);
}

void TSqlDataSet::First()
{
    if (d->m_query.at() == 0)
        return;
    if (d->m_query.isForwardOnly() && d->m_query.at() != QSql::BeforeFirstRow)
        throw EDatabaseError(QStringLiteral(
            "Cannot go back to the first record of the forward-only query \"%1\"; run it again")
                                 .arg(d->m_query.lastQuery()));
    if (!d->m_query.first() && d->m_query.lastError().isValid())
        throw EDatabaseError(QStringLiteral("Cannot go back to the first record of \"%1\": %2")
                                 .arg(d->m_query.lastQuery(), driverMessage(d->m_query)));
}

void TSqlDataSet::Next()
{
    if (!d->m_query.isValid())
        return;
    if (!d->m_query.next() && d->m_query.lastError().isValid())
        throw EDatabaseError(QStringLiteral("Cannot read the next record of \"%1\": %2")
                                 .arg(d->m_query.lastQuery(), driverMessage(d->m_query)));
}

bool TSqlDataSet::Eof() const
{
    return !d->m_query.isValid();
}

QSqlQuery &TSqlDataSet::query()
{
    return d->m_query;
}

const QSqlRecord &TSqlDataSet::record() const
{
    return d->m_record;
}

} // namespace vorgrd
