#pragma once
// Internal to the library: the partition-exchange scheme by which TvorList orders its
// items, and the text and numeric orders of whole ranges built on it. The grid's sorts
// order numeric keys with them without a keyed list and must give exactly the keyed
// list's order, ties included.
#include "host/vorgrdexport.h"
#include "keyedlist/keyengine_p.h"

#include <QString>
#include <QStringView>

#include <type_traits>
#include <utility>
#include <vector>

namespace vorgrd::internal {

template <typename Key> struct Entry
{
    Key key;
    int index; // the item's index before the sort
};

// The partition-exchange scheme over entries[first..last]. `compare` gives the sign of
// key a against key b; `descending` turns every comparison round.
//
// Each pass takes the middle entry's key as the pivot, scans I up over keys before it
// and J down over keys after it, swaps at I <= J and repeats while I <= J; the two
// parts first..J and I..last are then sorted on their own. The parts are disjoint,
// so sorting the smaller one first (recursively) and the larger one in the loop gives
// the same result as any other order and keeps the depth at log2(n).
// LIMIT: the middle pivot is part of what fixes the order of equal keys, so it cannot
// be replaced by a random or median pivot: a sequence built against it takes O(n^2)
// comparisons (sorted, reversed and all-equal inputs take O(n log n)).
template <bool Descending, bool Guarded, typename Key, typename Compare>
void partitionSortIn(Entry<Key> *const e, int first, int last, const Compare &compare)
{
    // The direction is a template argument: it turns every comparison round and
    // costs nothing in the inner loops.
    auto order = [&compare](const Key &a, const Key &b) {
        if constexpr (Descending)
            return compare(b, a);
        else
            return compare(a, b);
    };
    while (first < last) {
        int i = first;
        int j = last;
        const Key pivot = e[first + (last - first) / 2].key;
        do {
            // A scan under a consistent comparison (a strict weak order) stops at the
            // pivot or at an earlier exchange, never beyond first..last. Text keys that
            // mix collation keys with the collator's own comparison are bounds-tested
            // as well, so that no comparison can make a scan leave the range; the test
            // never stops a scan that would not have stopped anyway.
            while ((!Guarded || i < last) && order(e[i].key, pivot) < 0)
                ++i;
            while ((!Guarded || j > first) && order(e[j].key, pivot) > 0)
                --j;
            if (i <= j) {
                if (i != j) std::swap(e[i], e[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - first < last - i) {
            if (first < j) partitionSortIn<Descending, Guarded>(e, first, j, compare);
            first = i;
        } else {
            if (i < last) partitionSortIn<Descending, Guarded>(e, i, last, compare);
            last = j;
        }
    }
}

// Numbers (never NaN) and code-unit texts are totally ordered: their scans need no
// bounds tests.
template <typename Key>
constexpr bool totallyOrdered = std::is_same_v<Key, double> || std::is_same_v<Key, QStringView>;

template <typename Key, typename Compare>
void partitionSort(Entry<Key> *entries, int first, int last, bool descending,
                   const Compare &compare)
{
    constexpr bool guarded = !totallyOrdered<Key>;
    if (descending)
        partitionSortIn<true, guarded>(entries, first, last, compare);
    else
        partitionSortIn<false, guarded>(entries, first, last, compare);
}

template <typename Key, typename Compare>
void partitionSort(std::vector<Entry<Key>> &entries, int first, int last, bool descending,
                   const Compare &compare)
{
    partitionSort(entries.data(), first, last, descending, compare);
}

// One text key to be ordered as case-insensitive text (sString): the key itself, the
// whole text it was cut from (the key may share it instead of being copied), and
// what the caller knows the item by.
struct TextItem
{
    QStringView key;
    const QString *whole = nullptr;
    int index = 0;
};

// Orders `items` by their keys as sString keys compare (AnsiCompareText), in the sort
// direction, by the scheme above: the order, ties included, is the keyed list's.
VORGRD_EXPORT void orderAsText(std::vector<TextItem> &items, bool descending);

// The numeric order of entries[0..count-1], whose keys are the numbers of the item keys
// (leadingNumberOf): by the scheme above in the direction of `rule`, and then the run
// of zero values, among them every key without a number, ordered among itself as
// text. `wholeAt(index)` gives the whole text of the item an entry stands for (a
// reference to a text the caller keeps, or a text of its own); its key is cut again by
// `rule` for the text order. After the numeric order all zero values
// lie together, so the run is the whole of them.
template <typename WholeAt>
void orderNumeric(Entry<double> *entries, int count, const KeyRule &rule, const WholeAt &wholeAt)
{
    const int last = count - 1;
    partitionSort(entries, 0, last, rule.descending,
                  [](double a, double b) { return compareNumbers(a, b); });
    int zeros = 0;
    while (zeros <= last && entries[zeros].key != 0)
        ++zeros;
    int zerosEnd = zeros;
    while (zerosEnd < last && entries[zerosEnd + 1].key == 0)
        ++zerosEnd;
    if (zeros > last || zerosEnd == zeros) return;
    const auto n = size_t(zerosEnd - zeros + 1);
    std::vector<QString> made; // outlives `items`, which views it
    std::vector<TextItem> items;
    items.reserve(n);
    if constexpr (std::is_lvalue_reference_v<decltype(wholeAt(0))>) {
        // Texts the caller holds are viewed where they are.
        for (int k = zeros; k <= zerosEnd; ++k) {
            const QString &whole = wholeAt(entries[k].index);
            items.push_back({cutKey(whole, rule), &whole, entries[k].index});
        }
    } else {
        made.reserve(n);
        for (int k = zeros; k <= zerosEnd; ++k)
            made.push_back(wholeAt(entries[k].index));
        for (size_t k = 0; k < n; ++k)
            items.push_back({cutKey(made[k], rule), &made[k], entries[size_t(zeros) + k].index});
    }
    orderAsText(items, rule.descending);
    for (size_t k = 0; k < items.size(); ++k)
        entries[size_t(zeros) + k].index = items[k].index;
}

} // namespace vorgrd::internal
