#include "StartMode.h"

#include "common/Text.h"

namespace lumo::app {

EditorMode decideEditorMode(const std::optional<std::string>& firstArgument)
{
    const std::string argument = upperAscii(firstArgument.value_or(""));
    if (argument == "/S")
        return EditorMode::Screensaver;
    if (argument == "/P")
        return EditorMode::EndAtOnce;
    return EditorMode::Editor;
}

bool isSettingsRequest(const std::string& argument)
{
    const std::string upper = upperAscii(argument);
    return upper == "/C" || upper.rfind("/C:", 0) == 0;
}

bool startBlocked(platform::WindowPresence& presence)
{
    return presence.isPresent(kScreenWindowClass) && presence.isPresent(kMainWindowClass);
}

std::vector<EditorWindow> windowOrder(EditorMode mode)
{
    using enum EditorWindow;
    switch (mode) {
    case EditorMode::Screensaver:
        return {ScreenPlayer, MainWindow, Creator, About, UrlDialog, CreatorPreview, SearchDialog};
    case EditorMode::Editor:
        return {MainWindow, ScreenPlayer, Creator, About, UrlDialog, CreatorPreview, SearchDialog};
    case EditorMode::EndAtOnce:
        break;
    }
    return {};
}

} // namespace lumo::app
