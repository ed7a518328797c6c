#include "ViewVolume.h"

namespace lumo::platform {

void ViewVolume::setVolume(std::uint32_t level)
{
    m_level = level;
    // A copy: a listener may unsubscribe while it is called.
    const std::map<int, Listener> listeners = m_listeners;
    for (const auto& [id, listener] : listeners)
        listener(level);
}

int ViewVolume::subscribe(Listener listener)
{
    listener(m_level);
    m_listeners.emplace(m_next, std::move(listener));
    return m_next++;
}

} // namespace lumo::platform
