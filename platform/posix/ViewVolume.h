// The wave output of POSIX hosts: the level of this program's own movie views, as modern Windows
// applies a wave-output level to the application's own audio session. Views subscribe to it.
#pragma once

#include "../WaveOut.h"

#include <functional>
#include <map>

namespace lumo::platform {

class ViewVolume final : public WaveOut {
public:
    using Listener = std::function<void(std::uint32_t level)>;

    bool hasVolumeControl() const override { return true; }
    void setVolume(std::uint32_t level) override;

    std::uint32_t level() const { return m_level; }
    // Called at once with the current level, then at every change until unsubscribed.
    int subscribe(Listener listener);
    void unsubscribe(int id) { m_listeners.erase(id); }

private:
    std::uint32_t m_level = 0xFE00FE00;
    std::map<int, Listener> m_listeners;
    int m_next = 0;
};

} // namespace lumo::platform
