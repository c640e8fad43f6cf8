#include "host/largememory.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

namespace vorgrd {

namespace {

constexpr std::size_t HugePage = std::size_t(2) << 20;

// A block of at least `bytes`; from two huge pages on it is aligned to them and
// advised, so that all of it can be backed by huge pages.
void *allocateBlock(std::size_t bytes, std::size_t &allocated)
{
    void *data = nullptr;
    if (bytes >= 2 * HugePage) {
        allocated = (bytes + HugePage - 1) / HugePage * HugePage;
        data = std::aligned_alloc(HugePage, allocated);
#ifdef MADV_HUGEPAGE
        if (data) madvise(data, allocated, MADV_HUGEPAGE);
#endif
    } else {
        allocated = std::max<std::size_t>(bytes, 1);
        data = std::malloc(allocated);
    }
    if (!data) throw std::bad_alloc();
    return data;
}

} // namespace

void adviseHugePages(void *data, std::size_t bytes) noexcept
{
#ifdef MADV_HUGEPAGE
    if (!data || bytes < LargeBlockBytes) return;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + HugePage - 1) & ~std::uintptr_t(HugePage - 1);
    const std::uintptr_t end = (start + bytes) & ~std::uintptr_t(HugePage - 1);
    if (end > first) madvise(reinterpret_cast<void *>(first), end - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

ScratchMemory::~ScratchMemory()
{
    release();
}

ScratchMemory::Lease ScratchMemory::lend(std::size_t bytes)
{
    const bool fits = m_block && !m_leased && bytes <= m_bytes && bytes >= m_bytes / 2;
    if (fits) {
        m_leased = true;
        return Lease(this, m_block);
    }
    if (m_leased) {
        std::size_t allocated = 0;
        return Lease(nullptr, allocateBlock(bytes, allocated)); // a lease inside a lease
    }
    release(); // too small or far too large for what is asked now
    std::size_t allocated = 0;
    void *data = allocateBlock(bytes, allocated);
    if (bytes < LargeBlockBytes) return Lease(nullptr, data);
    m_block = data;
    m_bytes = allocated;
    m_leased = true;
    return Lease(this, data);
}

void ScratchMemory::release() noexcept
{
    if (m_leased) return; // freed when its lease ends
    std::free(m_block);
    m_block = nullptr;
    m_bytes = 0;
}

void ScratchMemory::giveBack() noexcept
{
    m_leased = false;
}

ScratchMemory::Lease::Lease(Lease &&other) noexcept
    : m_owner(std::exchange(other.m_owner, nullptr)), m_data(std::exchange(other.m_data, nullptr))
{
}

ScratchMemory::Lease::~Lease()
{
    if (m_owner)
        m_owner->giveBack();
    else
        std::free(m_data);
}

} // namespace vorgrd
