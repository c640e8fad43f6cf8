#pragma once
// Private to TvorList (keyedlist/vorlist.cpp): its items and settings.
#include "keyedlist/keyengine_p.h"
#include "keyedlist/vorlist.h"

#include <vector>

namespace vorgrd {

struct TvorList::Private
{
    struct Item
    {
        QString text;
        void *object = nullptr;
    };

    // KeyPos, KeyLen (each at least 1), KeyType and Descending.
    internal::KeyRule key;
    int sortStart = 0;
    // OPTIMIZATION: the slots really held are managed by the vector (amortised
    // doubling), so appending n items costs O(n); `capacity` keeps the list's own
    // capacity steps, which is what Capacity() reports.
    mutable std::vector<Item> itemStore;
    // The positional form (see AssignPositions): while `positional` is set, the items
    // are `positions` and `itemStore` is empty.
    mutable std::vector<int> positions;
    mutable bool positional = false;
    int capacity = 0;
    bool sorted = false;
    TDuplicates duplicates = dupIgnore;
    bool substringMatch = false;
    // Counts changes, so that a sort can tell whether OnChanging changed the list.
    quint64 changeStamp = 0;

    // The items as texts and objects; a list holding positions turns them into items
    // first (which is why the storage is mutable: reading is still reading).
    std::vector<Item> &items() const
    {
        if (positional) materialize();
        return itemStore;
    }
    // Built aside and swapped in, so that a failed allocation leaves the positions.
    void materialize() const;
    // Drops every item and position.
    void release();
};

} // namespace vorgrd
