#include "WaveMute.h"

namespace lumo {

std::uint32_t waveLevel(bool muted)
{
    const std::uint32_t volume = muted ? 0 : 255;
    const std::uint32_t channel = ((volume * 50) / 100) * 512;
    return channel | (channel << 16);
}

void SetWaveMute(platform::WaveOut& output, bool muted)
{
    if (output.hasVolumeControl())
        output.setVolume(waveLevel(muted));
}

} // namespace lumo
