// The dialogs the editor asks: the open-file dialog for one movie, the folder browser, and whether
// to close when the playlist could not be saved.
// Tests put answers in their place.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

namespace lumo::app {

struct EditorDialogs {
    // "Select Adobe Flash files", filter "Shockwave Flash (*.swf)"; the chosen full path.
    std::function<std::optional<QString>(QWidget* parent)> openMovieFile;
    // "Lumo ScreenSaver - select folder to add"; the chosen folder.
    std::function<std::optional<QString>(QWidget* parent)> chooseFolder;
    // The playlist and settings could not be saved (message says why): close all the same?
    std::function<bool(QWidget* parent, const QString& message)> closeWithoutSaving;

    static EditorDialogs system();
};

} // namespace lumo::app
