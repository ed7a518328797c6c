// Resource editing on the real player program (PE32+, its resource section followed by .reloc).
#include "creator/core/ResourceUpdate.h"
#include "formats/ByteReader.h"
#include "formats/PeImage.h"

#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace lumo::creator {

using formats::ResourceEntry;
using formats::ResourceId;

namespace {

struct Listed {
    std::string type, name;
    std::uint16_t language;
    std::string data;
    bool operator==(const Listed&) const = default;
};

std::vector<Listed> listed(const std::string& path)
{
    Result<formats::PeImage> image = formats::PeImage::parse(test::readFile(path), path);
    EXPECT_TRUE(image) << image.message();
    if (!image)
        return {};
    Result<std::vector<ResourceEntry>> resources = image->resources();
    EXPECT_TRUE(resources) << resources.message();
    std::vector<Listed> out;
    for (const ResourceEntry& r : (resources ? *resources : std::vector<ResourceEntry>{}))
        out.push_back({r.type.text(), r.name.text(), r.language, r.data.bytes()});
    return out;
}

std::string le32(std::uint32_t v)
{
    std::string out;
    for (int k = 0; k < 4; ++k)
        out += static_cast<char>((v >> (8 * k)) & 0xFF);
    return out;
}

// An icon file: each entry is the given 8 bytes (width .. bit count), the image's size and offset.
std::string icoFile(const std::vector<std::string>& entries8, const std::vector<std::string>& images,
                    std::string head = std::string("\0\0\1\0", 4))
{
    std::string out = head;
    out += static_cast<char>(images.size());
    out += '\0';
    size_t offset = 6 + 16 * images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        out += entries8[i];
        out += le32(static_cast<std::uint32_t>(images[i].size())) + le32(static_cast<std::uint32_t>(offset));
        offset += images[i].size();
    }
    for (const std::string& image : images)
        out += image;
    return out;
}

class ResourceUpdateTest : public ::testing::Test {
protected:
    void SetUp() override { test::writeFile(exe(), test::readFile(LUMO_PLAYER_EXE)); }
    std::string exe() const { return m_dir / "MySaver.exe"; }

    test::TempDir m_dir;
    platform::PosixFileSystem m_files;
};

} // namespace

TEST_F(ResourceUpdateTest, AddsReplacesAndKeepsEveryOtherResourceByteForByte)
{
    const std::vector<Listed> before = listed(exe());
    ASSERT_EQ(before.size(), 6u);
    test::writeFile(m_dir / "file.lis", std::string(100000, 'x'));
    ASSERT_TRUE(AddFileResource(m_files, m_dir / "file.lis", exe(), ResourceId::id(10), ResourceId::name("FILELIST")));
    std::vector<Listed> after = listed(exe());
    const Listed added{"10", "FILELIST", 0, std::string(100000, 'x')};
    ASSERT_EQ(after.size(), 7u);
    EXPECT_NE(std::find(after.begin(), after.end(), added), after.end());
    after.erase(std::find(after.begin(), after.end(), added));
    EXPECT_EQ(after, before);

    // Again, larger, then smaller: replaced each time, never duplicated.
    for (const size_t size : {300000u, 10u}) {
        test::writeFile(m_dir / "file.lis", std::string(size, 'y'));
        ASSERT_TRUE(
            AddFileResource(m_files, m_dir / "file.lis", exe(), ResourceId::id(10), ResourceId::name("filelist")));
        after = listed(exe());
        EXPECT_EQ(after.size(), 7u);
        EXPECT_EQ(std::count_if(after.begin(), after.end(),
                                [&](const Listed& l) { return l.data == std::string(size, 'y'); }),
                  1);
    }
}

TEST_F(ResourceUpdateTest, NewDataGoesIntoANewLastSectionAndGrowsItThere)
{
    const formats::PeImage original = *formats::PeImage::parse(test::readFile(exe()), "player");
    ASSERT_NE(original.sections().back().name, ".rsrc") << "the player's .rsrc is followed by .reloc";
    test::writeFile(m_dir / "big", std::string(50000, 'b'));
    ASSERT_TRUE(AddFileResource(m_files, m_dir / "big", exe(), ResourceId::id(10), ResourceId::name("A")));
    const formats::PeImage once = *formats::PeImage::parse(test::readFile(exe()), "once");
    ASSERT_EQ(once.sections().size(), original.sections().size() + 1);
    EXPECT_EQ(once.sections().back().name, ".rsrc");
    for (size_t i = 0; i < original.sections().size(); ++i) {
        const formats::PeSection& a = original.sections()[i];
        const formats::PeSection& b = once.sections()[i];
        EXPECT_EQ(std::tie(a.virtualAddress, a.rawOffset, a.rawSize),
                  std::tie(b.virtualAddress, b.rawOffset, b.rawSize))
            << "no section moves: " << a.name;
        EXPECT_EQ(original.bytes().substr(a.rawOffset, a.rawSize), once.bytes().substr(b.rawOffset, b.rawSize))
            << a.name;
    }
    ASSERT_TRUE(AddFileResource(m_files, m_dir / "big", exe(), ResourceId::id(10), ResourceId::name("B")));
    const formats::PeImage twice = *formats::PeImage::parse(test::readFile(exe()), "twice");
    EXPECT_EQ(twice.sections().size(), once.sections().size()) << "the last section grows in place";
}

TEST_F(ResourceUpdateTest, KeepsAnOverlayAndDropsACertificateTable)
{
    std::string bytes = test::readFile(exe());
    const std::string overlay = "SELF-EXTRACTOR PAYLOAD";
    test::writeFile(exe(), bytes + overlay);
    test::writeFile(m_dir / "d", "data");
    ASSERT_TRUE(AddFileResource(m_files, m_dir / "d", exe(), ResourceId::id(10), ResourceId::name("FILELIST")));
    const std::string edited = test::readFile(exe());
    EXPECT_EQ(edited.substr(edited.size() - overlay.size()), overlay);

    // A certificate table at the end of the file: its entry and its bytes go.
    const std::string certificate = std::string("\x10\x00\x00\x00\x00\x02\x02\x00", 8) + "SIGNATURE";
    const size_t directories = edited.find("PE\0\0", 0) + 24 + 112; // PE32+
    std::string signed_ = edited + certificate;
    const auto put = [&](size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            signed_[at + static_cast<size_t>(k)] = static_cast<char>((v >> (8 * k)) & 0xFF);
    };
    put(directories + 8 * 4, static_cast<std::uint32_t>(edited.size()));
    put(directories + 8 * 4 + 4, static_cast<std::uint32_t>(certificate.size()));
    test::writeFile(exe(), signed_);
    Result<ResourceUpdate> update = ResourceUpdate::begin(m_files, exe());
    ASSERT_TRUE(update) << update.message();
    EXPECT_TRUE(update->dropsCertificate());
    update->update(ResourceId::id(10), ResourceId::name("X"), 0, std::string("x"));
    ASSERT_TRUE(update->end(false));
    const std::string result = test::readFile(exe());
    EXPECT_EQ(result.find("SIGNATURE"), std::string::npos);
    EXPECT_EQ(result.substr(directories + 32, 8), std::string(8, '\0'));
    EXPECT_EQ(result.substr(result.size() - overlay.size()), overlay);
}

TEST_F(ResourceUpdateTest, ReplacesTheMainIconAsTheGroupDescribes)
{
    const std::vector<Listed> before = listed(exe());
    const std::string oldGroup
        = std::find_if(before.begin(), before.end(), [](const Listed& l) { return l.type == "14"; })->data;
    // Reserved and type of the file itself (7, 9) are never copied; zero planes and bit count are.
    const std::vector<std::string> entries
        = {std::string("\x10\x10\x00\x00\x00\x00\x00\x00", 8), std::string("\x20\x20\x10\x00\x01\x00\x04\x00", 8)};
    const std::vector<std::string> images = {"IMAGE-ONE", "IMAGE-TWO-LONGER"};
    std::vector<std::string> entries12;
    for (size_t i = 0; i < 2; ++i)
        entries12.push_back(entries[i] + le32(static_cast<std::uint32_t>(images[i].size())));
    test::writeFile(m_dir / "two.ico", icoFile(entries, images, std::string("\x07\x00\x09\x00", 4)));
    ASSERT_TRUE(ReplaceMainIcon(m_files, exe(), m_dir / "two.ico"));

    std::vector<Listed> after = listed(exe());
    std::vector<Listed> expected;
    for (const Listed& l : before)
        if (l.language != 0x0419)
            expected.push_back(l);
    std::string group = oldGroup.substr(0, 4) + std::string("\x02\x00", 2);
    group += entries12[0] + std::string("\x01\x00", 2) + entries12[1] + std::string("\x02\x00", 2);
    expected.push_back({"14", "MAINICON", 0, group});
    expected.push_back({"3", "1", 0, images[0]});
    expected.push_back({"3", "2", 0, images[1]});
    const auto order = [](const Listed& a, const Listed& b) {
        return std::tie(a.type, a.name, a.language) < std::tie(b.type, b.name, b.language);
    };
    std::sort(after.begin(), after.end(), order);
    std::sort(expected.begin(), expected.end(), order);
    EXPECT_EQ(after, expected);

    // The group now in language 0 is replaced in place: a second icon makes no duplicate.
    test::writeFile(m_dir / "five.ico",
                    icoFile(std::vector<std::string>(5, std::string(8, '\0')), {"1", "2", "3", "4", "5"}));
    ASSERT_TRUE(ReplaceMainIcon(m_files, exe(), m_dir / "five.ico"));
    after = listed(exe());
    EXPECT_EQ(std::count_if(after.begin(), after.end(), [](const Listed& l) { return l.type == "14"; }), 1);
    EXPECT_EQ(
        std::count_if(after.begin(), after.end(), [](const Listed& l) { return l.type == "3" && l.language == 0; }), 5);
    // And back to one image: the four others go with the old group.
    ASSERT_TRUE(ReplaceMainIcon(m_files, exe(), m_dir / "two.ico"));
    after = listed(exe());
    EXPECT_EQ(std::count_if(after.begin(), after.end(), [](const Listed& l) { return l.type == "3"; }), 2);
}

TEST_F(ResourceUpdateTest, AnUnusableIconOrExecutableLeavesTheFileAsItWas)
{
    const std::string original = test::readFile(exe());
    const struct {
        std::string ico;
        const char* mentions;
    } cases[] = {
        {"\0\0\1", "shorter than its directory"},
        {std::string("\0\0\1\0\0\0", 6), "holds no image"},
        {std::string("\0\0\1\0\2\0", 6) + std::string(16, '\0'), "runs past the end"},
        {icoFile({std::string(8, '\0')}, {"x"}).substr(0, 22), "lies outside the file"},
    };
    for (const auto& c : cases) {
        test::writeFile(m_dir / "bad.ico", c.ico);
        Status s = ReplaceMainIcon(m_files, exe(), m_dir / "bad.ico");
        ASSERT_FALSE(s);
        EXPECT_NE(s.message().find(c.mentions), std::string::npos) << s.message();
        EXPECT_TRUE(test::readFile(exe()) == original);
    }
    EXPECT_EQ(ReplaceMainIcon(m_files, exe(), m_dir / "none.ico").message().rfind("Cannot open file", 0), 0u);

    // An executable without the group: nothing changes.
    test::writeFile(m_dir / "one.ico", icoFile({std::string(8, '\0')}, {"x"}));
    ASSERT_TRUE(ReplaceMainIcon(m_files, exe(), m_dir / "one.ico"));
    const std::string once = test::readFile(exe());
    Result<ResourceUpdate> u = ResourceUpdate::begin(m_files, exe());
    u->update(ResourceId::id(14), ResourceId::name("MAINICON"), 0, std::nullopt);
    ASSERT_TRUE(u->end(false));
    const std::string without = test::readFile(exe());
    Status s = ReplaceMainIcon(m_files, exe(), m_dir / "one.ico");
    EXPECT_NE(s.message().find("has no icon group MAINICON"), std::string::npos) << s.message();
    EXPECT_TRUE(test::readFile(exe()) == without);
}

TEST_F(ResourceUpdateTest, ADataFileThatChangesWhileItIsAddedLeavesTheFileAsItWas)
{
    const std::string original = test::readFile(exe());
    test::writeFile(m_dir / "file.lis", std::string(100000, 'f'));
    Result<formats::ResourceData> data = formats::ResourceData::inFile(m_files, m_dir / "file.lis");
    ASSERT_TRUE(data);
    Result<ResourceUpdate> u = ResourceUpdate::begin(m_files, exe());
    ASSERT_TRUE(u);
    u->update(ResourceId::id(10), ResourceId::name("FILELIST"), 0, *data);
    test::writeFile(m_dir / "file.lis", "shorter");
    const Status s = u->end(false);
    EXPECT_NE(s.message().find("changed while it was being read"), std::string::npos) << s.message();
    EXPECT_TRUE(test::readFile(exe()) == original);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.path()), {}), 2) << "no temporary file is left";
}

TEST_F(ResourceUpdateTest, ThroughALinkTheFileItNamesIsEdited)
{
    std::filesystem::create_symlink(exe(), m_dir / "link.exe");
    test::writeFile(m_dir / "file.lis", "project");
    ASSERT_TRUE(AddFileResource(m_files, m_dir / "file.lis", m_dir / "link.exe", ResourceId::id(10),
                                ResourceId::name("FILELIST")));
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir / "link.exe")) << "the link stays a link";
    const std::vector<Listed> resources = listed(exe());
    EXPECT_TRUE(std::any_of(resources.begin(), resources.end(),
                            [](const Listed& r) { return r.name == "FILELIST" && r.data == "project"; }));
}

// Every kind of image: PE32 and PE32+, resources followed by .reloc, last, or absent; with an overlay.
class SmallImages : public ::testing::TestWithParam<const char*> {
protected:
    test::TempDir m_dir;
    platform::PosixFileSystem m_files;
};

TEST_P(SmallImages, TakeAFilelistAndKeepEverythingElse)
{
    const std::string original = test::readFile(std::string(LUMO_PE_IMAGES) + "/" + GetParam() + ".exe");
    ASSERT_FALSE(original.empty());
    const std::string overlay = "OVERLAY";
    const std::string exe = m_dir / "image.exe";
    test::writeFile(exe, original + overlay);
    const formats::PeImage before = *formats::PeImage::parse(original + overlay, "before");
    std::vector<Listed> expected = listed(exe);

    test::writeFile(m_dir / "file.lis", std::string(5000, 'f'));
    ASSERT_TRUE(AddFileResource(m_files, m_dir / "file.lis", exe, ResourceId::id(10), ResourceId::name("FILELIST")));
    const std::string edited = test::readFile(exe);
    Result<formats::PeImage> after = formats::PeImage::parse(edited, "after");
    ASSERT_TRUE(after) << after.message();
    EXPECT_EQ(after->isPe32Plus(), before.isPe32Plus());
    EXPECT_EQ(edited.substr(edited.size() - overlay.size()), overlay);
    // No section but the last one, if it holds the resources, changes place or bytes.
    for (size_t i = 0; i < before.sections().size(); ++i) {
        const formats::PeSection& a = before.sections()[i];
        const formats::PeSection& b = after->sections()[i];
        EXPECT_EQ(a.virtualAddress, b.virtualAddress) << a.name;
        EXPECT_EQ(a.rawOffset, b.rawOffset) << a.name;
        if (a.name != ".rsrc") {
            EXPECT_TRUE(before.bytes().substr(a.rawOffset, a.rawSize) == after->bytes().substr(b.rawOffset, b.rawSize))
                << a.name;
        }
    }
    expected.push_back({"10", "FILELIST", 0, std::string(5000, 'f')});
    std::vector<Listed> now = listed(exe);
    const auto order = [](const Listed& a, const Listed& b) {
        return std::tie(a.type, a.name, a.language) < std::tie(b.type, b.name, b.language);
    };
    std::sort(now.begin(), now.end(), order);
    std::sort(expected.begin(), expected.end(), order);
    EXPECT_EQ(now, expected);
    EXPECT_EQ(formats::PeImage::checksum(edited, edited.find(std::string("PE\0\0", 4)) + 24 + 64),
              formats::le32(edited, edited.find(std::string("PE\0\0", 4)) + 24 + 64));
}

INSTANTIATE_TEST_SUITE_P(PeImages, SmallImages,
                         ::testing::Values("pe64-rsrc-then-reloc", "pe64-rsrc-last", "pe64-no-rsrc", "pe32-rsrc",
                                           "pe32-no-rsrc"));

TEST(PeImage, TheTreeSizeIsKnownBeforeTheTreeIsBuilt)
{
    const formats::PeImage player = *formats::PeImage::parse(test::readFile(LUMO_PLAYER_EXE), "player");
    std::vector<ResourceEntry> entries = *player.resources();
    EXPECT_EQ(formats::resourceTreeSize(entries), formats::buildResourceTree(entries, 0x1000).size());
    entries.push_back({ResourceId::name("B"), ResourceId::name("x"), 7, "abc", 0});
    entries.push_back({ResourceId::name("b"), ResourceId::id(3), 9, std::string(13, 'z'), 0});
    entries.push_back({ResourceId::id(10), ResourceId::name("FILELIST"), 0, "d", 0});
    EXPECT_EQ(formats::resourceTreeSize(entries), formats::buildResourceTree(entries, 0x1000).size());
    // Read back, names first and case-insensitively merged, ids ascending.
    const std::string tree = formats::buildResourceTree(entries, 0x1000);
    Result<std::vector<ResourceEntry>> back = formats::readResourceTree(tree, 0x1000, 0x1000);
    ASSERT_TRUE(back) << back.message();
    ASSERT_EQ(back->size(), entries.size());
    EXPECT_EQ((*back)[0].type.text(), "B");
    EXPECT_EQ((*back)[1].type.text(), "B") << "\"b\" files under \"B\"";
    EXPECT_EQ((*back)[2].type.text(), "3");
}

TEST(PeImage, TheChecksumSumsPiecesOfAnySize)
{
    std::string image = test::readFile(LUMO_PLAYER_EXE);
    image += "odd";
    const size_t field = image.find(std::string("PE\0\0", 4)) + 24 + 64;
    const std::uint32_t whole = formats::PeImage::checksum(image, field);
    std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(field), 4, '\0');
    for (size_t step : {1u, 3u, 7u, 8u, 4097u}) {
        formats::PeChecksum sum;
        for (size_t at = 0; at < image.size(); at += step)
            sum.add(std::string_view(image).substr(at, step));
        EXPECT_EQ(sum.value(), whole) << "pieces of " << step;
    }
}

TEST(PeImage, AnImageWithTheMostSectionsItsHeaderCanCountGetsNoOtherOne)
{
    // A PE32 image with 65,535 empty sections, its headers large enough to hold one more entry.
    const size_t sections = 0xFFFF;
    const size_t table = 0x40 + 24 + 224;
    const size_t headers = (table + 40 * (sections + 1) + 0x1FF) & ~size_t(0x1FF);
    std::string image(headers, '\0');
    const auto put16 = [&](size_t at, std::uint16_t v) { image[at] = char(v & 0xFF), image[at + 1] = char(v >> 8); };
    const auto put32 = [&](size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            image[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    image[0] = 'M', image[1] = 'Z';
    put32(0x3C, 0x40);
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    put16(0x44, 0x14C);
    put16(0x46, static_cast<std::uint16_t>(sections));
    put16(0x54, 224);
    const size_t optional = 0x58;
    put16(optional, 0x10B);
    put32(optional + 32, 0x1000); // section alignment
    put32(optional + 36, 0x200); // file alignment
    put32(optional + 56, static_cast<std::uint32_t>(0x1000 * (sections + 1) + headers));
    put32(optional + 60, static_cast<std::uint32_t>(headers));
    put32(optional + 92, 16);
    for (size_t i = 0; i < sections; ++i) {
        put32(table + 40 * i + 8, 0x1000);
        put32(table + 40 * i + 12, static_cast<std::uint32_t>(0x1000 * (i + 1)));
    }
    Result<formats::PeImage> parsed = formats::PeImage::parse(image, "many.exe");
    ASSERT_TRUE(parsed) << parsed.message();
    const Result<std::string> edited
        = parsed->withResources({{ResourceId::id(10), ResourceId::name("FILELIST"), 0, std::string("data")}});
    ASSERT_FALSE(edited);
    EXPECT_NE(edited.message().find("65,535 sections"), std::string::npos) << edited.message();
}

TEST(PeImage, MalformedImagesAreReportedNotRead)
{
    const std::string player = test::readFile(LUMO_PLAYER_EXE);
    const size_t pe = player.find(std::string("PE\0\0", 4));
    std::string badSection = player;
    badSection[pe + 24 + 240 + 20] = '\xFF'; // first section's raw offset far past the end
    badSection[pe + 24 + 240 + 23] = '\x7F';
    std::string badAlignment = player;
    badAlignment[pe + 24 + 36 + 3] = '\x40'; // a file alignment of 1 GiB
    const struct {
        std::string bytes;
        const char* mentions;
    } cases[] = {
        {"", "no MZ header"},
        {badAlignment, "powers of two"},
        {"MZ" + std::string(100, '\0'), "no PE signature"},
        {player.substr(0, pe + 30), "optional header is cut off"},
        {player.substr(0, pe + 24 + 240 + 40), "section table runs past"},
        {badSection, "runs past the end of the file"},
    };
    for (const auto& c : cases) {
        Result<formats::PeImage> image = formats::PeImage::parse(c.bytes, "x.exe");
        ASSERT_FALSE(image) << c.mentions;
        EXPECT_NE(image.message().find(c.mentions), std::string::npos) << image.message();
    }
}

} // namespace lumo::creator
