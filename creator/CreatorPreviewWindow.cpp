#include "CreatorPreviewWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace lumo::creator {

CreatorPreviewWindow::CreatorPreviewWindow(playback::MovieViewFactory views, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName("Form8");
    resize(469, 262);
    m_view = views(this);
    m_view->widget()->setEnabled(false); // its panel is disabled: the movie takes no input
    m_label = new QLabel(QStringLiteral("Your text here"), this);
    m_label->setObjectName("Label1");
    m_mute = new QCheckBox(QStringLiteral("Mute"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName("Button1");
    m_ok = ok;
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    layout();
}

CreatorPreviewWindow::~CreatorPreviewWindow()
{
    (void)m_view.release(); // a child widget: it goes with the window
}

void CreatorPreviewWindow::applyGeometry(const QRect& geometry)
{
    // The settings window's size is its outer size, frame included, as the player applies it.
    m_applying = true;
    const QSize frame = frameGeometry().size() - size();
    resize(geometry.size() - frame);
    move(geometry.topLeft());
    m_applying = false;
}

void CreatorPreviewWindow::layout()
{
    const int bottom = height() - 41;
    m_view->widget()->setGeometry(0, 0, width(), bottom);
    m_label->move(8, bottom + 16);
    m_label->adjustSize();
    m_mute->setGeometry(width() - 157, bottom + 16, 60, 17);
    m_ok->setGeometry(width() - 85, bottom + 8, 75, 25);
}

void CreatorPreviewWindow::report()
{
    if (!m_applying && isVisible() && userMovedOrResized)
        userMovedOrResized(frameGeometry());
}

void CreatorPreviewWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layout();
    report();
}

void CreatorPreviewWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    report();
}

void CreatorPreviewWindow::setVisible(bool visible)
{
    playback::prepareBeforeFirstShow(*this, *m_view, visible);
    QWidget::setVisible(visible);
}

} // namespace lumo::creator
