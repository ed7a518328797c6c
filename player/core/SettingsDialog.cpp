#include "SettingsDialog.h"

#include "WorkFolder.h"

#include "common/Text.h"

namespace lumo::player {

namespace {

std::string keyOf(const std::string& programFileName)
{
    return "Software\\" + programFileName;
}

} // namespace

Result<bool> readMuteSound(platform::Registry& registry, const std::string& programFileName)
{
    Result<std::optional<std::string>> value = registry.readString(keyOf(programFileName), "MuteSound");
    if (!value)
        return value.error();
    if (!*value)
        return false;
    return parseInteger(**value).value_or(0) != 0;
}

Status writeMuteSound(platform::Registry& registry, const std::string& programFileName, bool muted)
{
    return registry.writeString(keyOf(programFileName), "MuteSound", muted ? "1" : "0");
}

Status applyParameterLines(const ParamLines& lines, const std::string& workFolder, SettingsDialogSurface& dialog)
{
    Result<std::string> caption = lines.text(9);
    if (!caption)
        return caption.error();
    dialog.setCaption(*caption);
    Result<int> height = lines.integer(5);
    if (!height)
        return height.error();
    Result<int> width = lines.integer(6);
    if (!width)
        return width.error();
    dialog.setOuterSize(*width, *height);
    Result<bool> mute = lines.boolean(10);
    if (!mute)
        return mute.error();
    dialog.setMuteVisible(*mute);
    Result<bool> label = lines.boolean(12);
    if (!label)
        return label.error();
    dialog.setLabelVisible(*label);
    Result<std::string> text = lines.text(13);
    if (!text)
        return text.error();
    dialog.setLabel(TextBefore(';', *text));
    Result<std::string> logo = lines.text(3);
    if (!logo)
        return logo.error();
    dialog.showLogo(inWorkFolder(workFolder, *logo));
    return {};
}

} // namespace lumo::player
