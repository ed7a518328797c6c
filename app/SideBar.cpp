#include "SideBar.h"

#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumo::app {

SideBar::SideBar(QWidget* parent)
    : QFrame(parent)
{
    setObjectName("bar");
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setStyleSheet(QStringLiteral("#bar { background: #f3ecec; } #barGroup { background: #7a1018; color: white; "
                                 "font-weight: bold; padding: 6px; } QToolButton { text-align: left; border: none; "
                                 "padding: 6px 4px; } QToolButton:hover { background: #e6d6d6; }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* group = new QLabel(QStringLiteral("Manage "), this);
    group->setObjectName("barGroup");
    group->setToolTip(QStringLiteral("Manage panel"));
    layout->addWidget(group);
    struct Item {
        int number;
        const char* caption;
        const char* hint;
        QStyle::StandardPixmap icon;
    };
    // In display order.
    const Item items[] = {
        {1, "Open or add file", "Adding file to playlist", QStyle::SP_DialogOpenButton},
        {2, "Add folder", "Scan and add Flash files to playlist", QStyle::SP_DirOpenIcon},
        {5, "Add website", "Add Flash movie from internet resource", QStyle::SP_DriveNetIcon},
        {3, "Create ScreenSaver", "Launch Lumo ScreenSaver - Creator", QStyle::SP_DesktopIcon},
        {4, "Preview", "Launch fullscreen preview", QStyle::SP_MediaPlay},
    };
    for (const Item& i : items) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("barItem%1").arg(i.number));
        button->setText(QString::fromLatin1(i.caption));
        button->setToolTip(QString::fromLatin1(i.hint));
        button->setIcon(style()->standardIcon(i.icon));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setAutoRaise(true);
        layout->addWidget(button);
    }
    layout->addStretch();
}

QToolButton* SideBar::item(int number) const
{
    return findChild<QToolButton*>(QStringLiteral("barItem%1").arg(number));
}

void SideBar::bind(int number, std::function<void()> command)
{
    connect(item(number), &QToolButton::clicked, this, [command = std::move(command)] { command(); });
}

} // namespace lumo::app
