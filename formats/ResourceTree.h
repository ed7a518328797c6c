// The resources of a PE image as a flat list, and their directory format:
//   three levels of IMAGE_RESOURCE_DIRECTORY (type, name, language), each entry naming either a
//   length-prefixed UTF-16 string (high bit of the name field) or an integer id, and pointing to a
//   subdirectory (high bit) or, at the third level, to an IMAGE_RESOURCE_DATA_ENTRY whose data is
//   addressed by its RVA.
// The reader is bounded: three levels at most, a directory met twice is an error, and every offset
// and size is checked against the section and the image. The writer orders entries as Windows
// expects (names first, compared without regard to case, then ids ascending; languages ascending),
// places all directories, then the data entries, the names and the data aligned to 8 bytes.
#pragma once

#include "ResourceData.h"

#include "platform/Result.h"

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace lumo::formats {

// A type or a name: an integer id or a UTF-16 string.
struct ResourceId {
    std::variant<std::uint16_t, std::u16string> value;

    static ResourceId id(std::uint16_t number) { return {number}; }
    static ResourceId name(const std::string& ascii);
    bool isName() const { return value.index() == 1; }
    // Windows' order: names (case-insensitive) before ids (ascending).
    static int compare(const ResourceId& a, const ResourceId& b);
    bool sameAs(const ResourceId& other) const { return compare(*this, other) == 0; }
    // "10", "FILELIST": for messages and listings.
    std::string text() const;
    // A number is an id, anything else a name.
    static ResourceId parse(const std::string& text);
};

struct ResourceEntry {
    ResourceId type;
    ResourceId name;
    std::uint16_t language = 0;
    ResourceData data;
    std::uint32_t codePage = 0;
    std::uint32_t dataSize = 0; // as the tree states it, also when the data was not read
};

// Reads the tree in `section` (its bytes, mapped at sectionRva) whose root is at rootRva.
// Without data, only the identities are read (every check is still made).
Result<std::vector<ResourceEntry>> readResourceTree(std::string_view section, std::uint32_t sectionRva,
                                                    std::uint32_t rootRva, bool withData = true);

// The size of the tree holding these entries, wherever it is mapped.
std::uint64_t resourceTreeSize(const std::vector<ResourceEntry>& entries);

// A tree to be mapped at a section RVA: its table (directories, data entries and names, padded to 8
// bytes) and the entries whose data follow the table in this order, each padded to 8 bytes.
struct ResourceTreeLayout {
    std::string table;
    std::vector<const ResourceEntry*> order; // point into the entries laid out
    std::uint64_t size = 0; // table and data
};
ResourceTreeLayout layoutResourceTree(const std::vector<ResourceEntry>& entries, std::uint32_t sectionRva);
// Hands the tree's bytes to sink in order: the data are never gathered in memory.
Status writeResourceTree(const ResourceTreeLayout& layout, const std::function<Status(std::string_view)>& sink);
// The whole tree in memory; empty if a data file cannot be read.
std::string buildResourceTree(const std::vector<ResourceEntry>& entries, std::uint32_t sectionRva);

} // namespace lumo::formats
