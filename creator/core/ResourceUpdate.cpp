#include "ResourceUpdate.h"

#include "formats/ByteReader.h"
#include "formats/IconFile.h"

#include <algorithm>

namespace lumo::creator {

using formats::ResourceEntry;
using formats::ResourceId;

namespace {

constexpr std::uint16_t kIcon = 3;
constexpr std::uint16_t kGroupIcon = 14;
constexpr std::uint16_t kPlayerIconLanguage = 0x0419;

} // namespace

Result<ResourceUpdate> ResourceUpdate::begin(platform::FileSystem& files, const std::string& executable)
{
    Result<std::string> bytes = files.readFile(executable);
    if (!bytes)
        return bytes.error();
    Result<formats::PeImage> image = formats::PeImage::parse(std::move(*bytes), executable);
    if (!image)
        return image.error();
    Result<std::vector<ResourceEntry>> resources = image->resources();
    if (!resources)
        return resources.error();
    // The executable is edited where it lies: through a link, its target is replaced, not the link.
    return ResourceUpdate(files, files.finalPath(executable), std::move(*image), std::move(*resources));
}

void ResourceUpdate::update(const ResourceId& type, const ResourceId& name, std::uint16_t language,
                            std::optional<formats::ResourceData> data)
{
    const auto same
        = [&](const ResourceEntry& e) { return e.type.sameAs(type) && e.name.sameAs(name) && e.language == language; };
    const auto existing = std::find_if(m_resources.begin(), m_resources.end(), same);
    if (!data) {
        if (existing != m_resources.end())
            m_resources.erase(existing);
        return;
    }
    if (existing != m_resources.end()) {
        existing->data = std::move(*data);
        return;
    }
    m_resources.push_back({type, name, language, std::move(*data), 0});
}

Status ResourceUpdate::end(bool discard)
{
    if (discard)
        return {};
    // Streamed into a file that replaces the executable only once it is complete.
    Result<std::unique_ptr<platform::OutputFile>> out = m_files->replaceFile(m_path);
    if (!out)
        return out.error();
    if (Status written = m_image.writeWithResources(m_resources, **out); !written)
        return written;
    return (*out)->close();
}

Status AddFileResource(platform::FileSystem& files, const std::string& dataFile, const std::string& executable,
                       const ResourceId& type, const ResourceId& name)
{
    // Left in its file: a large archive is streamed into the executable, never held in memory.
    Result<formats::ResourceData> data = formats::ResourceData::inFile(files, dataFile);
    if (!data)
        return data.error();
    Result<ResourceUpdate> update = ResourceUpdate::begin(files, executable);
    if (!update)
        return update.error();
    update->update(type, name, 0, std::move(*data));
    return update->end(false);
}

Status ReplaceMainIcon(platform::FileSystem& files, const std::string& executable, const std::string& iconFile)
{
    Result<std::string> iconBytes = files.readFile(iconFile);
    if (!iconBytes)
        return iconBytes.error();
    Result<ResourceUpdate> update = ResourceUpdate::begin(files, executable);
    if (!update)
        return update.error();
    // From here on an error discards the update: the executable stays as it was.
    const ResourceId groupType = ResourceId::id(kGroupIcon);
    const ResourceId mainIcon = ResourceId::name("MAINICON");
    const auto& resources = update->resources();
    auto group = std::find_if(resources.begin(), resources.end(), [&](const ResourceEntry& e) {
        return e.type.sameAs(groupType) && e.name.sameAs(mainIcon) && e.language == kPlayerIconLanguage;
    });
    if (group == resources.end())
        group = std::find_if(resources.begin(), resources.end(), [&](const ResourceEntry& e) {
            return e.type.sameAs(groupType) && e.name.sameAs(mainIcon);
        });
    if (group == resources.end())
        return Error{"\"" + executable + "\" has no icon group MAINICON to replace"};
    const std::string old = group->data.bytes();
    if (old.size() < 6 || (old.size() - 6) / 14 < formats::le16(old, 4))
        return Error{"the icon group MAINICON of \"" + executable + "\" is damaged"};
    Result<std::vector<formats::IconImage>> images = formats::readIconFile(*iconBytes, iconFile);
    if (!images)
        return images.error();
    if (images->size() > 0xFFFF)
        return Error{"\"" + iconFile + "\" holds more images than a group can list"};

    // The delivered player keeps group and images in 0x0419; a group replaced before stands in
    // language 0, and its images go with it so that none is left behind.
    const std::uint16_t oldLanguage = group->language;
    update->update(groupType, mainIcon, oldLanguage, std::nullopt);
    for (size_t i = 0; i < formats::le16(old, 4); ++i)
        update->update(ResourceId::id(kIcon), ResourceId::id(formats::le16(old, 6 + 14 * i + 12)), oldLanguage,
                       std::nullopt);
    std::string directory = old.substr(0, 4);
    directory += static_cast<char>(images->size() & 0xFF);
    directory += static_cast<char>(images->size() >> 8);
    for (size_t i = 0; i < images->size(); ++i) {
        const auto id = static_cast<std::uint16_t>(i + 1);
        directory += (*images)[i].entry;
        directory += static_cast<char>(id & 0xFF);
        directory += static_cast<char>(id >> 8);
        update->update(ResourceId::id(kIcon), ResourceId::id(id), 0, (*images)[i].data);
    }
    update->update(groupType, mainIcon, 0, directory);
    return update->end(false);
}

} // namespace lumo::creator
