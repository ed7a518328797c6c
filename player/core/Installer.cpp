#include "Installer.h"

#include "WorkFolder.h"

#include "common/ListFile.h"
#include "common/Text.h"

namespace lumo::player {

std::optional<InstallTarget> installTarget(const ParamLines& lines, const std::string& systemFolder)
{
    Result<std::string> projectFile = lines.text(4);
    if (!projectFile)
        return std::nullopt;
    const std::string name = TextBefore('.', *projectFile);
    if (name.empty())
        return std::nullopt;
    return InstallTarget{name, systemFolder + "\\" + name + ".scr"};
}

std::string installerCaption(const std::string& screensaverName)
{
    return "Installer for " + screensaverName;
}

std::string confirmationText(const std::string& screensaverName, const std::string& systemFolder)
{
    // The words stand as the product has always shown them.
    return screensaverName + " successfull intalled to " + systemFolder
        + ". Do you want to set this screensaver as default and open config window?";
}

bool isElevatedCopyTarget(const std::string& path, const std::string& systemFolder)
{
    if (systemFolder.empty() || path.size() <= systemFolder.size() + 1
        || upperAscii(path.substr(0, systemFolder.size())) != upperAscii(systemFolder)
        || path[systemFolder.size()] != '\\')
        return false;
    const std::string name = path.substr(systemFolder.size() + 1);
    return name.size() > 4 && upperAscii(name.substr(name.size() - 4)) == ".SCR"
        && name.find_first_of("\\/:*?\"<>|") == std::string::npos && name.find("..") == std::string::npos
        && name.front() != '.';
}

std::string installScreenSaverParameters(const std::string& installedPath)
{
    const bool quoted = installedPath.find(' ') != std::string::npos;
    return "desk.cpl,InstallScreenSaver " + (quoted ? "\"" + installedPath + "\"" : installedPath);
}

void SetAsScreenSaver(platform::Shell& shell, const std::string& installedPath)
{
    shell.open("rundll32.exe", installScreenSaverParameters(installedPath), "");
}

namespace {

void confirm(InstallerContext& c, const InstallTarget& target, const std::string& folder)
{
    if (c.surface.askYesNo(confirmationText(target.screensaverName, folder)))
        SetAsScreenSaver(c.shell, target.installedPath);
    c.surface.endProgram();
}

// Copies into the system folder; when that fails (a standard user, or an administrator without
// elevation, may not write there), says why and offers what can work: the copy with an
// administrator's rights, or an install for this user alone. Nothing is confirmed that was not
// copied.
void copyAndConfirm(InstallerContext& c, const InstallTarget& target, bool withBar)
{
    Status copied = c.surface.copyProgramTo(target.installedPath);
    if (withBar)
        c.surface.setBar(100);
    if (copied) {
        confirm(c, target, c.systemFolder);
        return;
    }
    const std::string userFolder
        = c.userProgramsFolder.empty() ? std::string() : c.userProgramsFolder + "\\" + target.screensaverName;
    const std::string failed = target.screensaverName + " could not be installed to " + c.systemFolder + ": ";
    bool askForMine = true;
    if (c.surface.canElevate()) {
        const InstallerSurface::Answer answer = c.surface.askYesNoCancel(
            failed + copied.message() + "\n\nInstall it for all users of this computer? Windows asks for an "
            + "administrator's permission first."
            + (userFolder.empty() ? std::string() : "\nNo installs it for you only, in " + userFolder + "."));
        if (answer == InstallerSurface::Answer::Cancel
            || (answer == InstallerSurface::Answer::No && userFolder.empty())) {
            c.surface.endProgram();
            return;
        }
        if (answer == InstallerSurface::Answer::Yes) {
            copied = c.surface.copyProgramElevated(target.installedPath);
            if (copied) {
                confirm(c, target, c.systemFolder);
                return;
            }
        } else {
            askForMine = false; // "No" has chosen this user's folder already
        }
    }
    if (userFolder.empty()) {
        c.surface.showError(failed + copied.message());
        c.surface.endProgram();
        return;
    }
    if (askForMine
        && !c.surface.askYesNo(failed + copied.message() + "\n\nInstall it for you only, in " + userFolder + "?")) {
        c.surface.endProgram();
        return;
    }
    c.files.createFolder(c.userProgramsFolder);
    c.files.createFolder(userFolder);
    const InstallTarget mine{target.screensaverName, userFolder + "\\" + target.screensaverName + ".scr"};
    copied = c.surface.copyProgramTo(mine.installedPath);
    if (!copied) {
        c.surface.showError(target.screensaverName + " could not be installed to " + userFolder
                            + " either: " + copied.message());
        c.surface.endProgram();
        return;
    }
    confirm(c, mine, userFolder);
}

} // namespace

void Install(InstallerContext& c, const std::optional<InstallTarget>& target)
{
    c.surface.setBar(static_cast<int>(c.random.next(10)));
    if (!target) {
        c.surface.showError("The screensaver cannot be installed: its settings could not be read.");
        return;
    }
    const std::string licence = inWorkFolder(c.workFolder, "License.txt");
    if (c.files.exists(licence)) {
        Result<std::vector<std::string>> lines = readListFile(c.files, licence);
        if (!lines) {
            c.surface.showError(lines.message());
            return;
        }
        c.surface.setLicenceLines(*lines, target->screensaverName);
        switch (c.surface.runLicenceWindow()) {
        case 1:
            copyAndConfirm(c, *target, false);
            return;
        case 2:
            c.surface.endProgram();
            return;
        default:
            return;
        }
    }
    c.surface.setBar(c.surface.bar() + static_cast<int>(c.random.next(70)));
    copyAndConfirm(c, *target, true);
}

} // namespace lumo::player
