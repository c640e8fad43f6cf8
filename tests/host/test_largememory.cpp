// The working memory that large sorts keep between runs: what is kept, when it is
// lent again, and that nothing kept outlives its use for a smaller job.
#include "host/largememory.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vorgrd;

namespace {

constexpr std::size_t MiB = std::size_t(1) << 20;

} // namespace

TEST(ScratchMemory, KeepsOneLargeBlockAndLendsItAgainOnlyToAJobOfAboutItsSize)
{
    ScratchMemory memory;
    void *large = nullptr;
    {
        ScratchMemory::Lease lease = memory.lend(40 * MiB);
        large = lease.data();
        std::memset(large, 1, 40 * MiB); // all of it is usable
        EXPECT_EQ(memory.keptBytes(), 0u) << "lent, not kept, while in use";
    }
    EXPECT_GE(memory.keptBytes(), 40 * MiB);
    EXPECT_EQ(memory.lend(25 * MiB).data(), large) << "more than half of the block: lent again";
    EXPECT_EQ(memory.lend(40 * MiB).data(), large);

    {
        // A lease taken while the block is out gets a block of its own.
        const ScratchMemory::Lease outer = memory.lend(40 * MiB);
        const ScratchMemory::Lease inner = memory.lend(40 * MiB);
        EXPECT_EQ(outer.data(), large);
        EXPECT_NE(inner.data(), large);
    }
    EXPECT_GE(memory.keptBytes(), 40 * MiB) << "the inner lease must not replace the kept block";

    // A much smaller job gets its own block, and the large one is no longer held.
    { const ScratchMemory::Lease lease = memory.lend(1 * MiB); }
    EXPECT_EQ(memory.keptBytes(), 0u);

    // A block larger than the kept one replaces it.
    { const ScratchMemory::Lease lease = memory.lend(33 * MiB); }
    { const ScratchMemory::Lease lease = memory.lend(80 * MiB); }
    EXPECT_GE(memory.keptBytes(), 80 * MiB);
    memory.release();
    EXPECT_EQ(memory.keptBytes(), 0u);
}

TEST(ScratchMemory, BlocksBelowTheLargeSizeAreNeverKept)
{
    ScratchMemory memory;
    for (std::size_t bytes : {std::size_t(0), std::size_t(1), 4 * MiB, LargeBlockBytes - 1}) {
        {
            const ScratchMemory::Lease lease = memory.lend(bytes);
            EXPECT_NE(lease.data(), nullptr);
        }
        EXPECT_EQ(memory.keptBytes(), 0u) << bytes << " bytes";
    }
}
