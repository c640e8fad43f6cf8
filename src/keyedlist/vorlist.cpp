// TvorList. Sections:
//   1. construction, settings, item access and the changing operations
//   2. look-up: IndexOf, Find, Add
//   3. sorting: Sort, the key setters, planSort/applyOrder
//   4. storage, the positional form (AssignPositions) and invariants
//
// Keys are cut, matched and compared by the key engine (keyengine_p.h), which the
// grid's sorts and search share.
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
#include "keyedlist/keyconvert_p.h"
#include "keyedlist/keyorder_p.h"
#include "keyedlist/vorlist_p.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

namespace vorgrd {

namespace {

using internal::Entry;
using internal::partitionSort;

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

} // namespace

// ---- 1. construction, settings and changes ------------------------------------------------

TvorList::TvorList() : d(std::make_unique<Private>()) {}

TvorList::~TvorList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
}

TLSortType TvorList::KeyType() const
{
    return d->key.type;
}

int TvorList::KeyLen() const
{
    return d->key.len;
}

int TvorList::KeyPos() const
{
    return d->key.pos;
}

int TvorList::SortStart() const
{
    return d->sortStart;
}

bool TvorList::Sorted() const
{
    return d->sorted;
}

TDuplicates TvorList::Duplicates() const
{
    return d->duplicates;
}

void TvorList::setDuplicates(TDuplicates value)
{
    d->duplicates = value;
}

bool TvorList::SubstringMatch() const
{
    return d->substringMatch;
}

void TvorList::setSubstringMatch(bool value)
{
    d->substringMatch = value;
}

bool TvorList::Descending() const
{
    return d->key.descending;
}

int TvorList::Capacity() const
{
    return d->capacity;
}

quint64 TvorList::ChangeStamp() const
{
    return d->changeStamp;
}

QStringView TvorList::keyView(const QString &text) const
{
    return internal::cutKey(text, d->key);
}

QString TvorList::KeyOf(const QString &text) const
{
    return internal::keyText(text, d->key);
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
    if (d->positional) return QString::number(d->positions[size_t(index)]);
    return d->itemStore[size_t(index)].text;
}

int TvorList::GetCount() const
{
    return int(d->positional ? d->positions.size() : d->itemStore.size());
}

void *TvorList::GetObject(int index) const
{
    checkIndex(index, "GetObject");
    if (d->positional) return positionObject(d->positions[size_t(index)]);
    return d->itemStore[size_t(index)].object;
}

void TvorList::Put(int index, const QString &text)
{
    if (d->sorted) raiseSorted("Put");
    checkIndex(index, "Put");
    Changing();
    recheckIndex(index, GetCount() - 1, "Put");
    d->items()[size_t(index)].text = text;
    ++d->changeStamp;
    Changed();
}

void TvorList::PutObject(int index, void *object)
{
    checkIndex(index, "PutObject");
    Changing();
    recheckIndex(index, GetCount() - 1, "PutObject");
    d->items()[size_t(index)].object = object;
    ++d->changeStamp;
    Changed();
}

void TvorList::Insert(int index, const QString &text)
{
    if (d->sorted) raiseSorted("Insert");
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
    if (GetCount() == d->capacity) Grow();
    Changing();
    recheckIndex(index, GetCount(), "Insert");
    if (GetCount() == d->capacity) Grow();
    auto &items = d->items();
    items.insert(items.begin() + index, Private::Item{text, object});
    ++d->changeStamp;
    Changed();
}

void TvorList::Delete(int index)
{
    checkIndex(index, "Delete");
    Changing();
    recheckIndex(index, GetCount() - 1, "Delete");
    auto &items = d->items();
    items.erase(items.begin() + index);
    ++d->changeStamp;
    Changed();
}

void TvorList::Clear()
{
    if (GetCount() == 0) return;
    Changing();
    d->release();
    d->capacity = 0;
    ++d->changeStamp;
    Changed();
}

void TvorList::Exchange(int index1, int index2)
{
    checkIndex(index1, "Exchange");
    checkIndex(index2, "Exchange");
    Changing();
    recheckIndex(index1, GetCount() - 1, "Exchange");
    recheckIndex(index2, GetCount() - 1, "Exchange");
    std::swap(d->items()[size_t(index1)], d->items()[size_t(index2)]);
    ++d->changeStamp;
    Changed();
}

void TvorList::ExchangeItems(int index1, int index2)
{
    checkIndex(index1, "ExchangeItems");
    checkIndex(index2, "ExchangeItems");
    std::swap(d->items()[size_t(index1)], d->items()[size_t(index2)]);
    ++d->changeStamp;
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

// ---- 2. look-up -------------------------------------------------------------------------

bool TvorList::Find(const QString &text, int &index) const
{
    // The search value is converted when the first key is compared with it, so that
    // looking up a non-date in an empty date list is no error.
    std::optional<internal::KeyMatch> match;
    auto compareAt = [&](int i) {
        const QStringView key = keyView(d->items()[size_t(i)].text);
        if (!match) match = internal::matchFor(d->key.type, false, text, "Find");
        const int c = internal::compareWithMatch(key, *match, "Find");
        return d->key.descending ? -c : c;
    };
    int low = std::min(d->sortStart, GetCount());
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
                if (d->duplicates != dupAccept) low = i;
            }
        }
    }
    index = low;
    return found;
}

int TvorList::IndexOf(const QString &text) const
{
    const int count = GetCount();
    if (d->sorted) {
        // The items before SortStart are not kept in order: they are looked at one by
        // one, the rest by binary search.
        const int prefix = std::min(d->sortStart, count);
        if (prefix > 0) {
            const internal::KeyMatch match = internal::matchFor(d->key.type, false, text, "IndexOf");
            for (int i = 0; i < prefix; ++i)
                if (internal::compareWithMatch(keyView(d->items()[size_t(i)].text), match, "Find") == 0)
                    return i;
        }
        int index = 0;
        return Find(text, index) ? index : -1;
    }

    const internal::KeyMatch match =
        internal::matchFor(d->key.type, d->substringMatch, text, "IndexOf");
    for (int i = 0; i < count; ++i)
        if (internal::matches(match, d->items()[size_t(i)].text, d->key, "IndexOf")) return i;
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
    if (!d->sorted) {
        const int index = GetCount();
        InsertItem(index, text, object);
        return index;
    }
    // The new item's own key is what decides its place.
    const QString key = KeyOf(text);
    int index = 0;
    if (Find(key, index)) {
        if (d->duplicates == dupIgnore) return index;
        if (d->duplicates == dupError)
            throw EListError(QStringLiteral("Add: the sorted list already holds the key \"%1\" and "
                                            "accepts no duplicates")
                                 .arg(key));
        if (d->key.type == sNumeric && internal::leadingNumberOf(key) == 0) {
            // Among the zero values the sort orders the keys as text: keep that order
            // by passing the zero-valued keys that come before this one.
            while (index < GetCount()) {
                const QStringView other = keyView(d->items()[size_t(index)].text);
                if (internal::leadingNumberOf(other) != 0) break;
                const int c = internal::compareKeys(other, key, sNumeric, "Add");
                if ((d->key.descending ? -c : c) >= 0) break;
                ++index;
            }
        }
    }
    InsertItem(index, text, object);
    return index;
}

// ---- 3. sorting -------------------------------------------------------------------------

std::vector<int> TvorList::planSort(int first, int last, TLSortType type, bool alphaPass) const
{
    std::vector<int> order;
    if (first > last) return order;
    const int n = last - first + 1;
    order.reserve(size_t(n));
    const std::vector<Private::Item> &items = d->items();
    internal::KeyRule rule = d->key;
    rule.type = type;

    // Orders items first..last from their converted keys by the scheme.
    auto orderEntries = [&](auto convert, auto compare) {
        using Key = decltype(convert(QStringView()));
        std::vector<Entry<Key>> entries;
        entries.reserve(size_t(n));
        for (int i = first; i <= last; ++i)
            entries.push_back({convert(keyView(items[size_t(i)].text)), i});
        partitionSort(entries, 0, n - 1, rule.descending, compare);
        for (const Entry<Key> &entry : entries)
            order.push_back(entry.index);
    };

    switch (type) {
    case sString: {
        std::vector<internal::TextItem> texts;
        texts.reserve(size_t(n));
        for (int i = first; i <= last; ++i) {
            const QString &whole = items[size_t(i)].text;
            texts.push_back({keyView(whole), &whole, i});
        }
        internal::orderAsText(texts, rule.descending);
        for (const internal::TextItem &text : texts)
            order.push_back(text.index);
        break;
    }
    case sStringCaseSensitive:
        orderEntries([](QStringView key) { return key; },
                     [](QStringView a, QStringView b) { return internal::compareCodeUnits(a, b); });
        break;
    case sDate:
        orderEntries([](QStringView key) { return internal::dateKeyOf(key, "Sort"); },
                     [](double a, double b) { return internal::compareNumbers(a, b); });
        break;
    case sNumeric: {
        if (!alphaPass) {
            orderEntries([](QStringView key) { return internal::leadingNumberOf(key); },
                         [](double a, double b) { return internal::compareNumbers(a, b); });
            break;
        }
        std::vector<Entry<double>> entries;
        entries.reserve(size_t(n));
        for (int i = first; i <= last; ++i)
            entries.push_back({internal::leadingNumberOf(keyView(items[size_t(i)].text)), i});
        internal::orderNumeric(entries.data(), n, rule,
                               [&](int index) -> const QString & { return items[size_t(index)].text; });
        for (const Entry<double> &entry : entries)
            order.push_back(entry.index);
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
    std::vector<Private::Item> &all = d->items();
    std::vector<Private::Item> moved;
    moved.reserve(first == 0 && n == all.size() ? all.capacity() : n);
    Private::Item *const source = all.data();
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
    ++d->changeStamp;
}

void TvorList::sortWithNotification()
{
    auto plan = [this] {
        return planSort(d->sortStart, GetCount() - 1, d->key.type, d->key.type == sNumeric);
    };
    std::vector<int> order = plan();
    const quint64 stamp = d->changeStamp;
    Changing();
    if (stamp != d->changeStamp)
        order = plan(); // OnChanging changed the list: plan again for what it holds now
    applyOrder(d->sortStart, std::move(order));
    Changed();
}

void TvorList::QuickSort(int first, int last)
{
    if (first >= last) return;
    checkIndex(first, "QuickSort");
    checkIndex(last, "QuickSort");
    applyOrder(first, planSort(first, last, d->key.type, false));
}

void TvorList::Sort_Alpha()
{
    const int count = GetCount();
    int i = std::max(d->sortStart, 0);
    auto zeroAt = [&](int k) {
        return internal::leadingNumberOf(keyView(d->items()[size_t(k)].text)) == 0;
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
    if (d->sorted || GetCount() <= 1) return;
    sortWithNotification();
}

void TvorList::SetSorted(bool value)
{
    if (value == d->sorted) return;
    if (value) Sort(); // while Sorted is still false, so that it runs
    d->sorted = value;
}

template <typename T> void TvorList::changeSortSetting(T &field, T value)
{
    ++d->changeStamp;
    const T old = field;
    field = value;
    if (!d->sorted || GetCount() <= 1) return;
    try {
        sortWithNotification();
    } catch (...) {
        field = old;
        throw;
    }
}

void TvorList::SetKeyType(TLSortType value)
{
    if (value == d->key.type) return;
    changeSortSetting(d->key.type, value);
}

void TvorList::SetKeyPos(int value)
{
    if (value == d->key.pos) return;
    changeSortSetting(d->key.pos, std::max(value, 1));
}

void TvorList::SetKeyLen(int value)
{
    if (value == d->key.len) return;
    changeSortSetting(d->key.len, std::max(value, 1));
}

void TvorList::setDescending(bool value)
{
    if (value == d->key.descending) return;
    // A sorted list is kept in the order that Find and Add rely on.
    changeSortSetting(d->key.descending, value);
}

void TvorList::setSortStart(int value)
{
    if (value < 0)
        throw EListError(QStringLiteral("setSortStart: %1 is negative (0..2147483647)").arg(value));
    if (value == d->sortStart) return;
    changeSortSetting(d->sortStart, value);
}

// ---- 4. storage and invariants ----------------------------------------------------------

void TvorList::Grow()
{
    SetCapacity(grownCapacity(d->capacity));
}

void TvorList::Private::materialize() const
{
    std::vector<Item> made;
    made.reserve(positions.size());
    for (int position : positions)
        made.push_back({QString::number(position), positionObject(position)});
    itemStore.swap(made);
    std::vector<int>().swap(positions);
    positional = false;
}

void TvorList::Private::release()
{
    std::vector<Item>().swap(itemStore);
    std::vector<int>().swap(positions);
    positional = false;
}

const std::vector<int> *TvorList::Positions() const
{
    return d->positional ? &d->positions : nullptr;
}

std::vector<int> TvorList::AssignPositions(std::vector<int> positions)
{
    if (d->sorted) raiseSorted("AssignPositions");
    if (positions.size() > size_t(std::numeric_limits<int>::max()))
        throw EListError(QStringLiteral("AssignPositions: %1 positions are more than a list "
                                        "holds (%2)")
                             .arg(qulonglong(positions.size()))
                             .arg(std::numeric_limits<int>::max()));
    Changing();
    if (d->sorted) raiseSorted("AssignPositions"); // OnChanging sorted the list
    // The capacity Clear and the appends would leave: Clear releases the storage of a
    // non-empty list, and each append into a full list grows it by one step.
    const int n = int(positions.size());
    const int capacity = capacityFor(GetCount() > 0 ? 0 : d->capacity, n);
    std::vector<Private::Item>().swap(d->itemStore);
    std::vector<int> previous = std::exchange(d->positions, std::move(positions));
    d->positional = true;
    d->capacity = capacity;
    ++d->changeStamp;
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
    if (n == 0)
        d->release();
    else if (!d->positional && size_t(n) > d->itemStore.capacity() &&
             size_t(n) - d->itemStore.capacity() > 16)
        d->itemStore.reserve(size_t(n)); // a large explicit request; small steps grow by doubling
    d->capacity = n;
}

QString TvorList::checkConsistency() const
{
    const int count = GetCount();
    if (count < 0 || count > d->capacity)
        return QStringLiteral("Count %1 outside 0..Capacity %2").arg(count).arg(d->capacity);
    if (d->key.pos < 1) return QStringLiteral("KeyPos %1 below 1").arg(d->key.pos);
    if (d->key.len < 1) return QStringLiteral("KeyLen %1 below 1").arg(d->key.len);
    if (d->sortStart < 0) return QStringLiteral("SortStart %1 negative").arg(d->sortStart);
    if (d->positional) {
        if (!d->itemStore.empty())
            return QStringLiteral("%1 items held both as positions and as texts")
                .arg(d->itemStore.size());
        // A sort turns the positions into items: a sorted list of two or more items
        // can only hold them as texts.
        if (d->sorted && count > 1)
            return QStringLiteral("sorted list of %1 items still holds positions").arg(count);
        return {};
    }
    if (!d->sorted) return {};
    try {
        for (int i = std::max(d->sortStart, 0); i + 1 < count; ++i) {
            const QString nextKey = KeyOf(d->items()[size_t(i + 1)].text);
            // The next key is converted as a searched-for text first, so that one that
            // is no date is reported under that name.
            internal::matchFor(d->key.type, false, nextKey, "checkConsistency");
            int c = internal::compareKeys(keyView(d->items()[size_t(i)].text), nextKey,
                                          d->key.type, "Find");
            if (d->key.descending) c = -c;
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
