#include "PeImage.h"

#include "ByteReader.h"

#include <algorithm>
#include <cstring>

namespace lumo::formats {

namespace {

constexpr int kResourceDirectory = 2;
constexpr int kCertificateDirectory = 4;
constexpr std::uint32_t kInitializedData = 0x00000040;
constexpr std::uint32_t kMemRead = 0x40000000;

std::uint64_t alignUp(std::uint64_t value, std::uint32_t alignment)
{
    return alignment ? (value + alignment - 1) / alignment * alignment : value;
}

// Whether [offset, offset + size) lies in a buffer of `total` bytes, without overflow.
bool within(std::uint64_t offset, std::uint64_t size, std::uint64_t total)
{
    return offset <= total && size <= total - offset;
}

} // namespace

Result<PeImage> PeImage::parse(std::string bytes, const std::string& sourceName)
{
    PeImage image;
    image.m_sourceName = sourceName;
    const auto fail = [&](const std::string& what) {
        return Error{"\"" + sourceName + "\" is not a usable Windows executable: " + what};
    };
    image.m_bytes = std::move(bytes);
    const std::string_view b = image.m_bytes;
    if (b.size() < 64 || b.substr(0, 2) != "MZ")
        return fail("it has no MZ header");
    const std::uint32_t peOffset = le32(b, 0x3C);
    if (!within(peOffset, 24, b.size()) || b.substr(peOffset, 4) != std::string_view("PE\0\0", 4))
        return fail("it has no PE signature");
    image.m_coffOffset = peOffset + 4;
    const std::uint16_t sectionCount = le16(b, image.m_coffOffset + 2);
    image.m_optionalSize = le16(b, image.m_coffOffset + 16);
    image.m_optionalOffset = image.m_coffOffset + 20;
    if (!within(image.m_optionalOffset, image.m_optionalSize, b.size()) || image.m_optionalSize < 96)
        return fail("its optional header is cut off");
    const std::uint16_t magic = le16(b, image.m_optionalOffset);
    if (magic != 0x10B && magic != 0x20B)
        return fail("its optional header has the unknown magic " + std::to_string(magic));
    image.m_pe32Plus = magic == 0x20B;
    const size_t countAt = image.m_optionalOffset + (image.m_pe32Plus ? 108 : 92);
    image.m_directoriesOffset = countAt + 4;
    if (countAt + 4 > image.m_optionalOffset + image.m_optionalSize)
        return fail("its optional header has no data directories");
    image.m_directoryCount = std::min<std::uint32_t>(le32(b, countAt), 16);
    if (image.m_directoriesOffset + 8ull * image.m_directoryCount > image.m_optionalOffset + image.m_optionalSize)
        return fail("its data directories run past the optional header");
    image.m_sectionAlignment = le32(b, image.m_optionalOffset + 32);
    image.m_fileAlignment = le32(b, image.m_optionalOffset + 36);
    image.m_sizeOfHeaders = le32(b, image.m_optionalOffset + 60);
    const auto powerOfTwo = [](std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; };
    if (!powerOfTwo(image.m_fileAlignment) || image.m_fileAlignment > 0x10000 || !powerOfTwo(image.m_sectionAlignment)
        || image.m_sectionAlignment < image.m_fileAlignment)
        return fail(
            "its section and file alignments are not powers of two with sections at least as coarse as the file");

    const size_t tableOffset = image.m_optionalOffset + image.m_optionalSize;
    if (!within(tableOffset, 40ull * sectionCount, b.size()))
        return fail("its section table runs past the end of the file");
    for (std::uint16_t i = 0; i < sectionCount; ++i) {
        const size_t at = tableOffset + 40ull * i;
        PeSection s;
        s.name = std::string(b.substr(at, 8).substr(0, b.substr(at, 8).find('\0')));
        s.virtualSize = le32(b, at + 8);
        s.virtualAddress = le32(b, at + 12);
        s.rawSize = le32(b, at + 16);
        s.rawOffset = le32(b, at + 20);
        s.characteristics = le32(b, at + 36);
        s.headerOffset = at;
        if (s.rawSize && !within(s.rawOffset, s.rawSize, b.size()))
            return fail("its section \"" + s.name + "\" runs past the end of the file");
        image.m_sections.push_back(s);
    }
    if (image.m_sizeOfHeaders > b.size())
        return fail("its headers are larger than the file");
    if (image.m_directoryCount > kCertificateDirectory) {
        image.m_certificateOffset = image.directoryRva(kCertificateDirectory); // a file offset here
        image.m_certificateSize = image.directorySize(kCertificateDirectory);
        if (image.m_certificateSize && !within(image.m_certificateOffset, image.m_certificateSize, b.size()))
            return fail("its certificate table lies outside the file");
    }
    return image;
}

std::uint32_t PeImage::directoryRva(int index) const
{
    if (static_cast<std::uint32_t>(index) >= m_directoryCount)
        return 0;
    return le32(m_bytes, m_directoriesOffset + 8 * static_cast<size_t>(index));
}

std::uint32_t PeImage::directorySize(int index) const
{
    if (static_cast<std::uint32_t>(index) >= m_directoryCount)
        return 0;
    return le32(m_bytes, m_directoriesOffset + 8 * static_cast<size_t>(index) + 4);
}

const PeSection* PeImage::sectionOf(std::uint32_t rva) const
{
    for (const PeSection& s : m_sections) {
        const std::uint64_t extent = std::max(s.virtualSize, s.rawSize);
        if (rva >= s.virtualAddress && rva - s.virtualAddress < extent)
            return &s;
    }
    return nullptr;
}

Result<size_t> PeImage::resourceCount() const
{
    Result<std::vector<ResourceEntry>> entries = readResources(false);
    if (!entries)
        return entries.error();
    return entries->size();
}

Result<std::vector<ResourceEntry>> PeImage::resources() const
{
    return readResources(true);
}

Result<std::vector<ResourceEntry>> PeImage::readResources(bool withData) const
{
    const std::uint32_t rva = directoryRva(kResourceDirectory);
    if (rva == 0)
        return std::vector<ResourceEntry>{};
    const PeSection* section = sectionOf(rva);
    if (!section)
        return Error{"\"" + m_sourceName + "\": its resource directory lies in no section"};
    // A section without file data (rawSize 0) may carry any offset; it holds no bytes.
    const std::string_view raw = section->rawSize
        ? std::string_view(m_bytes).substr(section->rawOffset, section->rawSize)
        : std::string_view();
    Result<std::vector<ResourceEntry>> entries = readResourceTree(raw, section->virtualAddress, rva, withData);
    if (!entries)
        return Error{"\"" + m_sourceName + "\": its resources are damaged: " + entries.message()};
    return entries;
}

std::uint32_t PeImage::checksum(std::string_view image, size_t checksumOffset)
{
    // The sum of the little-endian 16-bit words with end-around carry, the checksum field counted
    // as zero, plus the file's length. Words are summed four at a time in 64 bits and folded.
    std::uint64_t sum = 0;
    const size_t evenSize = image.size() & ~size_t(1);
    size_t i = 0;
    const auto fold = [](std::uint64_t v) {
        while (v >> 16)
            v = (v & 0xFFFF) + (v >> 16);
        return v;
    };
    for (; i + 8 <= evenSize; i += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, image.data() + i, 8);
        if (checksumOffset + 4 > i && checksumOffset < i + 8) {
            for (size_t k = 0; k < 8; ++k)
                if (i + k >= checksumOffset && i + k < checksumOffset + 4)
                    chunk &= ~(std::uint64_t(0xFF) << (8 * k));
        }
        sum += (chunk & 0xFFFF) + ((chunk >> 16) & 0xFFFF) + ((chunk >> 32) & 0xFFFF) + (chunk >> 48);
        if (sum >> 48)
            sum = fold(sum);
    }
    for (; i < image.size(); i += 2) {
        if (i >= checksumOffset && i < checksumOffset + 4)
            continue;
        std::uint32_t word = static_cast<unsigned char>(image[i]);
        if (i + 1 < image.size())
            word |= static_cast<std::uint32_t>(static_cast<unsigned char>(image[i + 1])) << 8;
        sum += word;
    }
    return static_cast<std::uint32_t>(fold(sum) + image.size());
}

Result<std::string> PeImage::withResources(const std::vector<ResourceEntry>& entries) const
{
    // Where the image's sections end, in the file and in memory; what follows is the overlay.
    std::uint64_t rawEnd = alignUp(m_sizeOfHeaders, m_fileAlignment);
    std::uint64_t virtualEnd = alignUp(m_sizeOfHeaders, m_sectionAlignment);
    for (const PeSection& s : m_sections) {
        if (s.rawSize)
            rawEnd = std::max<std::uint64_t>(rawEnd, std::uint64_t(s.rawOffset) + s.rawSize);
        virtualEnd = std::max<std::uint64_t>(
            virtualEnd, s.virtualAddress + alignUp(std::max(s.virtualSize, s.rawSize), m_sectionAlignment));
    }
    rawEnd = std::min<std::uint64_t>(rawEnd, m_bytes.size());
    std::string overlay = m_bytes.substr(rawEnd);
    if (m_certificateSize && m_certificateOffset >= rawEnd)
        overlay.erase(m_certificateOffset - rawEnd, m_certificateSize);

    const std::uint32_t rootRva = directoryRva(kResourceDirectory);
    const PeSection* old = rootRva ? sectionOf(rootRva) : nullptr;
    const bool rootAtStart = old && old->virtualAddress == rootRva;
    const bool oldIsLast = old && old->rawSize && std::uint64_t(old->rawOffset) + old->rawSize == rawEnd
        && old->virtualAddress + alignUp(std::max(old->virtualSize, old->rawSize), m_sectionAlignment) == virtualEnd;

    std::string out = m_bytes.substr(0, rawEnd);
    std::int64_t initializedDelta = 0;
    std::uint32_t treeRva = 0;
    std::uint32_t treeSize = 0;
    // The tree's size does not depend on where it is mapped.
    const size_t newSize = resourceTreeSize(entries);
    out.reserve(rawEnd + alignUp(newSize, m_fileAlignment) + m_fileAlignment + overlay.size());

    if (rootAtStart && oldIsLast) {
        // The last section may grow or shrink: nothing lies after it but the overlay.
        out.resize(old->rawOffset);
        appendResourceTree(out, entries, old->virtualAddress);
        if (out.size() - old->rawOffset != newSize)
            return Error{"the resource tree of \"" + m_sourceName + "\" came out at an unforeseen size"};
        const auto rawSize = static_cast<std::uint32_t>(alignUp(newSize, m_fileAlignment));
        out.resize(std::uint64_t(old->rawOffset) + rawSize, '\0');
        setLe32(out, old->headerOffset + 8, static_cast<std::uint32_t>(newSize));
        setLe32(out, old->headerOffset + 16, rawSize);
        initializedDelta = std::int64_t(rawSize) - old->rawSize;
        treeRva = old->virtualAddress;
        treeSize = static_cast<std::uint32_t>(newSize);
    } else if (rootAtStart && newSize <= old->rawSize
               && newSize <= alignUp(std::max(old->virtualSize, old->rawSize), m_sectionAlignment)) {
        // It fits where the old tree was: the section keeps its place and its size.
        const std::string tree = buildResourceTree(entries, old->virtualAddress);
        std::copy(tree.begin(), tree.end(), out.begin() + old->rawOffset);
        std::fill(out.begin() + old->rawOffset + static_cast<std::ptrdiff_t>(tree.size()),
                  out.begin() + old->rawOffset + old->rawSize, '\0');
        setLe32(out, old->headerOffset + 8,
                std::max<std::uint32_t>(old->virtualSize, static_cast<std::uint32_t>(tree.size())));
        treeRva = old->virtualAddress;
        treeSize = static_cast<std::uint32_t>(tree.size());
    } else {
        // A new section at the end of the image; the old one stays where other data may point.
        const size_t tableEnd = m_optionalOffset + m_optionalSize + 40 * (m_sections.size() + 1);
        std::uint64_t firstRaw = m_sizeOfHeaders;
        for (const PeSection& s : m_sections)
            if (s.rawSize)
                firstRaw = std::min<std::uint64_t>(firstRaw, s.rawOffset);
        if (tableEnd > firstRaw)
            return Error{"\"" + m_sourceName + "\" has no room in its headers for another section"};
        treeRva = static_cast<std::uint32_t>(virtualEnd);
        treeSize = static_cast<std::uint32_t>(newSize);
        const auto rawOffset = static_cast<std::uint32_t>(alignUp(out.size(), m_fileAlignment));
        const auto rawSize = static_cast<std::uint32_t>(alignUp(newSize, m_fileAlignment));
        out.resize(rawOffset, '\0');
        appendResourceTree(out, entries, treeRva);
        out.resize(std::uint64_t(rawOffset) + rawSize, '\0');
        const size_t header = m_optionalOffset + m_optionalSize + 40 * m_sections.size();
        std::fill(out.begin() + static_cast<std::ptrdiff_t>(header),
                  out.begin() + static_cast<std::ptrdiff_t>(header + 40), '\0');
        std::copy_n(".rsrc", 5, out.begin() + static_cast<std::ptrdiff_t>(header));
        setLe32(out, header + 8, treeSize);
        setLe32(out, header + 12, treeRva);
        setLe32(out, header + 16, rawSize);
        setLe32(out, header + 20, rawOffset);
        setLe32(out, header + 36, kInitializedData | kMemRead);
        setLe16(out, m_coffOffset + 2, static_cast<std::uint16_t>(m_sections.size() + 1));
        initializedDelta = rawSize;
    }

    // The COFF symbol table, when there is one, lives in the overlay and moves with it.
    const std::uint32_t symbols = le32(out, m_coffOffset + 8);
    if (symbols >= rawEnd)
        setLe32(out, m_coffOffset + 8, static_cast<std::uint32_t>(symbols - rawEnd + out.size()));
    out += overlay;

    setLe32(out, m_directoriesOffset + 8 * kResourceDirectory, entries.empty() ? 0 : treeRva);
    setLe32(out, m_directoriesOffset + 8 * kResourceDirectory + 4, entries.empty() ? 0 : treeSize);
    if (m_directoryCount > kCertificateDirectory) {
        setLe32(out, m_directoriesOffset + 8 * kCertificateDirectory, 0);
        setLe32(out, m_directoriesOffset + 8 * kCertificateDirectory + 4, 0);
    }
    // SizeOfImage from the section table as it now stands.
    std::uint64_t imageEnd = alignUp(m_sizeOfHeaders, m_sectionAlignment);
    const size_t sectionsNow = le16(out, m_coffOffset + 2);
    for (size_t i = 0; i < sectionsNow; ++i) {
        const size_t at = m_optionalOffset + m_optionalSize + 40 * i;
        const std::uint32_t extent = std::max(le32(out, at + 8), le32(out, at + 16));
        imageEnd = std::max<std::uint64_t>(imageEnd, le32(out, at + 12) + alignUp(extent, m_sectionAlignment));
    }
    setLe32(out, m_optionalOffset + 56, static_cast<std::uint32_t>(imageEnd));
    const std::uint32_t initialized = le32(out, m_optionalOffset + 8);
    setLe32(out, m_optionalOffset + 8, static_cast<std::uint32_t>(std::int64_t(initialized) + initializedDelta));
    setLe32(out, m_optionalOffset + 64, 0);
    setLe32(out, m_optionalOffset + 64, checksum(out, m_optionalOffset + 64));

    // Read back what was written: the layout must parse and hold as many resources as were asked for.
    Result<PeImage> again = parse(std::move(out), m_sourceName);
    if (!again)
        return Error{"writing the resources of \"" + m_sourceName + "\" went wrong: " + again.message()};
    Result<size_t> count = again->resourceCount();
    if (!count || *count > entries.size())
        return Error{"writing the resources of \"" + m_sourceName + "\" went wrong: they do not read back"};
    return std::move(again->m_bytes);
}

} // namespace lumo::formats
