#pragma once
// Large working buffers (a sort's keys, a permutation of millions of lines) that are
// allocated, filled and freed again within one operation.
//
// OPTIMIZATION: the C library gives every block of 32 MiB or more its own mapping and
// returns it to the system when it is freed, so each such buffer arrives as fresh
// memory, and with ordinary 4 KiB pages its first touch costs one fault per page:
// measured here at about 2 ms per MB, which for ten million rows made the faults of
// the sort's temporaries cost more than reading the keys. Backed by 2 MiB pages the
// same buffer faults 512 times less often (about 0.1 ms per MB) and a random read of
// it misses the address translation cache far less. The advice is only a hint: where
// the system does not follow it, nothing changes but the speed.

#include "host/vorgrdexport.h"

#include <cstddef>
#include <vector>

namespace vorgrd {

// Asks for huge pages for the 2 MiB-aligned part of [data, data + bytes) if the block
// is at least LargeBlockBytes long; smaller blocks are left alone (the C library
// reuses them from its heap, already touched). Call it before the block is touched.
VORGRD_EXPORT void adviseHugePages(void *data, std::size_t bytes) noexcept;
inline constexpr std::size_t LargeBlockBytes = std::size_t(32) << 20;

// `vector.reserve(count)` for a vector about to be filled, asking for huge pages when
// the reserved block is new and large.
template <typename T>
void reserveLarge(std::vector<T> &vector, std::size_t count)
{
    const bool fresh = vector.capacity() < count;
    vector.reserve(count);
    if (fresh) adviseHugePages(vector.data(), count * sizeof(T));
}

} // namespace vorgrd
