// lumo-tool: the project's file formats from the command line, for users and scripts.
//   lumo-tool params show PARAM.LIS   the 13 settings lines of a screensaver's param.lis
#include "common/Codepage.h"
#include "platform/Host.h"
#include "player/core/ParamFile.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage
    = "usage: lumo-tool COMMAND ...\n"
      "\n"
      "commands:\n"
      "  params show PARAM.LIS   print the settings lines of a screensaver's param.lis, numbered\n"
      "  --version               print the version\n"
      "  --help                  print this text\n";

int fail(const std::string& message)
{
    std::cerr << "lumo-tool: " << message << "\n";
    return 1;
}

int paramsShow(const std::string& path)
{
    lumo::Result<std::string> bytes = lumo::platform::hostFileSystem().readFile(path);
    if (!bytes)
        return fail(bytes.message());
    bool wrongMarker = false;
    const lumo::player::ParamLines lines = lumo::player::readParamLines(*bytes, [&] { wrongMarker = true; });
    if (wrongMarker)
        std::cerr << "lumo-tool: " << path << ": the marker \"KX\" is missing; read on all the same\n";
    for (size_t i = 1; i <= lines.count(); ++i)
        std::cout << i << "\t" << lumo::cp1252ToUtf8(*lines.text(static_cast<int>(i))) << "\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return std::cerr << kUsage, 1;
    if (args[0] == "--help" || args[0] == "-h")
        return std::cout << kUsage, 0;
    if (args[0] == "--version")
        return std::cout << "lumo-tool (Lumo ScreenSaver) 1.0\n", 0;
    if (args[0] == "params") {
        if (args.size() == 2 && args[1] == "--help")
            return std::cout << "usage: lumo-tool params show PARAM.LIS\n", 0;
        if (args.size() != 3 || args[1] != "show")
            return fail("usage: lumo-tool params show PARAM.LIS");
        return paramsShow(args[2]);
    }
    return fail("unknown command \"" + args[0] + "\"; see lumo-tool --help");
}
