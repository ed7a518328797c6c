#include "PeImage.h"

#include "ByteReader.h"

#include "platform/MemoryFile.h"

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
    auto owned = std::make_shared<const std::string>(std::move(bytes));
    const std::string_view view = *owned;
    return parse(view, std::move(owned), sourceName);
}

Result<PeImage> PeImage::parse(std::string_view bytes, std::shared_ptr<const void> owner, const std::string& sourceName)
{
    PeImage image;
    image.m_sourceName = sourceName;
    const auto fail = [&](const std::string& what) {
        return Error{"\"" + sourceName + "\" is not a usable Windows executable: " + what};
    };
    image.m_bytes = bytes;
    image.m_owner = std::move(owner);
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

Result<std::vector<ResourceEntry>> PeImage::resourceList() const
{
    return readResources(false);
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

void PeChecksum::add(std::string_view bytes)
{
    // Little-endian 16-bit words with end-around carry; four words at a time in 64 bits, folded
    // before they can overflow. A piece may end in the middle of a word.
    m_length += bytes.size();
    if (m_odd && !bytes.empty()) {
        m_sum += std::uint64_t(static_cast<unsigned char>(bytes[0])) << 8;
        bytes.remove_prefix(1);
        m_odd = false;
    }
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, bytes.data() + i, 8);
        m_sum += (chunk & 0xFFFF) + ((chunk >> 16) & 0xFFFF) + ((chunk >> 32) & 0xFFFF) + (chunk >> 48);
        if (m_sum >> 48)
            m_sum = fold(m_sum);
    }
    for (; i + 2 <= bytes.size(); i += 2)
        m_sum += static_cast<unsigned char>(bytes[i]) | std::uint32_t(static_cast<unsigned char>(bytes[i + 1])) << 8;
    if (i < bytes.size()) {
        m_sum += static_cast<unsigned char>(bytes[i]);
        m_odd = true;
    }
}

std::uint32_t PeChecksum::value() const
{
    return static_cast<std::uint32_t>(fold(m_sum) + m_length);
}

std::uint64_t PeChecksum::fold(std::uint64_t v)
{
    while (v >> 16)
        v = (v & 0xFFFF) + (v >> 16);
    return v;
}

std::uint32_t PeImage::checksum(std::string_view image, size_t checksumOffset)
{
    PeChecksum sum;
    sum.add(image.substr(0, checksumOffset));
    if (checksumOffset < image.size()) {
        sum.add(std::string_view("\0\0\0\0", std::min<size_t>(4, image.size() - checksumOffset)));
        if (image.size() - checksumOffset > 4)
            sum.add(image.substr(checksumOffset + 4));
    }
    return sum.value();
}

Result<std::string> PeImage::withResources(const std::vector<ResourceEntry>& entries) const
{
    platform::MemoryOutputFile out;
    if (Status written = writeWithResources(entries, out); !written)
        return written.error();
    // Read back what was written: the layout must parse and hold as many resources as were asked for.
    Result<PeImage> again = parse(std::move(out.bytes()), m_sourceName);
    if (!again)
        return Error{"writing the resources of \"" + m_sourceName + "\" went wrong: " + again.message()};
    Result<size_t> count = again->resourceCount();
    if (!count || *count > entries.size())
        return Error{"writing the resources of \"" + m_sourceName + "\" went wrong: they do not read back"};
    return std::string(again->m_bytes);
}

Status PeImage::writeWithResources(const std::vector<ResourceEntry>& entries, platform::OutputFile& out) const
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
    // The overlay, without a certificate table in it.
    std::string_view overlay = std::string_view(m_bytes).substr(rawEnd);
    std::string_view overlayRest;
    if (m_certificateSize && m_certificateOffset >= rawEnd) {
        overlayRest = overlay.substr(m_certificateOffset - rawEnd + m_certificateSize);
        overlay = overlay.substr(0, m_certificateOffset - rawEnd);
    }

    const std::uint32_t rootRva = directoryRva(kResourceDirectory);
    const PeSection* old = rootRva ? sectionOf(rootRva) : nullptr;
    const bool rootAtStart = old && old->virtualAddress == rootRva;
    const bool oldIsLast = old && old->rawSize && std::uint64_t(old->rawOffset) + old->rawSize == rawEnd
        && old->virtualAddress + alignUp(std::max(old->virtualSize, old->rawSize), m_sectionAlignment) == virtualEnd;
    const std::uint64_t newSize = resourceTreeSize(entries);
    const size_t tableEnd = m_optionalOffset + m_optionalSize + 40 * m_sections.size();

    // The image is written as: head (headers patched), the tree, padding, between (what stood after
    // an old tree kept in place), the overlay.
    std::string head;
    std::uint64_t treeEndPadded = 0; // the tree with its padding
    std::string_view between;
    std::int64_t initializedDelta = 0;
    std::uint32_t treeRva = 0;
    const auto fail = [&](const std::string& what) { return Error{"\"" + m_sourceName + "\" " + what}; };

    if (rootAtStart && oldIsLast) {
        // The last section may grow or shrink: nothing lies after it but the overlay.
        const std::uint64_t rawSize = alignUp(newSize, m_fileAlignment);
        if (old->rawOffset + rawSize > 0xFFFFFFFFu || old->virtualAddress + newSize > 0xFFFFFFFFu)
            return fail("would grow past the 4 GiB a Windows executable can hold");
        head = std::string(m_bytes.substr(0, old->rawOffset));
        if (head.size() < tableEnd)
            return fail("has its resource section inside its headers");
        setLe32(head, old->headerOffset + 8, static_cast<std::uint32_t>(newSize));
        setLe32(head, old->headerOffset + 16, static_cast<std::uint32_t>(rawSize));
        initializedDelta = std::int64_t(rawSize) - old->rawSize;
        treeRva = old->virtualAddress;
        treeEndPadded = rawSize;
    } else if (rootAtStart && newSize <= old->rawSize
               && newSize <= alignUp(std::max(old->virtualSize, old->rawSize), m_sectionAlignment)) {
        // It fits where the old tree was: the section keeps its place and its size.
        head = std::string(m_bytes.substr(0, old->rawOffset));
        if (head.size() < tableEnd)
            return fail("has its resource section inside its headers");
        between = std::string_view(m_bytes).substr(old->rawOffset + std::uint64_t(old->rawSize),
                                                   rawEnd - old->rawOffset - old->rawSize);
        setLe32(head, old->headerOffset + 8,
                std::max<std::uint32_t>(old->virtualSize, static_cast<std::uint32_t>(newSize)));
        treeRva = old->virtualAddress;
        treeEndPadded = old->rawSize;
    } else {
        // A new section at the end of the image; the old one stays where other data may point.
        if (m_sections.size() >= 0xFFFF)
            return fail("has 65,535 sections, the most its header can count: there is no room for another");
        std::uint64_t firstRaw = m_sizeOfHeaders;
        for (const PeSection& s : m_sections)
            if (s.rawSize)
                firstRaw = std::min<std::uint64_t>(firstRaw, s.rawOffset);
        if (tableEnd + 40 > firstRaw)
            return fail("has no room in its headers for another section");
        const std::uint64_t rawOffset = alignUp(rawEnd, m_fileAlignment);
        const std::uint64_t rawSize = alignUp(newSize, m_fileAlignment);
        if (rawOffset + rawSize > 0xFFFFFFFFu || virtualEnd + alignUp(newSize, m_sectionAlignment) > 0xFFFFFFFFu)
            return fail("would grow past the 4 GiB a Windows executable can hold");
        treeRva = static_cast<std::uint32_t>(virtualEnd);
        head = std::string(m_bytes.substr(0, rawEnd));
        head.resize(rawOffset, '\0');
        std::fill(head.begin() + static_cast<std::ptrdiff_t>(tableEnd),
                  head.begin() + static_cast<std::ptrdiff_t>(tableEnd + 40), '\0');
        std::copy_n(".rsrc", 5, head.begin() + static_cast<std::ptrdiff_t>(tableEnd));
        setLe32(head, tableEnd + 8, static_cast<std::uint32_t>(newSize));
        setLe32(head, tableEnd + 12, treeRva);
        setLe32(head, tableEnd + 16, static_cast<std::uint32_t>(rawSize));
        setLe32(head, tableEnd + 20, static_cast<std::uint32_t>(rawOffset));
        setLe32(head, tableEnd + 36, kInitializedData | kMemRead);
        setLe16(head, m_coffOffset + 2, static_cast<std::uint16_t>(m_sections.size() + 1));
        initializedDelta = static_cast<std::int64_t>(rawSize);
        treeEndPadded = rawSize;
    }
    const std::uint64_t newRawEnd = head.size() + treeEndPadded + between.size();

    // The COFF symbol table, when there is one, lives in the overlay and moves with it.
    const std::uint32_t symbols = le32(head, m_coffOffset + 8);
    if (symbols >= rawEnd)
        setLe32(head, m_coffOffset + 8, static_cast<std::uint32_t>(symbols - rawEnd + newRawEnd));
    setLe32(head, m_directoriesOffset + 8 * kResourceDirectory, entries.empty() ? 0 : treeRva);
    setLe32(head, m_directoriesOffset + 8 * kResourceDirectory + 4,
            entries.empty() ? 0 : static_cast<std::uint32_t>(newSize));
    if (m_directoryCount > kCertificateDirectory) {
        setLe32(head, m_directoriesOffset + 8 * kCertificateDirectory, 0);
        setLe32(head, m_directoriesOffset + 8 * kCertificateDirectory + 4, 0);
    }
    // SizeOfImage from the section table as it now stands.
    std::uint64_t imageEnd = alignUp(m_sizeOfHeaders, m_sectionAlignment);
    const size_t sectionsNow = le16(head, m_coffOffset + 2);
    for (size_t i = 0; i < sectionsNow; ++i) {
        const size_t at = m_optionalOffset + m_optionalSize + 40 * i;
        const std::uint32_t extent = std::max(le32(head, at + 8), le32(head, at + 16));
        imageEnd = std::max<std::uint64_t>(imageEnd, le32(head, at + 12) + alignUp(extent, m_sectionAlignment));
    }
    setLe32(head, m_optionalOffset + 56, static_cast<std::uint32_t>(imageEnd));
    const std::uint32_t initialized = le32(head, m_optionalOffset + 8);
    setLe32(head, m_optionalOffset + 8, static_cast<std::uint32_t>(std::int64_t(initialized) + initializedDelta));
    const size_t checksumAt = m_optionalOffset + 64;
    setLe32(head, checksumAt, 0);

    // Written in one pass, the checksum summed on the way and filled in at the end.
    PeChecksum sum;
    const auto sink = [&](std::string_view piece) {
        sum.add(piece);
        return out.write(piece);
    };
    const std::uint64_t start = out.written();
    if (Status s = sink(head); !s)
        return s;
    if (Status s = writeResourceTree(layoutResourceTree(entries, treeRva), sink); !s)
        return s;
    if (out.written() - start != head.size() + newSize)
        return fail("came out at an unforeseen size while its resources were written");
    static const std::string zeros(4096, '\0');
    for (std::uint64_t pad = treeEndPadded - newSize; pad;) {
        const size_t n = static_cast<size_t>(std::min<std::uint64_t>(pad, zeros.size()));
        if (Status s = sink(std::string_view(zeros).substr(0, n)); !s)
            return s;
        pad -= n;
    }
    for (std::string_view rest : {between, overlay, overlayRest})
        if (Status s = sink(rest); !s)
            return s;
    std::string field(4, '\0');
    setLe32(field, 0, sum.value());
    return out.writeAt(start + checksumAt, field);
}

} // namespace lumo::formats
