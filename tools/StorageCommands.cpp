#include "CommandLine.h"

#include "common/PathRules.h"
#include "common/Text.h"
#include "formats/FileStorage.h"
#include "platform/Host.h"

#include <iostream>
#include <memory>

namespace lumo::tool {

namespace {

formats::StorageServices storageServices()
{
    return {platform::hostFileSystem(), platform::hostEnvironment(), platform::hostRegistry()};
}

Result<std::unique_ptr<formats::FileStorage>> readStorage(const std::string& path)
{
    // Mapped: the stored files are decoded from it as they are written, never all read.
    Result<platform::MappedBytes> mapped = platform::hostFileSystem().mapFile(path);
    if (!mapped)
        return mapped.error();
    auto storage = std::make_unique<formats::FileStorage>(storageServices());
    if (Status read = storage->ReadData(std::move(*mapped), path); !read)
        return read.error();
    return storage;
}

} // namespace

int storageCommand(const Args& args)
{
    const std::string command = args.size() > 1 ? args[1] : "";
    if (command == "pack") {
        if (wantsHelp(args)) {
            std::cout << "usage: lumo-tool storage pack OUT FILE...\n"
                         "Stores the FILEs, under their file names, in the container OUT.\n";
            return 0;
        }
        const Parsed p = parse(args, 2, {});
        if (p.positional.size() < 2 || !p.unknown.empty())
            return usage("lumo-tool storage pack OUT FILE...");
        // The files are read as they are stored, block by block, into the container being written.
        formats::FileStorage storage(storageServices());
        for (size_t i = 1; i < p.positional.size(); ++i)
            if (Status added = storage.addFile(fileNameOf(p.positional[i], PathSyntax::Host), p.positional[i]); !added)
                return fail(added.message());
        Result<std::unique_ptr<platform::OutputFile>> out = platform::hostFileSystem().replaceFile(p.positional[0]);
        if (!out)
            return fail(out.message());
        if (Status written = storage.WriteData(**out); !written)
            return fail(written.message());
        const Status closed = (*out)->close();
        return closed ? 0 : fail(closed.message());
    }
    if (command == "list") {
        if (wantsHelp(args)) {
            std::cout << "usage: lumo-tool storage list CONTAINER\n"
                         "One line per stored file: index, name, size (tab-separated).\n";
            return 0;
        }
        const Parsed p = parse(args, 2, {});
        if (p.positional.size() != 1 || !p.unknown.empty())
            return usage("lumo-tool storage list CONTAINER");
        auto storage = readStorage(p.positional[0]);
        if (!storage)
            return fail(storage.message());
        for (int i = 0; i < (*storage)->Count(); ++i)
            std::cout << i << "\t" << escapedForDisplay((*storage)->file(i).name()) << "\t" << (*storage)->file(i).size() << "\n";
        return 0;
    }
    if (command == "extract") {
        if (wantsHelp(args)) {
            std::cout << "usage: lumo-tool storage extract CONTAINER INDEX PATH\n"
                         "Writes stored file INDEX (from 0) to PATH, creating its folders.\n";
            return 0;
        }
        const Parsed p = parse(args, 2, {});
        if (p.positional.size() != 3 || !p.unknown.empty())
            return usage("lumo-tool storage extract CONTAINER INDEX PATH");
        auto storage = readStorage(p.positional[0]);
        if (!storage)
            return fail(storage.message());
        const auto index = parseInteger(p.positional[1]);
        if (!index || *index < 0 || *index >= (*storage)->Count())
            return fail("\"" + p.positional[0] + "\" holds no stored file " + p.positional[1] + " (it holds "
                        + std::to_string((*storage)->Count()) + ")");
        const Status saved = (*storage)->file(*index).save(p.positional[2], true);
        return saved ? 0 : fail(saved.message());
    }
    return usage("lumo-tool storage pack|list|extract ... (see lumo-tool storage COMMAND --help)");
}

} // namespace lumo::tool
