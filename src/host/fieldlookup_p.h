#pragma once
// What the SQL data sets share: their fields by index, and the fields found by name
// as QSqlRecord::indexOf finds them (case-insensitively; "table.field" also matches
// the field of that table), with every match of a name known for MatchFields.
//
// OPTIMIZATION: the names are indexed once, when the data set opens, so that finding
// a field costs a hash lookup instead of a case-insensitive scan of the record; a
// fill of 2,000 columns otherwise spent its time comparing names.

#include "host/dataset.h"

#include <QHash>
#include <QSqlField>
#include <QSqlRecord>

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>
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

class FieldIndex
{
public:
    // `record` names the fields; field i of the data set is field i of the record.
    void reset(const QSqlRecord &record)
    {
        m_byName.clear();
        m_byTable.clear();
        for (int i = 0; i < record.count(); ++i) {
            const QSqlField field = record.field(i);
            const QString name = field.name().toCaseFolded();
            m_byName[name].push_back(i);
            m_byTable[{field.tableName().toCaseFolded(), name}].push_back(i);
        }
    }

    // The indexes of the fields `name` matches, in record order.
    std::vector<int> matches(const QString &name) const
    {
        const QString folded = name.toCaseFolded();
        const std::vector<int> byName = m_byName.value(folded);
        const qsizetype dot = folded.indexOf(u'.');
        if (dot < 0) return byName;
        const std::vector<int> byTable = m_byTable.value({folded.left(dot), folded.mid(dot + 1)});
        std::vector<int> both;
        both.reserve(byName.size() + byTable.size());
        std::set_union(byName.begin(), byName.end(), byTable.begin(), byTable.end(),
                       std::back_inserter(both));
        return both;
    }

    template <class Field>
    TField *find(const QString &name, const std::vector<std::unique_ptr<Field>> &fields) const
    {
        const std::vector<int> found = matches(name);
        return found.empty() ? nullptr : fields[size_t(found.front())].get();
    }

    // TDataSet::MatchFields by the rules above.
    template <class Field>
    std::vector<TField *> match(const std::vector<QString> &names,
                                const std::vector<std::unique_ptr<Field>> &fields) const
    {
        std::vector<TField *> matched(names.size());
        std::vector<bool> taken(fields.size());
        for (size_t i = 0; i < names.size(); ++i) {
            if (names[i].isEmpty()) continue;
            const std::vector<int> found = matches(names[i]);
            if (found.empty()) continue;
            int chosen = found.front();
            for (int index : found)
                if (!taken[size_t(index)]) {
                    chosen = index;
                    break;
                }
            taken[size_t(chosen)] = true;
            matched[i] = fields[size_t(chosen)].get();
        }
        return matched;
    }

private:
    // Field indexes by case-folded name, and by case-folded table and name.
    QHash<QString, std::vector<int>> m_byName;
    QHash<std::pair<QString, QString>, std::vector<int>> m_byTable;
};

} // namespace vorgrd::dataset_internal
