#include "ProjectParams.h"

namespace lumo::creator {

namespace {

std::string flag(bool on)
{
    return on ? "-1" : "0";
}

} // namespace

std::vector<std::string> paramLines(const ProjectSettings& s, const std::string& logoExtension,
                                    const std::string& projectFileName)
{
    const char* mode = s.mode == PlayMode::Round ? "round" : s.mode == PlayMode::OneByOne ? "oneb" : "play";
    return {mode,
            std::to_string(s.interval),
            "\\Logo\\Logos" + logoExtension,
            projectFileName,
            std::to_string(s.height),
            std::to_string(s.width),
            std::to_string(s.left),
            std::to_string(s.top),
            s.title,
            flag(s.showMute),
            flag(s.muteOn),
            flag(s.showText),
            s.text + ";"};
}

std::string ScrambleParams(std::string_view text)
{
    std::string out = "KX";
    out.reserve(text.size() + 2);
    for (size_t p = 1; p <= text.size(); ++p)
        out += static_cast<char>(static_cast<unsigned char>(text[p - 1]) ^ (p % 2 ? 0x5A : 0xC3));
    return out;
}

} // namespace lumo::creator
