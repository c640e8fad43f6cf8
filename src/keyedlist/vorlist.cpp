// TvorList. Sections:
//   1. keys and their ordering as text (orderAsText, shared with the grid's sorts)
//   2. construction, item access and the changing operations
//   3. look-up: IndexOf, Find, Add
//   4. sorting: Sort, the key setters, planSort/applyOrder
//   5. storage, the positional form (AssignPositions) and invariants
//
// A sort runs in two steps. planSort converts every key of the range once (a number,
// a date, a collation key) and runs the partition-exchange scheme on an array of
// (converted key, item index) pairs; nothing in the list changes, so a key that does
// not convert leaves the list as it was. applyOrder then moves the items into the
// planned order. The scheme is the one whose exact exchanges fix where items with
// equal keys end up; since the pairs carry the same keys the items had, the order is
// the one the scheme gives when it compares the items' keys one by one. The scheme
// itself lives in keyorder_p.h: the grid orders numeric keys with it directly.
#include "keyedlist/vorlist.h"

#include "host/exceptions.h"
#include "host/formatsettings.h"
#include "host/textconvert.h"
#include "keyedlist/keyconvert_p.h"
#include "keyedlist/keyorder_p.h"

#include <QCollator>
#include <QCollatorSortKey>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>
#include <utility>

namespace vorgrd {

namespace {

using internal::Entry;
using internal::partitionSort;

// ---- 1. keys and the scheme -----------------------------------------------------------

void *positionObject(int position)
{
    return reinterpret_cast<void *>(static_cast<std::intptr_t>(position));
}

// The capacity steps of Grow: 0 -> 4 -> 8 -> 16 -> 32 -> 48 -> ...
int grownCapacity(int capacity)
{
    const int delta = capacity > 8 ? 16 : (capacity > 4 ? 8 : 4);
    return capacity > std::numeric_limits<int>::max() - delta ? std::numeric_limits<int>::max()
                                                              : capacity + delta;
}

// The capacity that Grow, called until there is room for `count` items, reaches from
// `capacity`: computed, not stepped, since ten million items are 625,000 steps.
int capacityFor(int capacity, int count)
{
    while (capacity < count && capacity <= 8)
        capacity = grownCapacity(capacity);
    if (capacity >= count) return capacity;
    const qint64 steps = (qint64(count) - capacity + 15) / 16;
    return int(std::min<qint64>(capacity + steps * 16, std::numeric_limits<int>::max()));
}

int compareNumbers(double a, double b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

int compareCodeUnits(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseSensitive);
}

// Case-insensitive text keys. The collator's comparison is what counts; a key known to
// compare like it replaces it where one exists:
// - a real collation locale: the collator's sort key;
// - the C locale, which the collator compares by case folding: the case-folded text
//   (its own sort keys ignore the case setting).
// Texts the fast keys mishandle fall back to the collator for every comparison they
// take part in: NUL, which ICU sort keys stop at; surrogates; and the empty text, which
// the collator puts before every other text, also before one made only of characters
// the collation ignores (soft hyphen, zero-width space), whose sort key is the empty
// text's. Among non-empty texts the collator has no tie-break of its own, so equal
// sort keys are exactly its ties and none is added.
struct TextKey
{
    QStringView text;
    bool fast = false;
};

struct FoldedKey : TextKey
{
    QString folded;
};

struct CollatedKey : TextKey
{
    std::optional<QCollatorSortKey> sortKey;
};

bool hasFastKey(QStringView text)
{
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (c.unicode() == 0 || c.isSurrogate()) return false;
    return true;
}

bool collatorIsC(const QCollator &collator)
{
    return collator.locale().language() == QLocale::C;
}

QString ownedText(QStringView key, const QString &whole)
{
    // The whole text is shared rather than copied when the key is all of it.
    if (key.data() == whole.constData() && key.size() == whole.size()) return whole;
    return key.toString();
}

template <typename Key, typename MakeFast, typename CompareFast>
void orderTextKeys(std::vector<internal::TextItem> &items, bool descending,
                   const MakeFast &makeFast, const CompareFast &compareFast)
{
    const QCollator &collator = textCollator();
    std::vector<Entry<Key>> entries;
    entries.reserve(items.size());
    for (size_t k = 0; k < items.size(); ++k) {
        Key key;
        key.text = items[k].key;
        key.fast = hasFastKey(key.text);
        if (key.fast) makeFast(key, items[k]);
        entries.push_back({std::move(key), int(k)});
    }
    partitionSort(entries, 0, int(entries.size()) - 1, descending,
                  [&](const Key &a, const Key &b) {
                      if (a.fast && b.fast) return compareFast(a, b);
                      return collator.compare(a.text, b.text);
                  });
    std::vector<internal::TextItem> ordered;
    ordered.reserve(items.size());
    for (const Entry<Key> &entry : entries)
        ordered.push_back(items[size_t(entry.index)]);
    items.swap(ordered);
}

} // namespace

void internal::orderAsText(std::vector<TextItem> &items, bool descending)
{
    if (items.size() < 2) return;
    const QCollator &collator = textCollator();
    if (collatorIsC(collator))
        orderTextKeys<FoldedKey>(
            items, descending,
            [](FoldedKey &key, const TextItem &) { key.folded = key.text.toString().toCaseFolded(); },
            [](const FoldedKey &a, const FoldedKey &b) {
                return compareCodeUnits(a.folded, b.folded);
            });
    else
        orderTextKeys<CollatedKey>(
            items, descending,
            [&](CollatedKey &key, const TextItem &item) {
                key.sortKey = collator.sortKey(item.whole ? ownedText(key.text, *item.whole)
                                                          : key.text.toString());
            },
            [](const CollatedKey &a, const CollatedKey &b) { return a.sortKey->compare(*b.sortKey); });
}

// ---- 2. construction and changes --------------------------------------------------------

TvorList::TvorList() = default;

TvorList::~TvorList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
}

QStringView TvorList::keyView(const QString &text) const
{
    const qsizetype start = qsizetype(m_KeyPos) - 1;
    if (start >= text.size()) return {};
    const qsizetype length = std::min<qsizetype>(m_KeyLen, text.size() - start);
    return QStringView(text).sliced(start, length);
}

QString TvorList::KeyOf(const QString &text) const
{
    return ownedText(keyView(text), text);
}

void TvorList::raiseSorted(const char *what) const
{
    throw EListError(
        QStringLiteral("%1: operation not allowed on a sorted list").arg(QLatin1StringView(what)));
}

void TvorList::recheckIndex(int index, int last, const char *what) const
{
    if (index < 0 || index > last)
        throw EListError(
            QStringLiteral("%1: list index %2 no longer valid (0..%3) after OnChanging "
                           "changed the list")
                .arg(QLatin1StringView(what))
                .arg(index)
                .arg(last));
}

QString TvorList::Get(int index) const
{
    checkIndex(index, "Get");
    if (m_positional) return QString::number(m_positions[size_t(index)]);
    return m_items[size_t(index)].text;
}

int TvorList::GetCount() const
{
    return int(m_positional ? m_positions.size() : m_items.size());
}

void *TvorList::GetObject(int index) const
{
    checkIndex(index, "GetObject");
    if (m_positional) return positionObject(m_positions[size_t(index)]);
    return m_items[size_t(index)].object;
}

void TvorList::Put(int index, const QString &text)
{
    if (m_Sorted) raiseSorted("Put");
    checkIndex(index, "Put");
    Changing();
    recheckIndex(index, GetCount() - 1, "Put");
    items()[size_t(index)].text = text;
    ++m_changeStamp;
    Changed();
}

void TvorList::PutObject(int index, void *object)
{
    checkIndex(index, "PutObject");
    Changing();
    recheckIndex(index, GetCount() - 1, "PutObject");
    items()[size_t(index)].object = object;
    ++m_changeStamp;
    Changed();
}

void TvorList::Insert(int index, const QString &text)
{
    if (m_Sorted) raiseSorted("Insert");
    const int count = GetCount();
    if (index < 0 || index > count) raiseIndexError("Insert", index, 0, count);
    InsertItem(index, text);
}

void TvorList::InsertItem(int index, const QString &text, void *object)
{
    if (index < 0 || index > GetCount()) raiseIndexError("InsertItem", index, 0, GetCount());
    if (GetCount() == std::numeric_limits<int>::max())
        throw EListError(QStringLiteral("Insert: the list is full (%1 items)").arg(GetCount()));
    // Grown before the notification, so that a failed allocation notifies nobody.
    if (GetCount() == m_Capacity) Grow();
    Changing();
    recheckIndex(index, GetCount(), "Insert");
    if (GetCount() == m_Capacity) Grow();
    items().insert(items().begin() + index, Item{text, object});
    ++m_changeStamp;
    Changed();
}

void TvorList::Delete(int index)
{
    checkIndex(index, "Delete");
    Changing();
    recheckIndex(index, GetCount() - 1, "Delete");
    items().erase(items().begin() + index);
    ++m_changeStamp;
    Changed();
}

void TvorList::Clear()
{
    if (GetCount() == 0) return;
    Changing();
    std::vector<Item>().swap(m_items);
    std::vector<int>().swap(m_positions);
    m_positional = false;
    m_Capacity = 0;
    ++m_changeStamp;
    Changed();
}

void TvorList::Exchange(int index1, int index2)
{
    checkIndex(index1, "Exchange");
    checkIndex(index2, "Exchange");
    Changing();
    recheckIndex(index1, GetCount() - 1, "Exchange");
    recheckIndex(index2, GetCount() - 1, "Exchange");
    std::swap(items()[size_t(index1)], items()[size_t(index2)]);
    ++m_changeStamp;
    Changed();
}

void TvorList::ExchangeItems(int index1, int index2)
{
    checkIndex(index1, "ExchangeItems");
    checkIndex(index2, "ExchangeItems");
    std::swap(items()[size_t(index1)], items()[size_t(index2)]);
    ++m_changeStamp;
}

void TvorList::Changed()
{
    if (OnChange) OnChange(this);
}

void TvorList::Changing()
{
    if (OnChanging) OnChanging(this);
}

void TvorList::SetUpdateState(bool updating)
{
    if (updating)
        Changing();
    else
        Changed();
}

// ---- 3. look-up -------------------------------------------------------------------------

double TvorList::dateOf(QStringView key, const char *what) const
{
    double value = 0;
    if (!internal::dateTimeOf(key, value) || std::isnan(value))
        throw EConvertError(QStringLiteral("%1: \"%2\" is not a valid date and time")
                                .arg(QLatin1StringView(what), key.toString()));
    return value;
}

// Sign of key against the search text; `value` is the text already converted (number
// or date) for the numeric key types.
int TvorList::compareKeyWithValue(QStringView key, const QString &text, double value) const
{
    switch (m_KeyType) {
    case sString:
        return textCollator().compare(key, text);
    case sStringCaseSensitive:
        return compareCodeUnits(key, text);
    case sNumeric:
        return compareNumbers(internal::leadingNumberOf(key), value);
    case sDate:
        return compareNumbers(dateOf(key, "Find"), value);
    }
    return 0;
}

bool TvorList::Find(const QString &text, int &index) const
{
    // The search value is converted when the first key is compared with it, so that
    // looking up a non-date in an empty date list is no error.
    std::optional<double> value;
    auto compareAt = [&](int i) {
        const QStringView key = keyView(items()[size_t(i)].text);
        if (!value) {
            if (m_KeyType == sNumeric)
                value = LeadingNumber(text);
            else if (m_KeyType == sDate)
                value = dateOf(text, "Find");
            else
                value = 0;
        }
        const int c = compareKeyWithValue(key, text, *value);
        return m_Descending ? -c : c;
    };
    int low = std::min(m_SortStart, GetCount());
    int high = GetCount() - 1;
    bool found = false;
    while (low <= high) {
        const int i = low + (high - low) / 2;
        const int c = compareAt(i);
        if (c < 0) {
            low = i + 1;
        } else {
            high = i - 1;
            if (c == 0) {
                found = true;
                if (m_Duplicates != dupAccept) low = i;
            }
        }
    }
    index = low;
    return found;
}

int TvorList::IndexOf(const QString &text) const
{
    const int count = GetCount();
    if (m_Sorted) {
        // The items before SortStart are not kept in order: they are looked at one by
        // one, the rest by binary search.
        const int prefix = std::min(m_SortStart, count);
        if (prefix > 0) {
            const double value = m_KeyType == sNumeric ? LeadingNumber(text)
                                 : m_KeyType == sDate  ? dateOf(text, "IndexOf")
                                                       : 0;
            for (int i = 0; i < prefix; ++i)
                if (compareKeyWithValue(keyView(items()[size_t(i)].text), text, value) == 0)
                    return i;
        }
        int index = 0;
        return Find(text, index) ? index : -1;
    }

    // Prepared once before the scan.
    double value = 0;
    QString upper;
    if (m_KeyType == sNumeric)
        value = LeadingNumber(text);
    else if (m_KeyType == sDate)
        value = dateOf(text, "IndexOf");
    else if (m_KeyType == sString && m_SubstringMatch)
        upper = UpperCase(text);

    const bool substring =
        m_SubstringMatch && (m_KeyType == sString || m_KeyType == sStringCaseSensitive);
    if (substring && text.isEmpty()) return -1; // an empty text occurs in no text
    for (int i = 0; i < count; ++i) {
        const QString &item = items()[size_t(i)].text;
        bool match = false;
        if (substring && m_KeyType == sString)
            match = UpperCase(item).contains(upper);
        else if (substring)
            match = item.contains(text);
        else
            switch (m_KeyType) {
            case sString:
                match = textCollator().compare(keyView(item), text) == 0;
                break;
            case sStringCaseSensitive:
                match = keyView(item) == text;
                break;
            case sNumeric:
                match = internal::leadingNumberOf(keyView(item)) == value;
                break;
            case sDate:
                match = dateOf(keyView(item), "IndexOf") == value;
                break;
            }
        if (match) return i;
    }
    return -1;
}

int TvorList::Add(const QString &text)
{
    return addItem(text, nullptr);
}

int TvorList::AddObject(const QString &text, void *object)
{
    return addItem(text, object);
}

int TvorList::addItem(const QString &text, void *object)
{
    if (!m_Sorted) {
        const int index = GetCount();
        InsertItem(index, text, object);
        return index;
    }
    // The new item's own key is what decides its place.
    const QString key = KeyOf(text);
    int index = 0;
    if (Find(key, index)) {
        if (m_Duplicates == dupIgnore) return index;
        if (m_Duplicates == dupError)
            throw EListError(QStringLiteral("Add: the sorted list already holds the key \"%1\" and "
                                            "accepts no duplicates")
                                 .arg(key));
        if (m_KeyType == sNumeric && internal::leadingNumberOf(key) == 0) {
            // Among the zero values the sort orders the keys as text: keep that order
            // by passing the zero-valued keys that come before this one.
            const QCollator &collator = textCollator();
            while (index < GetCount()) {
                const QStringView other = keyView(items()[size_t(index)].text);
                if (internal::leadingNumberOf(other) != 0) break;
                const int c = collator.compare(other, key);
                if ((m_Descending ? -c : c) >= 0) break;
                ++index;
            }
        }
    }
    InsertItem(index, text, object);
    return index;
}

// ---- 4. sorting -------------------------------------------------------------------------

std::vector<int> TvorList::planSort(int first, int last, TLSortType type, bool alphaPass) const
{
    std::vector<int> order;
    if (first > last) return order;
    const int n = last - first + 1;
    order.reserve(size_t(n));
    auto textOf = [&](int index) -> const QString & { return items()[size_t(index)].text; };

    // Sorts the items order[from..to] (indices into order) as case-insensitive text.
    auto sortAsText = [&](std::vector<int> &items, int from, int to) {
        std::vector<internal::TextItem> texts;
        texts.reserve(size_t(to - from + 1));
        for (int k = from; k <= to; ++k) {
            const QString &whole = textOf(items[size_t(k)]);
            texts.push_back({keyView(whole), &whole, items[size_t(k)]});
        }
        internal::orderAsText(texts, m_Descending);
        for (size_t k = 0; k < texts.size(); ++k)
            items[size_t(from) + k] = texts[k].index;
    };

    for (int i = first; i <= last; ++i)
        order.push_back(i);

    switch (type) {
    case sString:
        sortAsText(order, 0, n - 1);
        break;
    case sStringCaseSensitive: {
        std::vector<Entry<QStringView>> entries;
        entries.reserve(size_t(n));
        for (int i = first; i <= last; ++i)
            entries.push_back({keyView(textOf(i)), i});
        partitionSort(entries, 0, n - 1, m_Descending,
                      [](QStringView a, QStringView b) { return compareCodeUnits(a, b); });
        for (int k = 0; k < n; ++k)
            order[size_t(k)] = entries[size_t(k)].index;
        break;
    }
    case sNumeric:
    case sDate: {
        std::vector<Entry<double>> entries;
        entries.reserve(size_t(n));
        for (int i = first; i <= last; ++i) {
            const QString &whole = textOf(i);
            const QStringView key = keyView(whole);
            const double value =
                type == sNumeric ? internal::leadingNumberOf(key) : dateOf(key, "Sort");
            entries.push_back({value, i});
        }
        partitionSort(entries, 0, n - 1, m_Descending,
                      [](double a, double b) { return compareNumbers(a, b); });
        for (int k = 0; k < n; ++k)
            order[size_t(k)] = entries[size_t(k)].index;
        if (type == sNumeric && alphaPass) {
            // The post-pass: the first run of zero values from the start of the range,
            // ordered as text. After the numeric sort all zeros lie together.
            int k = 0;
            while (k < n && entries[size_t(k)].key != 0)
                ++k;
            int end = k;
            while (end + 1 < n && entries[size_t(end + 1)].key == 0)
                ++end;
            if (k < n && end > k) sortAsText(order, k, end);
        }
        break;
    }
    }
    return order;
}

void TvorList::applyOrder(int first, std::vector<int> order)
{
    const size_t n = order.size();
    if (n == 0) return;
    // OPTIMIZATION: a gather into fresh storage. Its reads are independent of each
    // other, so the processor overlaps their cache misses (following the permutation's
    // cycles in place makes every read wait for the one before); the prefetch asks for
    // the items a few steps ahead.
    std::vector<Item> &all = items();
    std::vector<Item> moved;
    moved.reserve(first == 0 && n == all.size() ? all.capacity() : n);
    Item *const source = all.data();
    for (size_t k = 0; k < n; ++k) {
#if defined(__GNUC__)
        if (k + 8 < n) __builtin_prefetch(source + order[k + 8]);
#endif
        moved.push_back(std::move(source[order[k]]));
    }
    if (first == 0 && n == all.size())
        all.swap(moved);
    else
        std::move(moved.begin(), moved.end(), all.begin() + first);
    ++m_changeStamp;
}

void TvorList::sortWithNotification()
{
    auto plan = [this] {
        return planSort(m_SortStart, GetCount() - 1, m_KeyType, m_KeyType == sNumeric);
    };
    std::vector<int> order = plan();
    const quint64 stamp = m_changeStamp;
    Changing();
    if (stamp != m_changeStamp)
        order = plan(); // OnChanging changed the list: plan again for what it holds now
    applyOrder(m_SortStart, std::move(order));
    Changed();
}

void TvorList::QuickSort(int first, int last)
{
    if (first >= last) return;
    checkIndex(first, "QuickSort");
    checkIndex(last, "QuickSort");
    applyOrder(first, planSort(first, last, m_KeyType, false));
}

void TvorList::Sort_Alpha()
{
    const int count = GetCount();
    int i = std::max(m_SortStart, 0);
    auto zeroAt = [&](int k) {
        const QString &whole = items()[size_t(k)].text;
        return internal::leadingNumberOf(keyView(whole)) == 0;
    };
    while (i < count && !zeroAt(i))
        ++i;
    int j = i;
    while (j + 1 < count && zeroAt(j + 1))
        ++j;
    if (i < count && j > i) applyOrder(i, planSort(i, j, sString, false));
}

void TvorList::Sort()
{
    if (m_Sorted || GetCount() <= 1) return;
    sortWithNotification();
}

void TvorList::SetSorted(bool value)
{
    if (value == m_Sorted) return;
    if (value) Sort(); // while Sorted is still false, so that it runs
    m_Sorted = value;
}

namespace {

// Stores a new key setting and re-sorts a sorted list; on failure the old setting is
// put back before the error goes on.
template <typename T>
void changeSortSetting(T &field, T value, bool resort, const std::function<void()> &sort)
{
    const T old = field;
    field = value;
    if (!resort) return;
    try {
        sort();
    } catch (...) {
        field = old;
        throw;
    }
}

} // namespace

void TvorList::SetKeyType(TLSortType value)
{
    if (value == m_KeyType) return;
    ++m_changeStamp;
    changeSortSetting(m_KeyType, value, m_Sorted && GetCount() > 1,
                      [this] { sortWithNotification(); });
}

void TvorList::SetKeyPos(int value)
{
    if (value == m_KeyPos) return;
    ++m_changeStamp;
    changeSortSetting(m_KeyPos, std::max(value, 1), m_Sorted && GetCount() > 1,
                      [this] { sortWithNotification(); });
}

void TvorList::SetKeyLen(int value)
{
    if (value == m_KeyLen) return;
    ++m_changeStamp;
    changeSortSetting(m_KeyLen, std::max(value, 1), m_Sorted && GetCount() > 1,
                      [this] { sortWithNotification(); });
}

void TvorList::setDescending(bool value)
{
    if (value == m_Descending) return;
    ++m_changeStamp;
    // A sorted list is kept in the order that Find and Add rely on.
    changeSortSetting(m_Descending, value, m_Sorted && GetCount() > 1,
                      [this] { sortWithNotification(); });
}

void TvorList::setSortStart(int value)
{
    if (value < 0)
        throw EListError(QStringLiteral("setSortStart: %1 is negative (0..2147483647)").arg(value));
    if (value == m_SortStart) return;
    ++m_changeStamp;
    changeSortSetting(m_SortStart, value, m_Sorted && GetCount() > 1,
                      [this] { sortWithNotification(); });
}

// ---- 5. storage and invariants ----------------------------------------------------------

void TvorList::Grow()
{
    SetCapacity(grownCapacity(m_Capacity));
}

std::vector<TvorList::Item> &TvorList::items()
{
    if (m_positional) materialize();
    return m_items;
}

const std::vector<TvorList::Item> &TvorList::items() const
{
    if (m_positional) materialize();
    return m_items;
}

// Built aside and swapped in, so that a failed allocation leaves the positions.
void TvorList::materialize() const
{
    std::vector<Item> made;
    made.reserve(m_positions.size());
    for (int position : m_positions)
        made.push_back({QString::number(position), positionObject(position)});
    m_items.swap(made);
    std::vector<int>().swap(m_positions);
    m_positional = false;
}

std::vector<int> TvorList::AssignPositions(std::vector<int> positions)
{
    if (m_Sorted) raiseSorted("AssignPositions");
    if (positions.size() > size_t(std::numeric_limits<int>::max()))
        throw EListError(QStringLiteral("AssignPositions: %1 positions are more than a list "
                                        "holds (%2)")
                             .arg(qulonglong(positions.size()))
                             .arg(std::numeric_limits<int>::max()));
    Changing();
    if (m_Sorted) raiseSorted("AssignPositions"); // OnChanging sorted the list
    // The capacity Clear and the appends would leave: Clear releases the storage of a
    // non-empty list, and each append into a full list grows it by one step.
    const int n = int(positions.size());
    const int capacity = capacityFor(GetCount() > 0 ? 0 : m_Capacity, n);
    std::vector<Item>().swap(m_items);
    std::vector<int> previous = std::exchange(m_positions, std::move(positions));
    m_positional = true;
    m_Capacity = capacity;
    ++m_changeStamp;
    Changed();
    return previous;
}

void TvorList::SetCapacity(int n)
{
    if (n < GetCount())
        throw EListError(QStringLiteral("SetCapacity: %1 is below the item count (%2..%3)")
                             .arg(n)
                             .arg(GetCount())
                             .arg(std::numeric_limits<int>::max()));
    if (n == 0) {
        std::vector<Item>().swap(m_items);
        std::vector<int>().swap(m_positions);
        m_positional = false;
    } else if (!m_positional && size_t(n) > m_items.capacity() && size_t(n) - m_items.capacity() > 16)
        m_items.reserve(size_t(n)); // a large explicit request; small steps grow by doubling
    m_Capacity = n;
}

QString TvorList::checkConsistency() const
{
    const int count = GetCount();
    if (count < 0 || count > m_Capacity)
        return QStringLiteral("Count %1 outside 0..Capacity %2").arg(count).arg(m_Capacity);
    if (m_KeyPos < 1) return QStringLiteral("KeyPos %1 below 1").arg(m_KeyPos);
    if (m_KeyLen < 1) return QStringLiteral("KeyLen %1 below 1").arg(m_KeyLen);
    if (m_SortStart < 0) return QStringLiteral("SortStart %1 negative").arg(m_SortStart);
    if (m_positional) {
        if (!m_items.empty())
            return QStringLiteral("%1 items held both as positions and as texts")
                .arg(m_items.size());
        // A sort turns the positions into items: a sorted list of two or more items
        // can only hold them as texts.
        if (m_Sorted && count > 1)
            return QStringLiteral("sorted list of %1 items still holds positions").arg(count);
        return {};
    }
    if (!m_Sorted) return {};
    try {
        for (int i = std::max(m_SortStart, 0); i + 1 < count; ++i) {
            const QString &next = items()[size_t(i + 1)].text;
            const QString nextKey = KeyOf(next);
            const double value = m_KeyType == sNumeric ? LeadingNumber(nextKey)
                                 : m_KeyType == sDate  ? dateOf(nextKey, "checkConsistency")
                                                       : 0;
            const QStringView key = keyView(items()[size_t(i)].text);
            int c = compareKeyWithValue(key, nextKey, value);
            // zero values are ordered as text among themselves
            if (c == 0 && m_KeyType == sNumeric && value == 0)
                c = textCollator().compare(key, nextKey);
            if (m_Descending) c = -c;
            if (c > 0)
                return QStringLiteral("sorted list out of order at items %1 and %2")
                    .arg(i)
                    .arg(i + 1);
        }
    } catch (const Exception &e) {
        return QStringLiteral("sorted list holds a key that does not convert: %1").arg(e.Message());
    }
    return {};
}

} // namespace vorgrd
