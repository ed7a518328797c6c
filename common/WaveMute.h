// SetWaveMute: volume 0 (muted) or 255 (not muted) on a 0..255 scale with the balance at the centre,
// so each channel gets ((volume * 50) div 100) * 512: 0 or 0xFE00 on both channels.
#pragma once

#include "platform/WaveOut.h"

#include <cstdint>

namespace lumo {

std::uint32_t waveLevel(bool muted);
void SetWaveMute(platform::WaveOut& output, bool muted);

} // namespace lumo
