#include "host/largememory_p.h"

#include <cstdint>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

namespace vorgrd {

void adviseHugePages(void *data, std::size_t bytes) noexcept
{
#ifdef MADV_HUGEPAGE
    if (!data || bytes < LargeBlockBytes) return;
    constexpr std::uintptr_t HugePage = std::uintptr_t(2) << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + HugePage - 1) & ~(HugePage - 1);
    const std::uintptr_t end = (start + bytes) & ~(HugePage - 1);
    if (end > first) madvise(reinterpret_cast<void *>(first), end - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace vorgrd
