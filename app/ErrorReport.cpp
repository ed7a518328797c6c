#include "ErrorReport.h"

#include <QApplication>
#include <QMessageBox>

namespace lumo::app {

namespace {

ErrorSink& sink()
{
    static ErrorSink instance;
    return instance;
}

} // namespace

void reportError(const QString& message)
{
    if (sink()) {
        sink()(message);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), message);
}

void setErrorSink(ErrorSink s)
{
    sink() = std::move(s);
}

} // namespace lumo::app
