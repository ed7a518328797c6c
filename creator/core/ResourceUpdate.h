// The resource-update transaction on an executable file: begin (the file's resources as they are),
// update (add, replace, or delete when there is no data), end (discard leaves the file as it was;
// otherwise every change is written at once, atomically, so a failure leaves the file untouched).
#pragma once

#include "formats/PeImage.h"

#include "platform/FileSystem.h"

#include <optional>
#include <string>

namespace lumo::creator {

class ResourceUpdate {
public:
    static Result<ResourceUpdate> begin(platform::FileSystem& files, const std::string& executable);

    // No data deletes the resource of that identity; nothing happens when there is none.
    void update(const formats::ResourceId& type, const formats::ResourceId& name, std::uint16_t language,
                std::optional<formats::ResourceData> data);
    const std::vector<formats::ResourceEntry>& resources() const { return m_resources; }
    // Whether writing drops a certificate table (no signature survives an edit).
    bool dropsCertificate() const { return m_image.hasCertificate(); }

    Status end(bool discard);

private:
    ResourceUpdate(platform::FileSystem& files, std::string path, formats::PeImage image,
                   std::vector<formats::ResourceEntry> resources)
        : m_files(&files)
        , m_path(std::move(path))
        , m_image(std::move(image))
        , m_resources(std::move(resources))
    {
    }

    platform::FileSystem* m_files;
    std::string m_path;
    formats::PeImage m_image;
    std::vector<formats::ResourceEntry> m_resources;
};

// The whole content of the data file as resource (type, name, language 0) of the executable.
Status AddFileResource(platform::FileSystem& files, const std::string& dataFile, const std::string& executable,
                       const formats::ResourceId& type, const formats::ResourceId& name);

// Replaces the group "MAINICON" and its images (language 0x0419) by the icon file's images, written
// in language 0 with ids 1..n; reserved and type of the group come from the old group.
Status ReplaceMainIcon(platform::FileSystem& files, const std::string& executable, const std::string& iconFile);

} // namespace lumo::creator
