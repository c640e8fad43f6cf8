#include "host/dataset.h"

#include <unordered_set>

namespace vorgrd {

struct TDataSet::Matched
{
    std::vector<QString> names;
    std::vector<TField *> fields;
};

// Out of line so that the vtables live in one place.
TField::~TField() = default;
TDataSet::TDataSet() = default;
TDataSet::~TDataSet() = default;

std::vector<TField *> TDataSet::MatchFields(const std::vector<QString> &names)
{
    std::vector<TField *> fields(names.size());
    std::unordered_set<TField *> taken;
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].isEmpty()) continue;
        TField *first = FindField(names[i]);
        TField *field = first;
        if (first && taken.count(first)) {
            // The next field of the first one's name that no earlier name took.
            const int count = FieldCount();
            int at = 0;
            while (at < count && Fields(at) != first)
                ++at;
            for (int j = at + 1; j < count; ++j) {
                TField *other = Fields(j);
                if (!taken.count(other) && other->FieldName() == first->FieldName()) {
                    field = other;
                    break;
                }
            }
        }
        fields[i] = field;
        if (field) taken.insert(field);
    }
    return fields;
}

std::vector<TField *> TDataSet::ColumnFields(const std::vector<QString> &names)
{
    if (!m_matched || m_matched->names != names) {
        std::vector<TField *> fields = MatchFields(names);
        m_matched = std::make_unique<Matched>(Matched{names, std::move(fields)});
    }
    return m_matched->fields;
}

} // namespace vorgrd
