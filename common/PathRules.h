// File name and extension of a path. The file name is the text after the last separator; the
// extension is the text from the last dot to the end when no separator follows that dot.
// Windows syntax separates at backslash and colon only (so a web address "http://h/a.swf" keeps
// "//h/a.swf"); host syntax on POSIX separates at "/" too.
#pragma once

#include <string>
#include <string_view>

namespace lumo {

enum class PathSyntax { Windows, Host };

std::string fileNameOf(std::string_view path, PathSyntax syntax = PathSyntax::Windows);
// The extension with its dot, or empty.
std::string extensionOf(std::string_view path, PathSyntax syntax = PathSyntax::Windows);

// The video a screensaver carries for a Flash movie, for a Windows without the Flash control: the
// movie's path with ".avi" in place of ".swf" (any letter case); empty for anything but a .swf.
std::string videoPathOf(std::string_view moviePath);

// folder + the host separator + name; no separator is doubled.
std::string joinHostPath(std::string_view folder, std::string_view name);

} // namespace lumo
