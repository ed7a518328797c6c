// The application's hints as balloon tips: the header "Lumo ScreenSaver v1.0", the information
// icon, a close button and the hint's text, in place of Qt's plain tool tips, for every window.
#pragma once

#include <QObject>

namespace lumo::app {

class BalloonTips : public QObject {
    Q_OBJECT
public:
    // Installs itself on the application; one per process.
    static void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

} // namespace lumo::app
