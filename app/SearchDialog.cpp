#include "SearchDialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

namespace lumo::app {

SearchDialog::SearchDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName("Form9");
    setWindowTitle(QStringLiteral("Files search"));
    setFixedSize(300, 100);
    auto* label = new QLabel(QStringLiteral("Please wait searching files in progress"), this);
    label->move(12, 10);
    auto* bar = new QProgressBar(this);
    bar->setRange(0, 0); // runs without end
    bar->setTextVisible(false);
    bar->setGeometry(12, 34, 276, 16);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName("Button1");
    cancel->setGeometry(113, 64, 75, 25);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

void SearchDialog::showFor(QWidget* owner)
{
    if (isVisible())
        return;
    if (owner) {
        const QRect area = owner->frameGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
        // Over a modal window (the Creator) it must belong to that window, or it takes no input.
        winId();
        if (QWindow* above = owner->window()->windowHandle())
            windowHandle()->setTransientParent(above);
    }
    show();
}

void SearchDialog::closeEvent(QCloseEvent* event)
{
    emit cancelRequested();
    event->accept();
}

void SearchDialog::reject()
{
    close(); // Escape is a close request too
}

} // namespace lumo::app
