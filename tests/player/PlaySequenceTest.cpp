#include "player/core/PlaySequence.h"
#include "player/core/InputFilter.h"

#include <gtest/gtest.h>

namespace lumo::player {

namespace {

// The entries shown at start (always 0) and at the following ticks; -1 where the movie plays on.
std::vector<int> shown(const std::string& mode, std::uint32_t n, int ticks)
{
    Random random;
    PlaySequence sequence(random);
    sequence.restart();
    sequence.setMode(mode);
    std::vector<int> out{0};
    for (int i = 0; i < ticks; ++i) {
        const std::optional<std::uint32_t> next = sequence.next(n);
        out.push_back(next ? static_cast<int>(*next) : -1);
    }
    return out;
}

} // namespace

TEST(PlaySequence, FollowsTheModeFromAFreshRun)
{
    EXPECT_EQ(shown("round", 3, 7), (std::vector<int>{0, 0, 2, 0, 2, 0, 1, 1}));
    EXPECT_EQ(shown("round", 2, 8), (std::vector<int>{0, 0, 1, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(shown("round", 1, 3), (std::vector<int>{0, 0, 0, 0})) << "one movie reloads at every tick";
    EXPECT_EQ(shown("oneb", 3, 4), (std::vector<int>{0, 1, 2, 0, 1}));
    EXPECT_EQ(shown("play", 3, 2), (std::vector<int>{0, -1, -1}));
    EXPECT_EQ(shown("Round", 3, 2), (std::vector<int>{0, -1, -1})) << "letter case counts";
}

TEST(PlaySequence, TheIntervalIsMinutesTimesSixtyThousandAndZeroNeverFires)
{
    EXPECT_EQ(changeIntervalMs(5), 300000u);
    EXPECT_EQ(changeIntervalMs(1), 60000u);
    EXPECT_EQ(changeIntervalMs(0), std::nullopt);
    EXPECT_EQ(changeIntervalMs(-3), std::nullopt);
    EXPECT_EQ(changeIntervalMs(2147483647), 0x7FFFFFFFu);
}

TEST(InputFilter, ClosesOnTheListedInputAndOnMovesOfMoreThanFivePixels)
{
    const ScreenPoint start{100, 200};
    EXPECT_FALSE(closesPlayer(0x0200, {105, 195}, start));
    EXPECT_TRUE(closesPlayer(0x0200, {106, 200}, start));
    EXPECT_TRUE(closesPlayer(0x0200, {100, 194}, start));
    EXPECT_TRUE(closesPlayer(0x0200, {-1900, 200}, start)) << "a monitor left of the first";
    for (std::uint32_t message :
         {0x0100u, 0x0101u, 0x0104u, 0x0105u, 0x0006u, 0x0086u, 0x001Cu, 0x0201u, 0x0204u, 0x0207u})
        EXPECT_TRUE(closesPlayer(message, {}, start)) << message;
    for (std::uint32_t message : {0x0202u, 0x020Au, 0x000Fu, 0x0113u})
        EXPECT_FALSE(closesPlayer(message, {}, start)) << message;
}

} // namespace lumo::player
