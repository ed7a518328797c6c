#include "common/WaveMute.h"

#include "platform/fake/FakeServices.h"

#include <gtest/gtest.h>

namespace lumo {

TEST(SetWaveMute, WritesZeroOrFullLevelOnBothChannels)
{
    platform::FakeWaveOut device;
    SetWaveMute(device, true);
    SetWaveMute(device, false);
    EXPECT_EQ(device.levels, (std::vector<std::uint32_t>{0, 0xFE00FE00}));
}

TEST(SetWaveMute, DoesNothingWithoutVolumeControl)
{
    platform::FakeWaveOut device(false);
    SetWaveMute(device, false);
    EXPECT_TRUE(device.levels.empty());
}

} // namespace lumo
