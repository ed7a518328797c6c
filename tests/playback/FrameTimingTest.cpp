#include "playback/core/FrameTiming.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace lumo::playback {

namespace {

// A 24 fps movie shown on a 60 Hz screen, each frame at the first refresh after it is due; the
// recording's first frame (the page before the movie) came `lead` s before the movie's first.
std::vector<double> shownTimes(double lead, int frames)
{
    std::vector<double> times{0};
    for (int k = 0; k < frames; ++k) {
        const double due = 0.004 + k / 24.0;
        times.push_back(lead + std::ceil(due * 60) / 60);
    }
    return times;
}

size_t slotsUsed(const std::vector<double>& times, double offset)
{
    std::set<long long> slots;
    for (const double time : times)
        slots.insert(std::llround((time - offset) * 24));
    return slots.size();
}

} // namespace

TEST(FrameTiming, EveryFrameGetsASlotOfItsOwnWhateverThePhase)
{
    size_t lostOnTheGrid = 0;
    for (const double lead : {0.041, 0.05, 0.06, 0.07, 0.075}) {
        const std::vector<double> times = shownTimes(lead, 96);
        const double offset = bestFrameOffset(times, 24);
        EXPECT_GE(offset, 0) << lead;
        EXPECT_LT(offset, 1 / 24.0) << lead;
        EXPECT_EQ(slotsUsed(times, offset), times.size()) << lead;
        lostOnTheGrid += times.size() - slotsUsed(times, 0);
    }
    EXPECT_GT(lostOnTheGrid, 0u) << "the case the offset is for";
}

TEST(FrameTiming, FramesOnTheGridStayAndNothingIsNoOffset)
{
    std::vector<double> onGrid;
    for (int k = 0; k < 48; ++k)
        onGrid.push_back(k / 24.0);
    EXPECT_EQ(slotsUsed(onGrid, bestFrameOffset(onGrid, 24)), onGrid.size());
    EXPECT_EQ(bestFrameOffset({}, 24), 0);
    EXPECT_EQ(bestFrameOffset({0.5}, 0), 0);
}

} // namespace lumo::playback
