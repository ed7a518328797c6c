#include "ToolCommands.h"

#include "common/Codepage.h"
#include "common/PathRules.h"
#include "common/Text.h"
#include "creator/core/ResourceUpdate.h"
#include "formats/ArchiveReader.h"
#include "formats/FileStorage.h"
#include "formats/PeImage.h"
#include "formats/ZlibArchive.h"
#include "platform/Host.h"
#include "player/core/ParamFile.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace lumo::tool {

namespace {

using Args = std::vector<std::string>;

int fail(const std::string& message)
{
    std::cerr << "lumo-tool: " << message << "\n";
    return 1;
}

int usage(const char* text)
{
    std::cerr << "usage: " << text << "\n";
    return 1;
}

bool wantsHelp(const Args& args)
{
    return std::find(args.begin(), args.end(), "--help") != args.end();
}

// The positional arguments and the flags of a command; unknown flags are an error.
struct Parsed {
    Args positional;
    std::vector<std::string> flags;
    std::string unknown;
};

Parsed parse(const Args& args, size_t from, const std::vector<std::string>& known)
{
    Parsed p;
    for (size_t i = from; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) == 0) {
            if (std::find(known.begin(), known.end(), args[i]) == known.end())
                p.unknown = args[i];
            p.flags.push_back(args[i]);
        } else {
            p.positional.push_back(args[i]);
        }
    }
    return p;
}

bool has(const Parsed& p, const char* flag)
{
    return std::find(p.flags.begin(), p.flags.end(), flag) != p.flags.end();
}

// A progress line that rewrites itself, only for a person watching a terminal.
class ProgressLine {
public:
    ProgressLine()
        : m_enabled(::isatty(STDERR_FILENO) != 0)
    {
    }
    ~ProgressLine()
    {
        if (m_enabled && m_shown)
            std::cerr << "\r\033[K" << std::flush;
    }
    void show(const std::string& file, std::int64_t position, std::int64_t total)
    {
        if (!m_enabled)
            return;
        m_shown = true;
        const int percent = total > 0 ? static_cast<int>(position * 100 / total) : 100;
        std::cerr << "\r\033[K" << fileNameOf(file, PathSyntax::Host) << " " << percent << "%" << std::flush;
    }

private:
    bool m_enabled;
    bool m_shown = false;
};

formats::ZlibMultiple archiveWithProgress(ProgressLine& line, std::string& current)
{
    formats::ZlibMultiple zip(platform::hostFileSystem());
    zip.OnCompressingFile = [&current](const std::string& f) { current = f; };
    zip.OnDecompressingFile = [&current](const std::string& f, bool&) { current = f; };
    zip.OnProgress = [&](std::int32_t position, std::int32_t total) { line.show(current, position, total); };
    return zip;
}

int archive(const Args& args)
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
            std::cout << cp1252ToUtf8(m.folder) << "\t" << cp1252ToUtf8(m.name) << "\t" << m.uncompressedSize << "\t"
                      << m.compressedSize << "\n";
        return 0;
    }
    return usage("lumo-tool archive pack|unpack|list ... (see lumo-tool archive COMMAND --help)");
}

formats::StorageServices storageServices()
{
    return {platform::hostFileSystem(), platform::hostEnvironment(), platform::hostRegistry()};
}

Result<std::unique_ptr<formats::FileStorage>> readStorage(const std::string& path)
{
    Result<std::string> bytes = platform::hostFileSystem().readFile(path);
    if (!bytes)
        return bytes.error();
    auto storage = std::make_unique<formats::FileStorage>(storageServices());
    if (Status read = storage->ReadData(*bytes, path); !read)
        return read.error();
    return storage;
}

int storage(const Args& args)
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
        formats::FileStorage storage(storageServices());
        for (size_t i = 1; i < p.positional.size(); ++i) {
            Result<std::string> bytes = platform::hostFileSystem().readFile(p.positional[i]);
            if (!bytes)
                return fail(bytes.message());
            storage.add(fileNameOf(p.positional[i], PathSyntax::Host), std::move(*bytes));
        }
        Result<std::string> data = storage.WriteData();
        if (!data)
            return fail(data.message());
        const Status written = platform::hostFileSystem().writeFileAtomically(p.positional[0], *data);
        return written ? 0 : fail(written.message());
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
            std::cout << i << "\t" << (*storage)->file(i).name() << "\t" << (*storage)->file(i).size() << "\n";
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
        if (!(*storage)->ExtractFile(*index, p.positional[2]))
            return fail("Cannot create file \"" + p.positional[2] + "\".");
        return 0;
    }
    return usage("lumo-tool storage pack|list|extract ... (see lumo-tool storage COMMAND --help)");
}

std::string optionValue(const Args& args, const std::string& option, const std::string& fallback)
{
    const auto it = std::find(args.begin(), args.end(), option);
    return it != args.end() && it + 1 != args.end() ? *(it + 1) : fallback;
}

// The positional arguments of a command whose options all take a value.
Args positionals(const Args& args, size_t from, std::string& unknown)
{
    Args out;
    for (size_t i = from; i < args.size(); ++i) {
        if (args[i] == "--type" || args[i] == "--name" || args[i] == "--lang") {
            ++i;
        } else if (args[i].rfind("--", 0) == 0) {
            unknown = args[i];
        } else {
            out.push_back(args[i]);
        }
    }
    return out;
}

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

int pe(const Args& args)
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
        Result<std::vector<formats::ResourceEntry>> resources = resourcesOf(p[0]);
        if (!resources)
            return fail(resources.message());
        for (const formats::ResourceEntry& r : *resources)
            std::cout << r.type.text() << "\t" << r.name.text() << "\t" << r.language << "\t" << r.data.size() << "\n";
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
        Result<std::string> data = platform::hostFileSystem().readFile(p[1]);
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
                const Status written = platform::hostFileSystem().writeFileAtomically(p[1], r.data);
                return written ? 0 : fail(written.message());
            }
        }
        return fail("\"" + p[0] + "\" has no resource " + type + "/" + name + " in language "
                    + std::to_string(*language));
    }
    return usage("lumo-tool pe list|add-resource|replace-icon|extract ... (see lumo-tool pe COMMAND --help)");
}

int params(const Args& args)
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

} // namespace

int run(const Args& args)
{
    if (args[0] == "archive")
        return archive(args);
    if (args[0] == "storage")
        return storage(args);
    if (args[0] == "params")
        return params(args);
    if (args[0] == "pe")
        return pe(args);
    return fail("unknown command \"" + args[0] + "\"; see lumo-tool --help");
}

} // namespace lumo::tool
