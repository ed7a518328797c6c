#include "ScreenWindow.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

namespace lumo::playback {

namespace {
constexpr std::string_view kWindowClass = "TLumoScreenFrm";
}

ScreenWindow::ScreenWindow(platform::WindowPresence& presence, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_presence(presence)
{
    setObjectName("LumoScreenFrm");
    setWindowTitle(QStringLiteral("Lumo ScreenSaver"));
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
}

ScreenWindow::~ScreenWindow() = default;

void ScreenWindow::showFullScreenPlayer()
{
    showMaximized();
}

void ScreenWindow::showEvent(QShowEvent* event)
{
    if (!m_claim)
        m_claim = m_presence.claim(kWindowClass);
    QWidget::showEvent(event);
}

void ScreenWindow::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    close();
}

void ScreenWindow::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    close();
}

} // namespace lumo::playback
