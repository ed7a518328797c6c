// The editor's services for window tests: fakes for the platform (a real file system, used in
// temporary folders) and dialogs that answer without showing a window: no file or folder chosen,
// every question answered Yes, every notice dismissed. Tests replace the answers they need.
#pragma once

#include "app/EditorServices.h"
#include "platform/fake/FakeServices.h"
#include "platform/posix/PosixFileSystem.h"

#include <optional>

namespace lumo::test {

struct FakeEditorServices {
    platform::FakeRegistry registry;
    platform::PosixFileSystem files;
    platform::FakeWaveOut waveOut;
    platform::FakePresence presence;
    platform::FakeShell shell;
    platform::FakeEnvironment environment;

    app::EditorServices services()
    {
        app::EditorServices s{registry, files, waveOut, presence, shell, environment};
        s.dialogs.openMovieFile = [](QWidget*) { return std::optional<QString>(); };
        s.dialogs.chooseFolder = [](QWidget*) { return std::optional<QString>(); };
        s.dialogs.closeWithoutSaving = [](QWidget*, const QString&) { return true; };
        s.dialogs.chooseFile = [](QWidget*, const QString&, const QString&, bool) { return std::optional<QString>(); };
        s.dialogs.chooseWizardFolder = [](QWidget*, const QString&) { return std::optional<QString>(); };
        s.dialogs.ask = [](QWidget*, const QString&) { return true; };
        s.dialogs.inform = [](QWidget*, const QString&) {};
        return s;
    }
};

} // namespace lumo::test
