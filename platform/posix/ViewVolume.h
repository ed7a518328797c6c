// The wave output of POSIX hosts: the level of this program's own movie views, as modern Windows
// applies a wave-output level to the application's own audio session. Views subscribe to it.
#pragma once

#include "../WaveOut.h"

#include <functional>
#include <vector>

namespace lumo::platform {

class ViewVolume final : public WaveOut {
public:
    using Listener = std::function<void(std::uint32_t level)>;

    bool hasVolumeControl() const override { return true; }
    void setVolume(std::uint32_t level) override;

    std::uint32_t level() const { return m_level; }
    // Called at once with the current level, then at every change.
    void subscribe(Listener listener);

private:
    std::uint32_t m_level = 0xFE00FE00;
    std::vector<Listener> m_listeners;
};

} // namespace lumo::platform
