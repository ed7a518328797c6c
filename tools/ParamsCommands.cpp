#include "CommandLine.h"

#include "common/Codepage.h"
#include "platform/Host.h"
#include "player/core/ParamFile.h"

#include <iostream>

namespace lumo::tool {

int paramsCommand(const Args& args)
{
    if (wantsHelp(args)) {
        std::cout << "usage: lumo-tool params show PARAM.LIS\nPrints the settings lines of a param.lis, numbered.\n";
        return 0;
    }
    if (args.size() != 3 || args[1] != "show")
        return usage("lumo-tool params show PARAM.LIS");
    Result<std::string> bytes = platform::hostFileSystem().readFile(args[2]);
    if (!bytes)
        return fail(bytes.message());
    bool wrongMarker = false;
    const player::ParamLines lines = player::readParamLines(*bytes, [&] { wrongMarker = true; });
    if (wrongMarker)
        std::cerr << "lumo-tool: " << args[2] << ": the marker \"KX\" is missing; read on all the same\n";
    for (size_t i = 1; i <= lines.count(); ++i)
        std::cout << i << "\t" << cp1252ToUtf8(*lines.text(static_cast<int>(i))) << "\n";
    return 0;
}

} // namespace lumo::tool
