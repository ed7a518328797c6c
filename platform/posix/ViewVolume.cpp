#include "ViewVolume.h"

namespace lumo::platform {

void ViewVolume::setVolume(std::uint32_t level)
{
    m_level = level;
    for (const Listener& listener : m_listeners)
        listener(level);
}

void ViewVolume::subscribe(Listener listener)
{
    listener(m_level);
    m_listeners.push_back(std::move(listener));
}

} // namespace lumo::platform
