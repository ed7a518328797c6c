// The names files get in the staging folder, which become the names the player program unpacks on
// Windows: a name Windows refuses (any of \ / : * ? " < > |, a control character, a trailing dot or
// space, a device name such as CON or NUL, with or without an extension) is changed into one it
// takes, and a name already given to another file (compared as Windows does, without regard to
// case) is numbered: "name (2).swf". The same source asked twice gets the same name.
#pragma once

#include "common/WindowsNames.h"

#include <map>
#include <string>

namespace lumo::creator {

class StagingNames {
public:
    // A name no source may take (the build's own files).
    void reserve(const std::string& name);
    // The name for source, from the name it wants.
    std::string nameFor(const std::string& source, const std::string& wanted);

private:
    std::map<std::string, std::string> m_taken; // folded name -> source ("" for a reserved one)
};

} // namespace lumo::creator
