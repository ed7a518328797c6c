#include "ResourceTree.h"

#include "ByteReader.h"

#include "platform/Utf16.h"

#include <algorithm>
#include <map>
#include <set>

namespace lumo::formats {

namespace {

char16_t upper(char16_t c)
{
    // Windows compares resource names after upper-casing; Latin letters cover the names in use.
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<char16_t>(c - 0x20);
    return c;
}

class TreeReader {
public:
    TreeReader(std::string_view tree, std::uint32_t sectionRva, std::string_view section, bool withData)
        : m_tree(tree)
        , m_sectionRva(sectionRva)
        , m_section(section)
        , m_withData(withData)
    {
    }

    Status directory(std::uint32_t offset, int level, ResourceEntry path, std::vector<ResourceEntry>& out)
    {
        if (!m_visited.insert(offset).second)
            return Error{"the resource directory at " + std::to_string(offset) + " is listed twice"};
        if (offset > m_tree.size() || m_tree.size() - offset < 16)
            return Error{"a resource directory lies outside the resource section"};
        const size_t count = static_cast<size_t>(le16(m_tree, offset + 12)) + le16(m_tree, offset + 14);
        if ((m_tree.size() - offset - 16) / 8 < count)
            return Error{"a resource directory's entries run past the resource section"};
        for (size_t i = 0; i < count; ++i) {
            const size_t entry = offset + 16 + 8 * i;
            const std::uint32_t nameField = le32(m_tree, entry);
            const std::uint32_t dataField = le32(m_tree, entry + 4);
            Result<ResourceId> id = identity(nameField);
            if (!id)
                return id.error();
            ResourceEntry next = path;
            if (level == 0)
                next.type = *id;
            else if (level == 1)
                next.name = *id;
            else
                next.language = static_cast<std::uint16_t>(nameField & 0xFFFF);
            if (dataField & 0x80000000u) {
                if (level >= 2)
                    return Error{"the resource tree is deeper than three levels"};
                if (Status s = directory(dataField & 0x7FFFFFFFu, level + 1, next, out); !s)
                    return s;
            } else {
                if (level != 2)
                    return Error{"resource data stands above the language level"};
                if (Status s = data(dataField, next, out); !s)
                    return s;
            }
        }
        return {};
    }

private:
    Result<ResourceId> identity(std::uint32_t field) const
    {
        if (!(field & 0x80000000u))
            return ResourceId::id(static_cast<std::uint16_t>(field & 0xFFFF));
        const std::uint32_t at = field & 0x7FFFFFFFu;
        if (at > m_tree.size() || m_tree.size() - at < 2)
            return Error{"a resource name lies outside the resource section"};
        const size_t length = le16(m_tree, at);
        if ((m_tree.size() - at - 2) / 2 < length)
            return Error{"a resource name runs past the resource section"};
        std::u16string name;
        for (size_t i = 0; i < length; ++i)
            name += static_cast<char16_t>(le16(m_tree, at + 2 + 2 * i));
        return ResourceId{name};
    }

    Status data(std::uint32_t offset, ResourceEntry entry, std::vector<ResourceEntry>& out)
    {
        if (offset > m_tree.size() || m_tree.size() - offset < 16)
            return Error{"a resource data entry lies outside the resource section"};
        if (!m_visited.insert(offset | 0x80000000u).second)
            return Error{"the resource data entry at " + std::to_string(offset) + " is listed twice"};
        const std::uint32_t rva = le32(m_tree, offset);
        const std::uint32_t size = le32(m_tree, offset + 4);
        entry.codePage = le32(m_tree, offset + 8);
        entry.dataSize = size;
        if (rva < m_sectionRva || rva - m_sectionRva > m_section.size()
            || m_section.size() - (rva - m_sectionRva) < size)
            return Error{"the data of resource " + entry.type.text() + "/" + entry.name.text()
                         + " lies outside the resource section"};
        // Entries may share bytes; a tree that names the same bytes over and over is no resource tree.
        m_copied += size;
        if (m_copied > 4 * m_section.size() + (1u << 20))
            return Error{"the resources name the same bytes many times over"};
        if (m_withData)
            entry.data = std::string(m_section.substr(rva - m_sectionRva, size));
        out.push_back(std::move(entry));
        return {};
    }

    std::string_view m_tree;
    std::uint32_t m_sectionRva;
    std::string_view m_section;
    std::set<std::uint32_t> m_visited;
    bool m_withData;
    std::uint64_t m_copied = 0;
};

bool sameKey(const ResourceEntry& a, const ResourceEntry& b)
{
    return a.type.sameAs(b.type) && a.name.sameAs(b.name) && a.language == b.language;
}

} // namespace

ResourceId ResourceId::name(const std::string& ascii)
{
    return {platform::utf8ToUtf16(ascii)};
}

int ResourceId::compare(const ResourceId& a, const ResourceId& b)
{
    if (a.isName() != b.isName())
        return a.isName() ? -1 : 1;
    if (!a.isName()) {
        const auto x = std::get<0>(a.value);
        const auto y = std::get<0>(b.value);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const std::u16string& x = std::get<1>(a.value);
    const std::u16string& y = std::get<1>(b.value);
    for (size_t i = 0; i < std::min(x.size(), y.size()); ++i) {
        const char16_t p = upper(x[i]);
        const char16_t q = upper(y[i]);
        if (p != q)
            return p < q ? -1 : 1;
    }
    return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
}

std::string ResourceId::text() const
{
    if (isName())
        return platform::utf16ToUtf8(std::get<1>(value));
    return std::to_string(std::get<0>(value));
}

ResourceId ResourceId::parse(const std::string& text)
{
    if (!text.empty() && text.size() <= 5
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const unsigned long number = std::stoul(text);
        if (number <= 0xFFFF)
            return id(static_cast<std::uint16_t>(number));
    }
    return name(text);
}

Result<std::vector<ResourceEntry>> readResourceTree(std::string_view section, std::uint32_t sectionRva,
                                                    std::uint32_t rootRva, bool withData)
{
    if (rootRva < sectionRva || rootRva - sectionRva >= section.size())
        return Error{"the resource directory lies outside its section"};
    TreeReader reader(section.substr(rootRva - sectionRva), sectionRva, section, withData);
    std::vector<ResourceEntry> entries;
    if (Status s = reader.directory(0, 0, {}, entries); !s)
        return s.error();
    return entries;
}

// The entries in Windows' order, the first of equal identities kept.
std::vector<const ResourceEntry*> sortedUnique(const std::vector<ResourceEntry>& entries)
{
    std::vector<const ResourceEntry*> sorted;
    for (const ResourceEntry& e : entries)
        sorted.push_back(&e);
    std::stable_sort(sorted.begin(), sorted.end(), [](const ResourceEntry* a, const ResourceEntry* b) {
        if (int c = ResourceId::compare(a->type, b->type))
            return c < 0;
        if (int c = ResourceId::compare(a->name, b->name))
            return c < 0;
        return a->language < b->language;
    });
    sorted.erase(std::unique(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return sameKey(*a, *b); }),
                 sorted.end());
    return sorted;
}

std::uint64_t resourceTreeSize(const std::vector<ResourceEntry>& entries)
{
    // The size does not depend on where the tree is mapped; the table is small beside the data.
    return layoutResourceTree(entries, 0).size;
}

ResourceTreeLayout layoutResourceTree(const std::vector<ResourceEntry>& all, std::uint32_t sectionRva)
{
    ResourceTreeLayout layout;
    layout.order = sortedUnique(all);
    const std::vector<const ResourceEntry*>& entries = layout.order;

    // Sizes first: directories, then data entries, then names, then the data.
    struct Range {
        size_t first, last; // [first, last) in entries
    };
    std::vector<Range> types;
    std::vector<std::vector<Range>> names;
    for (size_t i = 0; i < entries.size();) {
        size_t j = i;
        while (j < entries.size() && entries[j]->type.sameAs(entries[i]->type))
            ++j;
        types.push_back({i, j});
        names.emplace_back();
        for (size_t k = i; k < j;) {
            size_t l = k;
            while (l < j && entries[l]->name.sameAs(entries[k]->name))
                ++l;
            names.back().push_back({k, l});
            k = l;
        }
        i = j;
    }
    size_t directories = 16 + 8 * types.size();
    for (size_t t = 0; t < types.size(); ++t) {
        directories += 16 + 8 * names[t].size();
        for (const Range& n : names[t])
            directories += 16 + 8 * (n.last - n.first);
    }
    const size_t dataEntries = directories;
    size_t strings = dataEntries + 16 * entries.size();
    std::map<std::u16string, size_t> stringAt;
    size_t cursor = strings;
    const auto noteString = [&](const ResourceId& id) {
        if (id.isName() && !stringAt.count(std::get<1>(id.value))) {
            stringAt[std::get<1>(id.value)] = cursor;
            cursor += 2 + 2 * std::get<1>(id.value).size();
        }
    };
    for (const ResourceEntry* e : entries) {
        noteString(e->type);
        noteString(e->name);
    }
    const size_t tableSize = (cursor + 7) & ~size_t(7);
    std::uint64_t dataAt = tableSize;
    std::vector<std::uint64_t> dataOffsets;
    for (const ResourceEntry* e : entries) {
        dataOffsets.push_back(dataAt);
        dataAt = (dataAt + e->data.size() + 7) & ~std::uint64_t(7);
    }
    layout.size = dataAt;

    std::string& target = layout.table;
    target.assign(tableSize, '\0');
    const auto nameField = [&](const ResourceId& id) -> std::uint32_t {
        if (id.isName())
            return 0x80000000u | static_cast<std::uint32_t>(stringAt.at(std::get<1>(id.value)));
        return std::get<0>(id.value);
    };
    const auto writeDirectory = [&](size_t at, size_t named, size_t total) {
        setLe16(target, at + 12, static_cast<std::uint16_t>(named));
        setLe16(target, at + 14, static_cast<std::uint16_t>(total - named));
    };
    // Directories breadth first: the root, the type directories, then the name directories.
    size_t next = 16 + 8 * types.size();
    std::vector<size_t> typeDirs;
    size_t namedTypes = 0;
    for (size_t t = 0; t < types.size(); ++t) {
        namedTypes += entries[types[t].first]->type.isName();
        setLe32(target, 16 + 8 * t, nameField(entries[types[t].first]->type));
        setLe32(target, 16 + 8 * t + 4, 0x80000000u | static_cast<std::uint32_t>(next));
        typeDirs.push_back(next);
        next += 16 + 8 * names[t].size();
    }
    writeDirectory(0, namedTypes, types.size());
    for (size_t t = 0; t < types.size(); ++t) {
        size_t namedNames = 0;
        for (size_t n = 0; n < names[t].size(); ++n) {
            const Range& r = names[t][n];
            namedNames += entries[r.first]->name.isName();
            setLe32(target, typeDirs[t] + 16 + 8 * n, nameField(entries[r.first]->name));
            setLe32(target, typeDirs[t] + 16 + 8 * n + 4, 0x80000000u | static_cast<std::uint32_t>(next));
            const size_t languageDir = next;
            next += 16 + 8 * (r.last - r.first);
            writeDirectory(languageDir, 0, r.last - r.first);
            for (size_t k = r.first; k < r.last; ++k) {
                const size_t slot = languageDir + 16 + 8 * (k - r.first);
                setLe32(target, slot, entries[k]->language);
                setLe32(target, slot + 4, static_cast<std::uint32_t>(dataEntries + 16 * k));
            }
        }
        writeDirectory(typeDirs[t], namedNames, names[t].size());
    }
    for (size_t k = 0; k < entries.size(); ++k) {
        const size_t at = dataEntries + 16 * k;
        setLe32(target, at, static_cast<std::uint32_t>(sectionRva + dataOffsets[k]));
        setLe32(target, at + 4, static_cast<std::uint32_t>(entries[k]->data.size()));
        setLe32(target, at + 8, entries[k]->codePage);
    }
    for (const auto& [name, at] : stringAt) {
        setLe16(target, at, static_cast<std::uint16_t>(name.size()));
        for (size_t i = 0; i < name.size(); ++i)
            setLe16(target, at + 2 + 2 * i, name[i]);
    }
    return layout;
}

Status writeResourceTree(const ResourceTreeLayout& layout, const std::function<Status(std::string_view)>& sink)
{
    static constexpr char zeros[8] = {};
    if (Status s = sink(layout.table); !s)
        return s;
    for (const ResourceEntry* e : layout.order) {
        if (Status s = e->data.forEachPiece(sink); !s)
            return s;
        if (const size_t pad = static_cast<size_t>(-e->data.size() & 7))
            if (Status s = sink(std::string_view(zeros, pad)); !s)
                return s;
    }
    return {};
}

std::string buildResourceTree(const std::vector<ResourceEntry>& entries, std::uint32_t sectionRva)
{
    std::string tree;
    const Status written = writeResourceTree(layoutResourceTree(entries, sectionRva), [&](std::string_view piece) {
        tree += piece;
        return Status{};
    });
    return written ? tree : std::string();
}

} // namespace lumo::formats
