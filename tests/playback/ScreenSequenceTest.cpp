#include "playback/core/ScreenSequence.h"
#include "app/core/PreviewTicks.h"

#include <gtest/gtest.h>

namespace lumo {

namespace {

// The entries loaded at each of `ticks` ticks, flattened.
std::vector<std::uint32_t> loads(std::uint32_t n, bool random, bool oneByOne, int ticks)
{
    Random generator;
    playback::ScreenSequence sequence(generator);
    sequence.restart();
    std::vector<std::uint32_t> out;
    for (int i = 0; i < ticks; ++i)
        for (std::uint32_t entry : sequence.next(n, random, oneByOne))
            out.push_back(entry);
    return out;
}

} // namespace

TEST(ScreenSequence, TicksFollowTheModesFromAFreshRun)
{
    Random draws;
    std::vector<std::uint32_t> firstTen;
    for (int i = 0; i < 10; ++i)
        firstTen.push_back(draws.next(3));
    EXPECT_EQ(firstTen, (std::vector<std::uint32_t>{0, 0, 2, 0, 0, 2, 0, 0, 1, 1}));
    // The start counts as a previous draw of 0, so a first draw of 0 is drawn again.
    EXPECT_EQ(loads(3, true, false, 4), (std::vector<std::uint32_t>{0, 2, 0, 2}));
    EXPECT_EQ(loads(1, true, false, 3), (std::vector<std::uint32_t>{0, 0, 0})) << "one movie is set again each tick";
    EXPECT_EQ(loads(3, false, true, 4), (std::vector<std::uint32_t>{1, 2, 0, 1}));
    EXPECT_EQ(loads(1, false, true, 2), (std::vector<std::uint32_t>{0, 0}));
    EXPECT_EQ(loads(3, true, true, 2), (std::vector<std::uint32_t>{0, 1, 2, 2})) << "the one-by-one movie comes last";
    EXPECT_TRUE(loads(3, false, false, 3).empty());
    EXPECT_TRUE(loads(0, true, true, 3).empty());
}

TEST(PreviewTicks, RandomAndOneByOneOverTheWholeList)
{
    app::EditorControls controls;
    Random random;
    int index = 0;
    EXPECT_EQ(app::ChangeTimerTick(controls, 3, index, random), std::nullopt) << "Play1";
    controls.setOne(true);
    std::vector<int> rows;
    for (int i = 0; i < 4; ++i)
        rows.push_back(*app::ChangeTimerTick(controls, 3, index, random));
    EXPECT_EQ(rows, (std::vector<int>{1, 2, 0, 1}));
    int single = 0;
    EXPECT_EQ(app::ChangeTimerTick(controls, 1, single, random), 0);
    controls.setRnd(true);
    EXPECT_EQ(app::ChangeTimerTick(controls, 3, index, random), 0) << "the generator's first draw for n = 3";
    EXPECT_EQ(app::ChangeTimerTick(controls, 0, index, random), std::nullopt);
    controls.setRnd(false);
    EXPECT_EQ(app::ChangeTimerTick(controls, 3, index, random), std::nullopt) << "no mode checked";
}

} // namespace lumo
