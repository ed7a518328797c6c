#include "CommandLine.h"

#include "common/Text.h"
#include "creator/core/ResourceUpdate.h"
#include "formats/PeImage.h"
#include "platform/Host.h"

#include <iostream>

namespace lumo::tool {

namespace {

Result<std::vector<formats::ResourceEntry>> resourcesOf(const std::string& path)
{
    Result<std::string> bytes = platform::hostFileSystem().readFile(path);
    if (!bytes)
        return bytes.error();
    Result<formats::PeImage> image = formats::PeImage::parse(std::move(*bytes), path);
    if (!image)
        return image.error();
    return image->resources();
}

} // namespace

int peCommand(const Args& args)
{
    const std::string command = args.size() > 1 ? args[1] : "";
    std::string unknown;
    const Args p = positionals(args, 2, unknown);
    const auto language = parseInteger(optionValue(args, "--lang", "0"));
    if (command == "list") {
        if (wantsHelp(args)) {
            std::cout << "usage: lumo-tool pe list EXE\nOne line per resource: type, name, language, size.\n";
            return 0;
        }
        if (p.size() != 1 || !unknown.empty())
            return usage("lumo-tool pe list EXE");
        // Mapped, and listed without the resources' bytes: only headers and the tree are read.
        Result<platform::MappedBytes> mapped = platform::hostFileSystem().mapFile(p[0]);
        if (!mapped)
            return fail(mapped.message());
        Result<formats::PeImage> image = formats::PeImage::parse(mapped->bytes, mapped->owner, p[0]);
        if (!image)
            return fail(image.message());
        Result<std::vector<formats::ResourceEntry>> resources = image->resourceList();
        if (!resources)
            return fail(resources.message());
        for (const formats::ResourceEntry& r : *resources)
            std::cout << escapedForDisplay(r.type.text()) << "\t" << escapedForDisplay(r.name.text()) << "\t"
                      << r.language << "\t" << r.dataSize << "\n";
        return 0;
    }
    if (command == "add-resource") {
        if (wantsHelp(args)) {
            std::cout << "usage: lumo-tool pe add-resource EXE DATAFILE [--type 10] [--name FILELIST] [--lang 0]\n"
                         "Adds DATAFILE to EXE as a resource, replacing one of the same type, name and language.\n";
            return 0;
        }
        if (p.size() != 2 || !unknown.empty() || !language || *language < 0 || *language > 0xFFFF)
            return usage("lumo-tool pe add-resource EXE DATAFILE [--type 10] [--name FILELIST] [--lang 0]");
        Result<formats::ResourceData> data = formats::ResourceData::inFile(platform::hostFileSystem(), p[1]);
        if (!data)
            return fail(data.message());
        Result<creator::ResourceUpdate> update = creator::ResourceUpdate::begin(platform::hostFileSystem(), p[0]);
        if (!update)
            return fail(update.message());
        update->update(formats::ResourceId::parse(optionValue(args, "--type", "10")),
                       formats::ResourceId::parse(optionValue(args, "--name", "FILELIST")),
                       static_cast<std::uint16_t>(*language), std::move(*data));
        const bool signature = update->dropsCertificate();
        if (Status s = update->end(false); !s)
            return fail(s.message());
        if (signature)
            std::cerr << "lumo-tool: \"" << p[0]
                      << "\" was signed; its signature cannot survive the edit and was removed\n";
        return 0;
    }
    if (command == "replace-icon") {
        if (wantsHelp(args)) {
            std::cout << "usage: lumo-tool pe replace-icon EXE ICOFILE\n"
                         "Replaces the icon group MAINICON of EXE by the images of ICOFILE.\n";
            return 0;
        }
        if (p.size() != 2 || !unknown.empty())
            return usage("lumo-tool pe replace-icon EXE ICOFILE");
        const Status replaced = creator::ReplaceMainIcon(platform::hostFileSystem(), p[0], p[1]);
        return replaced ? 0 : fail(replaced.message());
    }
    if (command == "extract") {
        if (wantsHelp(args)) {
            std::cout << "usage: lumo-tool pe extract EXE --type T --name N [--lang L] OUT\n"
                         "Writes the bytes of one resource to OUT.\n";
            return 0;
        }
        const std::string type = optionValue(args, "--type", "");
        const std::string name = optionValue(args, "--name", "");
        if (p.size() != 2 || !unknown.empty() || type.empty() || name.empty() || !language)
            return usage("lumo-tool pe extract EXE --type T --name N [--lang L] OUT");
        Result<std::vector<formats::ResourceEntry>> resources = resourcesOf(p[0]);
        if (!resources)
            return fail(resources.message());
        const formats::ResourceId t = formats::ResourceId::parse(type);
        const formats::ResourceId n = formats::ResourceId::parse(name);
        for (const formats::ResourceEntry& r : *resources) {
            if (r.type.sameAs(t) && r.name.sameAs(n) && r.language == *language) {
                const Status written = platform::hostFileSystem().writeFileAtomically(p[1], r.data.bytes());
                return written ? 0 : fail(written.message());
            }
        }
        return fail("\"" + p[0] + "\" has no resource " + type + "/" + name + " in language "
                    + std::to_string(*language));
    }
    return usage("lumo-tool pe list|add-resource|replace-icon|extract ... (see lumo-tool pe COMMAND --help)");
}

} // namespace lumo::tool
