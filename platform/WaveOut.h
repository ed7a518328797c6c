// The wave-output device whose level SetWaveMute sets. The level is one 32-bit word:
// left channel in the low 16 bits, right channel in the high 16 bits.
#pragma once

#include <cstdint>

namespace lumo::platform {

class WaveOut {
public:
    virtual ~WaveOut() = default;

    // false when no device supports volume control; setVolume then does nothing.
    virtual bool hasVolumeControl() const = 0;
    virtual void setVolume(std::uint32_t level) = 0;
};

} // namespace lumo::platform
