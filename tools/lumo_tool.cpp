// lumo-tool: the project's file formats from the command line, used as zip and unzip are.
#include "CommandLine.h"
#include "ToolCommands.h"

#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage
    = "usage: lumo-tool COMMAND ...\n"
      "\n"
      "  archive pack DIR OUT [--no-recurse] [--no-paths]     pack a folder's files into an archive\n"
      "  archive unpack ARCHIVE DIR [--no-overwrite] [--flat] unpack an archive into a folder\n"
      "  archive list ARCHIVE                                 list an archive's members\n"
      "  storage pack OUT FILE...                             store files in a storage container\n"
      "  storage list CONTAINER                               list a container's stored files\n"
      "  storage extract CONTAINER INDEX PATH                 write one stored file (from 0) to PATH\n"
      "  pe list EXE                                          list an executable's resources\n"
      "  pe add-resource EXE DATAFILE [--type 10] [--name FILELIST] [--lang 0]\n"
      "  pe replace-icon EXE ICOFILE                          replace the icon group MAINICON\n"
      "  pe extract EXE --type T --name N [--lang L] OUT      write one resource's bytes\n"
      "  params show PARAM.LIS                                the settings lines of a screensaver\n"
      "  create -o OUT.exe [options] MOVIE...                 build a screensaver (see create --help)\n"
      "\n"
      "Each command takes --help. Exit status 0 on success, 1 on failure (one line on stderr).\n";

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << kUsage;
        return 1;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        std::cout << kUsage;
        return 0;
    }
    if (args[0] == "--version") {
        std::cout << "lumo-tool (Lumo ScreenSaver) 1.0\n";
        return 0;
    }
    // Whatever goes wrong ends as every failure does: one line and exit status 1.
    try {
        return lumo::tool::run(args);
    } catch (const std::bad_alloc&) {
        return lumo::tool::fail("out of memory");
    } catch (const std::exception& e) {
        return lumo::tool::fail(std::string("unexpected error: ") + e.what());
    }
}
