#pragma once
// Internal to the sorts (never installed): the list permutation that moves RowMarks
// with the rows, reachable by tests.
#include "host/strings.h"
#include "host/vorgrdexport.h"

#include <vector>

namespace vorgrd::sort_internal {

// New entry i of the list is old entry order[i] (texts and objects), written inside one
// update bracket that closes also when a write fails part-way (the entries then stand
// as far as the writes got). Returns true when every entry was alike, so that nothing
// had to move.
VORGRD_EXPORT bool permuteList(TStrings &list, const std::vector<int> &order);

} // namespace vorgrd::sort_internal
