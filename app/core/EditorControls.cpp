#include "EditorControls.h"

#include <algorithm>
#include <limits>

namespace lumo::app {

void EditorControls::raise(const std::function<void()>& handler)
{
    if (handler)
        handler();
}

void EditorControls::setLoop(bool checked)
{
    if (checked == m_loop)
        return;
    m_loop = checked;
    raise(m_handlers.loopClick);
}

void EditorControls::setMute(bool checked)
{
    if (checked == m_mute)
        return;
    m_mute = checked;
    raise(m_handlers.muteClick);
}

int EditorControls::intervalMs(long long minutes)
{
    constexpr long long kMinute = 60000;
    if (minutes <= 0 || minutes > std::numeric_limits<int>::max() / kMinute)
        return 0;
    return static_cast<int>(minutes * kMinute);
}

void EditorControls::setScaleIndex(int index)
{
    m_scale = (index >= 0 && index < kScaleItems) ? index : -1;
}

void EditorControls::setQualityIndex(int index)
{
    m_quality = (index >= 0 && index < kQualityItems) ? index : -1;
}

void EditorControls::setRadio(bool& target, bool checked)
{
    if (!checked) {
        target = false;
        return;
    }
    m_play1 = m_rnd = m_one = false;
    target = true;
}

void EditorControls::setPlay1(bool checked)
{
    setRadio(m_play1, checked);
}

void EditorControls::setRnd(bool checked)
{
    setRadio(m_rnd, checked);
}

void EditorControls::setOne(bool checked)
{
    setRadio(m_one, checked);
}

void EditorControls::setTimer(int minutes)
{
    const int shown = std::clamp(minutes, kTimerMin, kTimerMax);
    if (shown == m_timer)
        return;
    m_timer = shown;
    raise(m_handlers.timerChange);
}

void EditorControls::typeTimer(int minutes)
{
    if (minutes == m_timer)
        return;
    m_timer = minutes;
    raise(m_handlers.timerChange);
}

void EditorControls::setLeft(int left)
{
    m_left = left;
    raise(m_handlers.moved);
}

void EditorControls::setTop(int top)
{
    m_top = top;
    raise(m_handlers.moved);
}

} // namespace lumo::app
