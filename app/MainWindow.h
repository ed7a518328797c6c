// TLumoMainFrm, the editor's main window: the side bar, the menus, the preview, the playback
// settings and the playlist. It loads the settings at creation, the playlist at its first showing,
// and saves both when it closes. The playlist's commands live in PlaylistPanel, the adding of movies
// in MovieAdder; this class lays them out and binds the commands.
#pragma once

#include "EditorServices.h"
#include "HelpDocument.h"
#include "PlaylistPanel.h"
#include "app/core/EditorControls.h"
#include "app/core/SettingsStore.h"
#include "ScreenWindow.h"

#include <QDialog>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QFrame;
class QMenu;
class QTimer;

namespace lumo::app {

class AboutWindow;
class MovieAdder;
class SearchDialog;
class SideBar;
class UrlDialog;

class PlaybackControls;

class MainWindow : public QMainWindow, private PreviewSink, public ScreenHost {
    Q_OBJECT

public:
    explicit MainWindow(EditorServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    EditorControls& controls() { return m_controls; }
    const std::string& programFolder() const { return m_programFolder; }
    const std::vector<PlaylistRow>& rows() const { return m_playlist->rows(); }
    PlaylistPanel& playlist() { return *m_playlist; }
    MovieAdder& adder() { return *m_adder; }
    playback::MovieView& preview() { return *m_view; }
    QTimer* changeTimer() const { return m_changeTimer; }
    int oneByOneIndex() const { return m_oneByOneIndex; }

    // The windows it works with; the Creator is made anew after every run that ends with OK.
    struct Peers {
        AboutWindow* about = nullptr;
        UrlDialog* url = nullptr;
        SearchDialog* search = nullptr;
        ScreenWindow* screen = nullptr;
        std::function<std::unique_ptr<QDialog>()> makeCreator;
    };
    void setPeers(Peers peers);
    QDialog* creator() const { return m_creator.get(); }
    void createCreator();
    void dropCreator() { m_creator.reset(); }

    void loadSettings();
    void SetWaveMute(bool muted) override;
    void FormCloseQuery(bool& canClose);
    void AddEntry(const std::string& text, bool checked);

    void PlayInPreview(const std::string& text) override;
    void ClearPreview() override;
    void ApplyViewSettings();
    void ChangeTimerTick();
    void barItem4Click();
    void Preview1Click();
    PlaybackControls& playbackControls() { return *m_playback; }

    // What the full-screen player takes from this window.
    bool mainShowing() const override { return isVisible(); }
    std::optional<Row> selectedRow() const override;
    bool muteChecked() const override { return m_controls.mute(); }
    std::string listFolder() const override { return m_programFolder; }

    void CreateScreenSaverCommand();
    void Help2Click();
    // The help document, for this window and the Creator.
    void openHelp(QWidget* owner);
    void Checkforupdates1Click();
    void About1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void startPreview(bool fromSideBar);
    Status saveListFiles();
    void timerChange();
    void LoadListFile();

    EditorServices m_services;
    EditorControls m_controls;
    std::string m_programFolder;
    SideBar* m_sideBar = nullptr;
    QFrame* m_sfp = nullptr;
    std::unique_ptr<playback::MovieView> m_view; // SF
    PlaylistPanel* m_playlist = nullptr;
    MovieAdder* m_adder = nullptr;
    PlaybackControls* m_playback = nullptr;
    QMenu* m_viewMenu = nullptr;
    QTimer* m_changeTimer = nullptr;
    int m_oneByOneIndex = 0;
    bool m_shownBefore = false;
    Peers m_peers;
    std::unique_ptr<QDialog> m_creator;
    std::unique_ptr<platform::PresenceClaim> m_presence;
    HelpDocument m_help;
};

} // namespace lumo::app
