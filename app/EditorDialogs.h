// The dialogs the editor and its Creator ask: file and folder choices, questions and notices.
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
    // The Creator's: a file to open or save (title, filter), a folder (title), Yes / No, a notice.
    std::function<std::optional<QString>(QWidget* parent, const QString& title, const QString& filter, bool save)>
        chooseFile;
    std::function<std::optional<QString>(QWidget* parent, const QString& title)> chooseWizardFolder;
    std::function<bool(QWidget* parent, const QString& question)> ask;
    std::function<void(QWidget* parent, const QString& text)> inform;

    static EditorDialogs system();
};

} // namespace lumo::app
