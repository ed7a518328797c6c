#include "CommandLine.h"

#include "common/Codepage.h"
#include "common/Text.h"
#include "formats/ArchiveReader.h"
#include "formats/ZlibArchive.h"
#include "platform/Host.h"

#include <iostream>

namespace lumo::tool {

namespace {

formats::ZlibMultiple archiveWithProgress(ProgressLine& line, std::string& current)
{
    formats::ZlibMultiple zip(platform::hostFileSystem());
    zip.OnCompressingFile = [&current](const std::string& f) { current = f; };
    zip.OnDecompressingFile = [&current](const std::string& f, bool&) { current = f; };
    zip.OnProgress = [&](std::int32_t position, std::int32_t total) { line.show(current, position, total); };
    return zip;
}

} // namespace

int archiveCommand(const Args& args)
{
    const std::string command = args.size() > 1 ? args[1] : "";
    if (command == "pack") {
        if (wantsHelp(args)) {
            std::cout << "usage: lumo-tool archive pack DIR OUT [--no-recurse] [--no-paths]\n"
                         "Packs every file below DIR into the archive OUT (replaced when it exists).\n"
                         "  --no-recurse  only DIR's own files\n  --no-paths    store no folder names\n";
            return 0;
        }
        const Parsed p = parse(args, 2, {"--no-recurse", "--no-paths"});
        if (p.positional.size() != 2 || !p.unknown.empty())
            return usage("lumo-tool archive pack DIR OUT [--no-recurse] [--no-paths]");
        if (!platform::hostFileSystem().isFolder(p.positional[0]))
            return fail("\"" + p.positional[0] + "\" is not a folder");
        ProgressLine line;
        std::string current;
        formats::ZlibMultiple zip = archiveWithProgress(line, current);
        zip.StorePaths = !has(p, "--no-paths");
        const Status packed = zip.CompressDirectory(p.positional[0], !has(p, "--no-recurse"), p.positional[1]);
        return packed ? 0 : fail(packed.message());
    }
    if (command == "unpack") {
        if (wantsHelp(args)) {
            std::cout << "usage: lumo-tool archive unpack ARCHIVE DIR [--no-overwrite] [--flat]\n"
                         "Unpacks ARCHIVE into DIR, creating folders as needed.\n"
                         "  --no-overwrite  leave files that exist alone\n"
                         "  --flat          put every member directly into DIR\n";
            return 0;
        }
        const Parsed p = parse(args, 2, {"--no-overwrite", "--flat"});
        if (p.positional.size() != 2 || !p.unknown.empty())
            return usage("lumo-tool archive unpack ARCHIVE DIR [--no-overwrite] [--flat]");
        ProgressLine line;
        std::string current;
        formats::ZlibMultiple zip = archiveWithProgress(line, current);
        const Status unpacked
            = zip.DecompressFile(p.positional[0], p.positional[1], !has(p, "--no-overwrite"), !has(p, "--flat"));
        return unpacked ? 0 : fail(unpacked.message());
    }
    if (command == "list") {
        if (wantsHelp(args)) {
            std::cout << "usage: lumo-tool archive list ARCHIVE\n"
                         "One line per member: folder, name, size, packed size (tab-separated).\n";
            return 0;
        }
        const Parsed p = parse(args, 2, {});
        if (p.positional.size() != 1 || !p.unknown.empty())
            return usage("lumo-tool archive list ARCHIVE");
        auto input = platform::hostFileSystem().openForReading(p.positional[0]);
        if (!input)
            return fail(input.message());
        auto members = formats::listArchive(**input, "\"" + p.positional[0] + "\"");
        if (!members)
            return fail(members.message());
        for (const formats::MemberHeader& m : *members)
            std::cout << escapedForDisplay(cp1252ToUtf8(m.folder)) << "\t" << escapedForDisplay(cp1252ToUtf8(m.name)) << "\t" << m.uncompressedSize << "\t"
                      << m.compressedSize << "\n";
        return 0;
    }
    return usage("lumo-tool archive pack|unpack|list ... (see lumo-tool archive COMMAND --help)");
}

} // namespace lumo::tool
