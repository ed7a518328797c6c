#include "SmallWindows.h"

namespace lumo::app {

AboutWindow::AboutWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName("Form5");
    setWindowTitle(QStringLiteral("About Lumo ScreenSaver v1.0"));
    setFixedSize(508, 281);
}

UrlDialog::UrlDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("Form7");
    setWindowTitle(QStringLiteral("File URL"));
}

SearchDialog::SearchDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName("Form9");
    setWindowTitle(QStringLiteral("Files search"));
}

} // namespace lumo::app
