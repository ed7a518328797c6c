// The main window's controls that the settings store binds, with the event semantics of their
// widgets: a check box's click handler runs whenever its mark changes, from code too; a radio
// button set to true clears the other two, set to false touches nothing else; an index outside a
// list box's items leaves it with no selection (-1); setting an index from code raises nothing;
// the interval box brings a number into 1..200 and runs its change handler when the number it shows
// changes. The Qt window mirrors this state; tests drive it without a window.
#pragma once

#include <functional>
#include <string>

namespace lumo::app {

class EditorControls {
public:
    struct Handlers {
        std::function<void()> loopClick;
        std::function<void()> muteClick;
        std::function<void()> timerChange;
        std::function<void()> moved;
    };

    static constexpr const char* kScaleNames[] = {"ShowAll", "NoBorder", "ExactFit", "NoScale"};
    static constexpr const char* kQualityNames[] = {"Low", "High"};
    static constexpr int kScaleItems = 4;
    static constexpr int kQualityItems = 2;
    // The text a list box shows for an index; empty when it has no selection.
    static std::string scaleText(int index) { return index >= 0 && index < kScaleItems ? kScaleNames[index] : ""; }
    static std::string qualityText(int index)
    {
        return index >= 0 && index < kQualityItems ? kQualityNames[index] : "";
    }
    static constexpr int kTimerMin = 1;
    static constexpr int kTimerMax = 200;

    void setHandlers(Handlers handlers) { m_handlers = std::move(handlers); }

    bool loop() const { return m_loop; }
    void setLoop(bool checked);
    bool mute() const { return m_mute; }
    void setMute(bool checked);

    int scaleIndex() const { return m_scale; }
    void setScaleIndex(int index);
    int qualityIndex() const { return m_quality; }
    void setQualityIndex(int index);

    bool play1() const { return m_play1; }
    bool rnd() const { return m_rnd; }
    bool one() const { return m_one; }
    void setPlay1(bool checked);
    void setRnd(bool checked);
    void setOne(bool checked);

    // A change timer's interval in milliseconds for minutes; 0 (never ticks) when the minutes are
    // not positive or the milliseconds would not fit the timer.
    static int intervalMs(long long minutes);
    int timer() const { return m_timer; }
    // Set from code (loading the settings): brought into range at once.
    void setTimer(int minutes);
    // Typed by the user: used as it stands, even out of range, until the box loses the focus.
    void typeTimer(int minutes);
    void leaveTimer() { setTimer(m_timer); }

    int left() const { return m_left; }
    int top() const { return m_top; }
    void setLeft(int left);
    void setTop(int top);
    // The window reports where the user moved it; raises nothing.
    void notePosition(int left, int top)
    {
        m_left = left;
        m_top = top;
    }

private:
    void setRadio(bool& target, bool checked);
    static void raise(const std::function<void()>& handler);

    Handlers m_handlers;
    // The window's design state.
    bool m_loop = false;
    bool m_mute = false;
    int m_scale = -1;
    int m_quality = -1;
    bool m_play1 = true;
    bool m_rnd = false;
    bool m_one = false;
    int m_timer = 5;
    int m_left = 0;
    int m_top = 0;
};

} // namespace lumo::app
