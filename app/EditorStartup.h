// The editor's program body: the single-instance test, the mode, the seven windows created hidden in
// the mode's order, the leading window shown, and the event loop until the leading window closes.
#pragma once

#include "EditorServices.h"
#include "app/core/StartMode.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumo::app {

class MainWindow;

// The windows of one run, in creation order; the first leads.
class EditorWindows {
public:
    EditorWindows(EditorMode mode, EditorServices services);
    ~EditorWindows();

    QWidget* leading() const { return m_windows.empty() ? nullptr : m_windows.front().second.get(); }
    MainWindow* mainWindow() const { return m_main; }
    QWidget* window(EditorWindow which) const;
    // Shows the leading window the way its mode wants it.
    void showLeading();

private:
    EditorMode m_mode;
    std::vector<std::pair<EditorWindow, std::unique_ptr<QWidget>>> m_windows;
    MainWindow* m_main = nullptr;
};

// The whole program; returns the process's exit code.
int runEditor(int argc, char** argv);

} // namespace lumo::app
