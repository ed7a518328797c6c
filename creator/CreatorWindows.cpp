#include "CreatorWindows.h"

namespace lumo::creator {

CreatorWindow::CreatorWindow(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("Form4");
    setWindowTitle(QStringLiteral("Lumo ScreenSaver - Creator"));
    setModal(true);
}

CreatorPreviewWindow::CreatorPreviewWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName("Form8");
    resize(469, 262);
}

} // namespace lumo::creator
