// TLumoMainFrm, the editor's main window. It owns the controls the settings store binds, the list
// folder, the playlist rows, the preview's change timer and the wave-output mute; it loads the
// settings at creation, the playlist at its first showing, and saves both when it closes.
#pragma once

#include "EditorServices.h"
#include "app/core/EditorControls.h"
#include "app/core/SettingsStore.h"

#include <QMainWindow>

#include <memory>
#include <string>
#include <vector>

class QFrame;
class QTimer;

namespace lumo::app {

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(EditorServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    EditorControls& controls() { return m_controls; }
    const std::string& programFolder() const { return m_programFolder; }
    const std::vector<PlaylistRow>& rows() const { return m_rows; }
    QTimer* changeTimer() const { return m_changeTimer; }
    int oneByOneIndex() const { return m_oneByOneIndex; }

    // Moves the stored values into the controls, then applies the loaded mute state.
    void loadSettings();
    void SetWaveMute(bool muted);
    // Saves the playlist and the settings, then restores full volume. Errors are reported.
    void FormCloseQuery();
    void AddEntry(const std::string& text, bool checked);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void timerChange();
    void LoadListFile();

    EditorServices m_services;
    EditorControls m_controls;
    std::string m_programFolder;
    std::vector<PlaylistRow> m_rows;
    QTimer* m_changeTimer = nullptr;
    QFrame* m_sfp = nullptr;
    int m_oneByOneIndex = 0;
    bool m_shownBefore = false;
    std::unique_ptr<platform::PresenceClaim> m_presence;
};

} // namespace lumo::app
