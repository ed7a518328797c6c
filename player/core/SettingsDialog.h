// The settings dialog's logic: the stored mute setting and the look the parameter lines give it.
#pragma once

#include "ParamFile.h"

#include "platform/Registry.h"

#include <string>

namespace lumo::player {

// "MuteSound" under HKCU\Software\<program file name>: missing means false; a text that is no
// integer counts as 0; any other integer means muted. A non-string value is an error.
Result<bool> readMuteSound(platform::Registry& registry, const std::string& programFileName);
Status writeMuteSound(platform::Registry& registry, const std::string& programFileName, bool muted);

class SettingsDialogSurface {
public:
    virtual ~SettingsDialogSurface() = default;
    virtual void setCaption(const std::string& caption) = 0;
    // The outer size, border and caption included.
    virtual void setOuterSize(int width, int height) = 0;
    virtual void setMuteVisible(bool visible) = 0;
    virtual void setLabelVisible(bool visible) = 0;
    virtual void setLabel(const std::string& text) = 0;
    // LoadMovie(0, location), then Play.
    virtual void showLogo(const std::string& location) = 0;
};

// Steps 5 to 9 of the show step in order; the first error stops them and is returned.
Status applyParameterLines(const ParamLines& lines, const std::string& workFolder, SettingsDialogSurface& dialog);

} // namespace lumo::player
