// The playback settings of the main window as widgets: "Loop", "Mute sound", "Scale" and "Quality"
// in the group "Playback settings"; the play mode ("Play only first selected file", "Random",
// "One by one") and "Time to change (min.)" beside the playlist; their mirrors in the View menu.
// The values live in EditorControls; the widgets show them. Handlers follow the table of the main
// window: a check box's runs whenever its mark changes, a list box's only when the user picks.
#pragma once

#include "app/core/EditorControls.h"

#include <QObject>

#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QMenu;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace lumo::app {

class PlaybackControls : public QObject {
    Q_OBJECT
public:
    struct Actions {
        std::function<void()> applyViewSettings;
        std::function<void(bool muted)> setWaveMute;
        std::function<void()> timerChange;
    };

    // Builds the widgets into the two groups and the View menu (without its "Preview" item).
    PlaybackControls(EditorControls& controls, QWidget* playbackGroup, QWidget* playlistGroup, QMenu* view,
                     Actions actions);

    // The handlers EditorControls raises.
    void loopClick();
    void muteClick();
    // Shows the values EditorControls holds (after they are set from code).
    void refresh();
    // Start-up: "High" checked when the quality index is not 0, "Low" otherwise.
    void checkQualityItem();

    QAction* Loop1 = nullptr;
    QAction* Mute1 = nullptr;
    QAction* Low1 = nullptr;
    QAction* High1 = nullptr;

private:
    void quaChange();
    void closeUp();
    void Loop1Click();
    void Mute1Click();
    void Low1Click();
    void High1Click();

    EditorControls& m_controls;
    Actions m_actions;
    QCheckBox* m_loop = nullptr;
    QCheckBox* m_mute = nullptr;
    QComboBox* m_scale = nullptr;
    QComboBox* m_qua = nullptr;
    QRadioButton* m_play1 = nullptr;
    QRadioButton* m_rnd = nullptr;
    QRadioButton* m_one = nullptr;
    QSpinBox* m_timer = nullptr;
    bool m_refreshing = false;
};

} // namespace lumo::app
