#include "ToolCommands.h"

#include "CommandLine.h"

namespace lumo::tool {

int run(const std::vector<std::string>& args)
{
    if (args[0] == "archive")
        return archiveCommand(args);
    if (args[0] == "storage")
        return storageCommand(args);
    if (args[0] == "pe")
        return peCommand(args);
    if (args[0] == "params")
        return paramsCommand(args);
    if (args[0] == "create")
        return createCommand(args);
    return fail("unknown command \"" + args[0] + "\"; see lumo-tool --help");
}

} // namespace lumo::tool
