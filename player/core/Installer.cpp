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

void SetAsScreenSaver(platform::Shell& shell, const std::string& installedPath)
{
    shell.open("rundll32.exe", "desk.cpl,InstallScreenSaver " + installedPath, "");
}

namespace {

void confirm(InstallerContext& c, const InstallTarget& target)
{
    if (c.surface.askYesNo(confirmationText(target.screensaverName, c.systemFolder)))
        SetAsScreenSaver(c.shell, target.installedPath);
    c.surface.endProgram();
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
        c.surface.setLicenceLines(*lines);
        switch (c.surface.runLicenceWindow()) {
        case 1:
            c.surface.copyProgramTo(target->installedPath);
            confirm(c, *target);
            return;
        case 2:
            c.surface.endProgram();
            return;
        default:
            return;
        }
    }
    c.surface.setBar(c.surface.bar() + static_cast<int>(c.random.next(70)));
    c.surface.copyProgramTo(target->installedPath);
    c.surface.setBar(100);
    confirm(c, *target);
}

} // namespace lumo::player
