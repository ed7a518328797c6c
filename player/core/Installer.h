// The installer's Install step over what it needs of its window and of the system, so that the
// order of its steps and the progress values can be checked without a window.
#pragma once

#include "ParamFile.h"

#include "common/Random.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"

#include <optional>
#include <string>
#include <vector>

namespace lumo::player {

class InstallerSurface {
public:
    virtual ~InstallerSurface() = default;
    virtual void setBar(int position) = 0;
    virtual int bar() const = 0;
    // The licence's lines as the Creator wrote them (Windows-1252), in a window captioned for the
    // screensaver.
    virtual void setLicenceLines(const std::vector<std::string>& lines, const std::string& screensaverName) = 0;
    // The licence window, modal: 1 Accept, 2 Decline or its close box.
    virtual int runLicenceWindow() = 0;
    // Copies the program's own file onto path, replacing a file there; the system's reason when not.
    virtual Status copyProgramTo(const std::string& path) = 0;
    // True when this process runs without an administrator's rights and Windows can be asked for
    // them.
    virtual bool canElevate() const = 0;
    // The same copy made by the program re-started with an administrator's rights (one prompt of
    // Windows); the system's reason when the user refused or the copy failed.
    virtual Status copyProgramElevated(const std::string& path) = 0;
    // Yes / No with the information icon and the installer's caption as title.
    virtual bool askYesNo(const std::string& text) = 0;
    enum class Answer { Yes, No, Cancel };
    virtual Answer askYesNoCancel(const std::string& text) = 0;
    virtual void showError(const std::string& text) = 0;
    // Stops the event loop at once: no close step runs.
    virtual void endProgram() = 0;
};

struct InstallTarget {
    std::string screensaverName; // the project file name before its first "."
    std::string installedPath; // <system folder>\<name>.scr
};

// From parameter line 4; nullopt when the line is not at hand or names nothing.
std::optional<InstallTarget> installTarget(const ParamLines& lines, const std::string& systemFolder);
std::string installerCaption(const std::string& screensaverName);
std::string confirmationText(const std::string& screensaverName, const std::string& systemFolder);

struct InstallerContext {
    InstallerSurface& surface;
    platform::FileSystem& files;
    platform::Shell& shell;
    Random& random;
    std::string workFolder;
    std::string systemFolder;
    // Where programs installed for this user alone go (%LOCALAPPDATA%\Programs); empty when unknown.
    std::string userProgramsFolder;
};

// The argument of the re-started program that copies it, and the one target it accepts: the
// program's own file in the system folder under a screensaver's name, so an administrator's rights
// given for the install serve nothing else.
inline constexpr const char* kElevatedCopyArgument = "--lumo-copy-to";
bool isElevatedCopyTarget(const std::string& path, const std::string& systemFolder);

// Install (Button1Click). Without a target it reports that the screensaver cannot be installed.
void Install(InstallerContext& context, const std::optional<InstallTarget>& target);

// Makes the file the current screensaver through the display settings.
void SetAsScreenSaver(platform::Shell& shell, const std::string& installedPath);
// The rundll32 parameters that do it: the path quoted when it holds a space.
std::string installScreenSaverParameters(const std::string& installedPath);

} // namespace lumo::player
