#pragma once
// Large working buffers (a sort's keys, a permutation of millions of lines) that an
// operation fills and drops again.
//
// OPTIMIZATION: the C library keeps freed blocks below 32 MiB for reuse, but gives
// every larger block its own mapping and returns it to the system when it is freed.
// Each such buffer then arrives as fresh memory, and the first touch of fresh memory
// costs a fault per 4 KiB page: measured here at 2 to 6 ms per MB, which for ten
// million rows made the faults of a sort's temporaries cost more than reading its
// keys. So a large buffer asks for 2 MiB pages (512 times fewer faults, and a random
// read of it misses the address translation cache far less), and an object that runs
// such operations again and again keeps one block between them (ScratchMemory), as
// the C library does for the smaller ones. Huge pages are a hint: where the system
// does not follow it, nothing changes but the speed.

#include "host/vorgrdexport.h"

#include <cstddef>
#include <vector>

namespace vorgrd {

// Blocks from this size on are mapped by the C library on their own: below it,
// nothing here changes how memory is allocated.
inline constexpr std::size_t LargeBlockBytes = std::size_t(32) << 20;

// Asks for huge pages for the 2 MiB-aligned part of [data, data + bytes) if the block
// is at least LargeBlockBytes long. Call it before the block is touched.
VORGRD_EXPORT void adviseHugePages(void *data, std::size_t bytes) noexcept;

// `vector.reserve(count)` for a vector about to be filled, asking for huge pages when
// the reserved block is new and large.
template <typename T>
void reserveLarge(std::vector<T> &vector, std::size_t count)
{
    const bool fresh = vector.capacity() < count;
    vector.reserve(count);
    if (fresh) adviseHugePages(vector.data(), count * sizeof(T));
}

// Working memory lent to one operation at a time. A block of LargeBlockBytes or more
// is kept when the operation ends and lent again to the next one that fits in it
// (one block at most; a request for less than half of it gets a block of its own
// size instead, so a grid that shrank does not hold the memory of its largest day).
// A smaller block is freed at once. Everything kept is freed with the object or by
// release(). Not thread-safe: it belongs to one object, and a lease must end before
// the object does.
class VORGRD_EXPORT ScratchMemory
{
public:
    ScratchMemory() = default;
    ~ScratchMemory();
    ScratchMemory(const ScratchMemory &) = delete;
    ScratchMemory &operator=(const ScratchMemory &) = delete;

    // A block of at least `bytes` bytes (aligned for any type; contents undefined),
    // returned when the lease ends. Raises std::bad_alloc with nothing kept lost.
    class VORGRD_EXPORT Lease
    {
    public:
        ~Lease();
        Lease(Lease &&other) noexcept;
        Lease(const Lease &) = delete;
        Lease &operator=(const Lease &) = delete;
        Lease &operator=(Lease &&) = delete;
        void *data() const noexcept { return m_data; }

    private:
        friend class ScratchMemory;
        Lease(ScratchMemory *owner, void *data) noexcept : m_owner(owner), m_data(data) {}
        ScratchMemory *m_owner; // null: the block is the lease's own
        void *m_data;
    };
    Lease lend(std::size_t bytes);

    void release() noexcept;
    std::size_t keptBytes() const noexcept { return m_leased ? 0 : m_bytes; }

private:
    void giveBack() noexcept;
    void *m_block = nullptr;
    std::size_t m_bytes = 0;
    bool m_leased = false;
};

} // namespace vorgrd
