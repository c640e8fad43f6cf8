#pragma once
// What the data sets share: their fields by index, and the lookup of fields by name
// that a fill asks for with the same column names in the same order for every record.
//
// OPTIMIZATION: remembering the answers (and where the last one was) turns a
// case-insensitive scan of the record per column into one exact comparison.

#include "host/dataset.h"

#include <QSqlRecord>

#include <memory>
#include <vector>

namespace vorgrd::dataset_internal {

// Field `index` of `fields`; EListError outside, as TDataSet::Fields promises.
template <class Field>
TField *fieldAt(const std::vector<std::unique_ptr<Field>> &fields, int index)
{
    const int count = int(fields.size());
    if (index < 0 || index >= count)
        throw EListError(QStringLiteral("Field index %1 is out of range (valid: 0..%2)")
                             .arg(index)
                             .arg(count - 1));
    return fields[size_t(index)].get();
}

template <class Field>
class FieldLookup
{
public:
    // `record` names the fields; `fields[i]` is field i.
    void reset(const QSqlRecord &record) { m_record = record; m_answers.clear(); m_next = 0; }

    // The field named `name` as QSqlRecord::indexOf finds it, or nullptr.
    TField *find(const QString &name, const std::vector<std::unique_ptr<Field>> &fields)
    {
        if (m_next < m_answers.size() && m_answers[m_next].name == name)
            return m_answers[m_next++].field;
        for (size_t i = 0; i < m_answers.size(); ++i) {
            if (m_answers[i].name == name) {
                m_next = i + 1;
                return m_answers[i].field;
            }
        }
        const int index = m_record.indexOf(name);
        TField *field = index < 0 ? nullptr : fields[size_t(index)].get();
        if (m_answers.size() < MaxAnswers) {
            m_answers.push_back({name, field});
            m_next = m_answers.size();
        }
        return field;
    }

    const QSqlRecord &record() const { return m_record; }

private:
    struct Answer
    {
        QString name;
        TField *field;
    };
    static constexpr size_t MaxAnswers = 256;

    QSqlRecord m_record;
    std::vector<Answer> m_answers;
    size_t m_next = 0;
};

} // namespace vorgrd::dataset_internal
