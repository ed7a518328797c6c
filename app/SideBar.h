// The side bar "bar": one group "Manage " (hint "Manage panel") with its five command items.
#pragma once

#include <QFrame>

#include <functional>

class QToolButton;

namespace lumo::app {

class SideBar : public QFrame {
    Q_OBJECT
public:
    explicit SideBar(QWidget* parent = nullptr);
    // barItem1 .. barItem5 by their number.
    QToolButton* item(int number) const;
    void bind(int number, std::function<void()> command);
};

} // namespace lumo::app
