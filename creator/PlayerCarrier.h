// The storage container the editor carries: stored file 0 is "tmp.z", an archive whose one member
// "tmp.exe" is the player program. Generated when the editor is built and linked into it.
#pragma once

#include <string_view>

namespace lumo::creator {

std::string_view carriedStorage();

} // namespace lumo::creator
