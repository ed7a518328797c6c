// The help: "Help.chm" in the list folder, opened by whatever the desktop opens it with, as on
// Windows. Where nothing opens it (a fresh Linux desktop has no CHM reader), the same pages as HTML
// in the web browser, after asking. Both travel inside the program and are put in the list folder
// when missing. The main window's Help and the Creator's Help and F1 all come here.
#pragma once

#include "platform/FileSystem.h"
#include "platform/Shell.h"

#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace lumo::app {

class HelpDocument {
public:
    struct Services {
        platform::FileSystem& files;
        platform::Shell& shell;
        std::function<bool(QWidget* owner, const QString& question)> ask; // Yes / No
        std::function<void(QWidget* owner, const QString& text)> inform;
    };
    explicit HelpDocument(Services services)
        : m_services(std::move(services))
    {
    }

    void open(QWidget* owner, const std::string& listFolder);

private:
    // Copies the carried file under resource into the list folder unless it stands there already.
    void place(const QString& resource, const std::string& path);

    Services m_services;
};

} // namespace lumo::app
