// A Windows PE image (PE32 or PE32+) as far as resource editing needs it: headers, sections, the
// resource and certificate data directories, and the overlay after the last section.
// Parsing is bounded: every header, table and section range is checked against the file with
// overflow-safe arithmetic, and a malformed image is reported, never read past.
// Replacing the resources never moves a section other data may point into: the new tree goes where
// the old one was when it fits or when the resource section is the last one, and otherwise into a
// new section at the end of the image; the overlay follows the image as before; a certificate
// table (which no edit can keep valid) is removed; sizes and the checksum are recomputed.
#pragma once

#include "ResourceTree.h"

#include "platform/FileSystem.h"
#include "platform/Result.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumo::formats {

struct PeSection {
    std::string name;
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
    std::uint32_t characteristics = 0;
    size_t headerOffset = 0; // where its 40-byte header stands in the file
};

// The PE checksum, summed over the image in pieces (the checksum field counted as zero).
class PeChecksum {
public:
    void add(std::string_view bytes);
    std::uint32_t value() const;

private:
    static std::uint64_t fold(std::uint64_t v);
    std::uint64_t m_sum = 0;
    std::uint64_t m_length = 0;
    bool m_odd = false;
};

class PeImage {
public:
    // sourceName names the file in errors.
    static Result<PeImage> parse(std::string bytes, const std::string& sourceName);
    // An image in bytes that owner keeps (a mapped file): only the pages read are ever loaded.
    static Result<PeImage> parse(std::string_view bytes, std::shared_ptr<const void> owner,
                                 const std::string& sourceName);

    bool isPe32Plus() const { return m_pe32Plus; }
    const std::vector<PeSection>& sections() const { return m_sections; }
    bool hasCertificate() const { return m_certificateSize != 0; }
    std::string_view bytes() const { return m_bytes; }

    // Empty when the image has no resource directory.
    Result<std::vector<ResourceEntry>> resources() const;
    // The same without their bytes: each entry's data is empty, its size in dataSize.
    Result<std::vector<ResourceEntry>> resourceList() const;
    // How many resources the tree holds, checked as resources() checks them, without their data.
    Result<size_t> resourceCount() const;
    // The whole image with these resources in place of the old ones, written to out in one pass
    // (the data of resources kept in files streamed through).
    Status writeWithResources(const std::vector<ResourceEntry>& entries, platform::OutputFile& out) const;
    // The same in memory, read back to check that it parses and holds the resources.
    Result<std::string> withResources(const std::vector<ResourceEntry>& entries) const;

    static std::uint32_t checksum(std::string_view image, size_t checksumOffset);

private:
    Result<std::vector<ResourceEntry>> readResources(bool withData) const;
    std::uint32_t directoryRva(int index) const;
    std::uint32_t directorySize(int index) const;
    const PeSection* sectionOf(std::uint32_t rva) const;

    std::string_view m_bytes;
    std::shared_ptr<const void> m_owner; // what keeps m_bytes
    std::string m_sourceName;
    bool m_pe32Plus = false;
    size_t m_coffOffset = 0;
    size_t m_optionalOffset = 0;
    size_t m_optionalSize = 0;
    size_t m_directoriesOffset = 0;
    std::uint32_t m_directoryCount = 0;
    std::uint32_t m_sectionAlignment = 0;
    std::uint32_t m_fileAlignment = 0;
    std::uint32_t m_sizeOfHeaders = 0;
    std::uint32_t m_certificateOffset = 0;
    std::uint32_t m_certificateSize = 0;
    std::vector<PeSection> m_sections;
};

} // namespace lumo::formats
