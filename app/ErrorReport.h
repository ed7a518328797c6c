// The application's error report: what the framework's error message box is for the windows.
// Tests put a sink in its place so that no modal box waits for a click.
#pragma once

#include <QString>

#include <functional>

namespace lumo::app {

void reportError(const QString& message);

using ErrorSink = std::function<void(const QString& message)>;
// An empty sink restores the message box.
void setErrorSink(ErrorSink sink);

} // namespace lumo::app
