#include "common/Random.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumo {

TEST(Random, FreshGeneratorDrawsTheKnownSequence)
{
    Random random;
    std::vector<std::uint32_t> draws;
    for (int i = 0; i < 10; ++i)
        draws.push_back(random.next(3));
    EXPECT_EQ(draws, (std::vector<std::uint32_t>{0, 0, 2, 0, 0, 2, 0, 0, 1, 1}));
}

TEST(Random, ZeroRangeGivesZeroAndStillAdvances)
{
    Random random;
    EXPECT_EQ(random.next(0), 0u);
    EXPECT_EQ(random.seed(), 1u);
    // Seed 0, n = 10 draws 0 first; n = 70 as the second draw of a run gives 2.
    Random fresh;
    EXPECT_EQ(fresh.next(10), 0u);
    EXPECT_EQ(fresh.next(70), 2u);
}

} // namespace lumo
