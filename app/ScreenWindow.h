// TLumoScreenFrm, the full-screen player: frameless, on top, covering the screen it starts on. At
// every show it reads the settings (with its own defaults) and PlayList.list afresh, plays the first
// movie (or the main window's selected checked row) and changes movie on its timer in random or
// one-by-one order; the pointer is hidden meanwhile. The next key press, mouse button or move of
// more than 5 pixels (compared on the screen), taken from real input only, closes it: a key held
// when it starts (the shortcut that opened it) does not. Another window that takes the keyboard
// from it closes it, except in the moments right after it shows, when it takes the keyboard back.
// What it cannot do (settings it cannot read, no movie to play, a file it cannot show) it says in a
// short hint in the middle of the screen. Closing hands the preview back to the main window. Its
// native window counts as present from its first showing on.
// Played inside another program's window instead (a screensaver daemon's), it follows that
// window's size, watches no input, takes no keyboard and claims no presence: the daemon ends it.
#pragma once

#include "playback/MovieView.h"
#include "playback/core/ScreenSequence.h"

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/WindowPresence.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QTimer;

namespace lumo::app {

// What the player takes from the main window.
class ScreenHost {
public:
    virtual ~ScreenHost() = default;
    virtual bool mainShowing() const = 0;
    struct Row {
        std::string text;
        bool checked = false;
    };
    virtual std::optional<Row> selectedRow() const = 0;
    virtual bool muteChecked() const = 0;
    virtual void PlayInPreview(const std::string& text) = 0;
    virtual void SetWaveMute(bool muted) = 0;
    virtual std::string listFolder() const = 0;
};

class ScreenWindow : public QWidget {
    Q_OBJECT

public:
    struct Services {
        platform::WindowPresence& presence;
        platform::Registry& registry;
        platform::FileSystem& files;
        playback::MovieViewFactory views;
    };
    explicit ScreenWindow(Services services, QWidget* parent = nullptr);
    ~ScreenWindow() override;

    void setHost(ScreenHost* host) { m_host = host; }
    // How long after showing the player takes the keyboard back from another window rather than
    // closing: the window system activates and restacks windows in that moment.
    void setSettlingTime(int ms) { m_settlingMs = ms; }
    void showFullScreenPlayer();
    // windowSize: the host window's size now, nothing once it is gone.
    void playInside(WId window, std::function<std::optional<QSize>()> windowSize);
    playback::MovieView& view() { return *m_view; }
    QTimer* timer() const { return m_timer; }
    const std::vector<std::string>& playList() const { return m_playList; }
    // The hint on the screen now, empty when none shows.
    QString hint() const;

protected:
    void setVisible(bool visible) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormShow();
    void FormCloseQuery();
    void PlayMov(const std::string& location);
    void NextMov();
    void showHint(const QString& text);

    Services m_services;
    ScreenHost* m_host = nullptr;
    std::unique_ptr<playback::MovieView> m_view; // sf
    QTimer* m_timer = nullptr; // Timer1
    playback::ScreenSequence m_sequence;
    std::vector<std::string> m_playList;
    bool m_random = false;
    bool m_oneByOne = false;
    QPoint m_start;
    int m_settlingMs = 1500;
    QElapsedTimer m_shown; // since the last show: the window system's shuffle is over after a moment
    QLabel* m_hint = nullptr;
    QTimer* m_hintTimer = nullptr;
    bool m_filtering = false;
    bool m_embedded = false;
    std::function<std::optional<QSize>()> m_hostSize;
    QTimer* m_follow = nullptr; // follows the host window's size
    std::unique_ptr<platform::PresenceClaim> m_claim;
};

} // namespace lumo::app
