// TLumoScreenFrm, the full-screen player: borderless, on top, maximised. Its native window exists
// from its first showing to the end of the process, so its presence is claimed then, not at
// creation; a later start finds it from that moment on.
#pragma once

#include "platform/WindowPresence.h"

#include <QWidget>

#include <memory>

namespace lumo::playback {

class ScreenWindow : public QWidget {
    Q_OBJECT

public:
    explicit ScreenWindow(platform::WindowPresence& presence, QWidget* parent = nullptr);
    ~ScreenWindow() override;

    void showFullScreenPlayer();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    platform::WindowPresence& m_presence;
    std::unique_ptr<platform::PresenceClaim> m_claim;
};

} // namespace lumo::playback
