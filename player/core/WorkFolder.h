// Where the player's windows unpack the project: the temporary folder, a separator and the program's
// own file name (for example <temp>\MySaver.scr), and the files they read from there.
#pragma once

#include "ParamFile.h"

#include "formats/ZlibArchive.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/ProgramResources.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::player {

// The file name of the program's own path, extension included.
std::string programFileName(const platform::Environment& environment);
// Read afresh at each use, as the temporary folder is.
std::string workFolder(const platform::Environment& environment);
// A file of the work folder: folder, separator, name (name may start with "\" as parameter line 3
// does, and is then appended as it stands).
std::string inWorkFolder(const std::string& folder, const std::string& name);

// Unpacking: the resource "FILELIST" is written to files.lis in the work folder (created, one level,
// or reused) and extracted there, overwriting, with its stored folders; files.lis stays. The
// archive reader refuses members that would land outside the folder.
Status unpackProject(platform::FileSystem& files, platform::ProgramResources& resources, const std::string& folder,
                     formats::ZlibMultiple& lib);

// param.lis of the work folder, its lines in UTF-8; "Cannot open file" when it cannot be read.
Result<ParamLines> readParameterFile(platform::FileSystem& files, const std::string& folder,
                                     const std::function<void()>& onWrongMarker);
// playl.lis of the work folder, one entry a line, in UTF-8.
// playl.lis's bytes (Windows-1252 lines) as UTF-8 entries.
std::vector<std::string> parsePlayList(std::string_view bytes);
Result<std::vector<std::string>> readPlayList(platform::FileSystem& files, const std::string& folder);

} // namespace lumo::player
