// The build of a screensaver from the Creator's settings, on the real player program, read back the
// way the produced screensaver reads itself: the resource "FILELIST", unpacked, and its param.lis.
#include "creator/core/ProjectBuild.h"
#include "creator/PlayerCarrier.h"
#include "formats/PeImage.h"
#include "formats/ZlibArchive.h"
#include "player/core/ParamFile.h"

#include "platform/fake/FakeServices.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include "support/SwfBytes.h"

#include <algorithm>
#include <filesystem>
#include <map>

namespace lumo::creator {

namespace fs = std::filesystem;

// Web addresses served from memory; any other address fails as an unreachable host does.
class FakeWebClient final : public platform::WebClient {
public:
    std::map<std::string, std::string> pages;
    std::vector<std::string> asked;
    Status fetch(const std::string& location, platform::OutputFile& out, const Progress& progress) override
    {
        asked.push_back(location);
        const auto page = pages.find(location);
        if (page == pages.end())
            return platform::cannotFetch(location, "Could not resolve host");
        if (progress)
            progress(page->second.size(), page->second.size());
        return out.write(page->second);
    }
};

// Writes "video of <movie's bytes>" as the video; fails for movies named in failFor.
class FakeRecorder final : public MovieRecorder {
public:
    std::map<std::string, RecordingPlan> plans; // by the movie's file name
    std::vector<std::string> failFor;
    std::function<void()> onRecord;
    Status record(const std::string& movie, const std::string& video, const RecordingPlan& plan,
                  const RecordingEvents& events) override
    {
        const std::string name = fs::path(movie).filename();
        plans[name] = plan;
        if (onRecord)
            onRecord();
        if (events.cancelled && events.cancelled())
            return Error{kCancelled};
        if (events.recorded)
            events.recorded(plan.seconds);
        if (std::find(failFor.begin(), failFor.end(), name) != failFor.end())
            return Error{"Ruffle showed nothing but black"};
        test::writeFile(video, "video of " + test::readFile(movie).substr(0, 3));
        return {};
    }
};

class ProjectBuildTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_environment.variables = {{"TMPDIR", m_dir / "tmp"}};
        fs::create_directories(m_dir / "tmp");
        ASSERT_TRUE(m_storage.ReadData(carriedStorage(), "carried"));
    }

    Result<BuildReport> build(const BuildRequest& request)
    {
        BuildServices services{m_files, m_environment, m_storage, &m_web, recorder};
        BuildEvents events;
        events.cancelled = [this] { return cancel; };
        events.status = [this](const std::string& text) { log.push_back(text); };
        events.barPosition = [this](int position) { log.push_back("bar " + std::to_string(position)); };
        events.archiveProgress = [this](std::int32_t, std::int32_t total) { totals.push_back(total); };
        return buildProject(services, request, events);
    }

    // The project as the produced screensaver unpacks it.
    std::string unpacked(const std::string& product)
    {
        Result<formats::PeImage> image = formats::PeImage::parse(test::readFile(product), product);
        EXPECT_TRUE(image) << image.message();
        const Result<std::vector<formats::ResourceEntry>> resources = image->resources();
        for (const formats::ResourceEntry& r : *resources)
            if (r.name.text() == "FILELIST") {
                const std::string out = m_dir / "unpacked";
                fs::remove_all(out);
                fs::create_directories(out);
                test::writeFile(out + "/files.lis", r.data.bytes());
                formats::ZlibMultiple zlib(m_files);
                const Status done = zlib.DecompressFile(out + "/files.lis", out, true, true);
                EXPECT_TRUE(done) << done.message();
                return out;
            }
        ADD_FAILURE() << "no FILELIST in " << product;
        return {};
    }

    test::TempDir m_dir;
    platform::PosixFileSystem m_files;
    platform::FakeEnvironment m_environment;
    platform::FakeRegistry m_registry;
    formats::FileStorage m_storage{{m_files, m_environment, m_registry}};
    FakeWebClient m_web;
    MovieRecorder* recorder = nullptr;
    bool cancel = false;
    std::vector<std::string> log;
    std::vector<std::int32_t> totals;
};

TEST_F(ProjectBuildTest, TheDefaultsMakeAScreensaverThatReadsItsOwnSettings)
{
    test::writeFile(m_dir / "movies/a.swf", "FWS movie a");
    test::writeFile(m_dir / "other/a.swf", "FWS later a");
    test::writeFile(m_dir / "logo.png", "png");
    test::writeFile(m_dir / "tmp/FS/Old/leftover", "x");
    m_web.pages["http://example.com/flash/b.swf?v=2"] = "FWS from the web";
    BuildRequest request;
    request.items = {{m_dir / "movies/a.swf", true},
                     {m_dir / "skipped.swf", false},
                     {m_dir / "other/a.swf", true},
                     {"http://example.com/flash/b.swf?v=2", true}};
    request.logo = m_dir / "logo.png";
    request.projectPath = m_dir / "out/MySaver.exe";
    fs::create_directories(m_dir / "out");
    Result<BuildReport> built = build(request);
    ASSERT_TRUE(built) << built.message();
    EXPECT_TRUE(built->notCopied.empty());
    EXPECT_EQ(built->renamed, std::vector<std::string>{"a.swf: staged as a (2).swf"});
    // The build's own folder goes; what others left in the temporary folder stays.
    EXPECT_EQ(test::readFile(m_dir / "tmp/FS/Old/leftover"), "x");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "tmp"), fs::directory_iterator()), 1);

    const std::string project = unpacked(m_dir / "out/MySaver.exe");
    // Two movies of one name are both packed; the web movie is a file under its own name.
    EXPECT_EQ(test::readFile(project + "/playl.lis"), "a.swf\r\na (2).swf\r\nb.swf\r\n");
    EXPECT_EQ(test::readFile(project + "/a.swf"), "FWS movie a");
    EXPECT_EQ(test::readFile(project + "/a (2).swf"), "FWS later a");
    EXPECT_EQ(test::readFile(project + "/b.swf"), "FWS from the web");
    EXPECT_EQ(test::readFile(project + "/Logo/Logos.png"), "png");
    EXPECT_FALSE(fs::exists(project + "/License.txt"));
    const player::ParamLines lines = player::readParamLines(test::readFile(project + "/param.lis"), {});
    const std::vector<std::string> expected{
        "play", "5",  "\\Logo\\Logos.png", "MySaver.exe", "400", "470", "0", "0", "Your title", "-1",
        "0",    "-1", "Your text here;"};
    ASSERT_EQ(lines.count(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(*lines.text(static_cast<int>(i + 1)), expected[i]) << "line " << i + 1;

    // Status texts and fixed bar positions in the order the wizard shows them.
    const std::vector<std::string> steps(log.begin(), log.begin() + 8);
    EXPECT_EQ(steps,
              (std::vector<std::string>{"bar 10", "Creating directory structure", "bar 40",
                                        "Copying play files " + request.items[0].text, "bar 40",
                                        "Copying play files " + request.items[2].text, "bar 40",
                                        "Copying play files http://example.com/flash/b.swf?v=2"}));
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{"Saving settings...", "bar 82", "Creating project file..."}));
    EXPECT_FALSE(totals.empty());
}

TEST_F(ProjectBuildTest, TheParamFileBytesAreTheMarkerTheScrambledTextAndALineEnd)
{
    EXPECT_EQ(ScrambleParams(""), "KX");
    EXPECT_EQ(ScrambleParams("play\r\n"), std::string("KX\x2A\xAF\x3B\xBA\x57\xC9"));
    // Bytes chosen to scramble into CR, LF and NUL come back unchanged.
    std::string tricky;
    for (const char wanted : {'\r', '\n', '\0', '\r'})
        tricky += static_cast<char>(wanted ^ (tricky.size() % 2 ? 0xC3 : 0x5A));
    EXPECT_EQ(ScrambleParams(tricky).substr(2), std::string("\r\n\0\r", 4));
    EXPECT_EQ(player::UnscrambleParams(ScrambleParams(tricky).substr(2)), tricky);

    ProjectSettings settings;
    settings.mode = PlayMode::OneByOne;
    settings.interval = 12;
    settings.showMute = false;
    settings.muteOn = true;
    settings.text = "Hello; world";
    const std::vector<std::string> lines = paramLines(settings, ".swf", "My.Cool.Saver.exe");
    EXPECT_EQ(lines[0], "oneb");
    EXPECT_EQ(lines[1], "12");
    EXPECT_EQ(lines[2], "\\Logo\\Logos.swf");
    EXPECT_EQ(lines[9], "0");
    EXPECT_EQ(lines[10], "-1");
    EXPECT_EQ(lines[12], "Hello; world;");
}

TEST_F(ProjectBuildTest, NoTickedItemNoLogoAndMissingFilesAreReportedNotFatal)
{
    BuildRequest request;
    request.items = {{m_dir / "gone.swf", true}, {m_dir / "unticked.swf", false}, {"http://127.0.0.1:1/x.swf", true}};
    request.logo = "http://example.com";
    request.licenceFile = m_dir / "LICENCE.txt";
    request.projectPath = m_dir / "Saver.exe";
    Result<BuildReport> built = build(request);
    ASSERT_TRUE(built) << built.message();
    ASSERT_EQ(built->notCopied.size(), 4u);
    EXPECT_EQ(built->notCopied[0], m_dir / "gone.swf: there is no such file");
    EXPECT_EQ(built->notCopied[1].rfind("http://127.0.0.1:1/x.swf: Cannot fetch", 0), 0u) << built->notCopied[1];
    EXPECT_EQ(built->notCopied[2].rfind("http://example.com: Cannot fetch", 0), 0u) << built->notCopied[2];
    EXPECT_EQ(built->notCopied[3].rfind(m_dir / "LICENCE.txt", 0), 0u);
    const std::string project = unpacked(m_dir / "Saver.exe");
    EXPECT_EQ(test::readFile(project + "/playl.lis"), "") << "nothing the player could not load";
    const player::ParamLines lines = player::readParamLines(test::readFile(project + "/param.lis"), {});
    EXPECT_EQ(*lines.text(3), "\\Logo\\Logos.swf") << "an address that names no file is taken for a movie";

    request.items = {};
    request.logo.clear();
    ASSERT_TRUE(build(request));
    EXPECT_EQ(test::readFile(unpacked(m_dir / "Saver.exe") + "/playl.lis"), "") << "built twice to one path";

    // A project path that cannot be written is an error, and nothing of the build is left.
    request.projectPath = m_dir / "no/such/folder/Saver.exe";
    Result<BuildReport> unwritten = build(request);
    ASSERT_FALSE(unwritten);
    EXPECT_EQ(unwritten.message().rfind("Writing the screensaver: Cannot create file", 0), 0u) << unwritten.message();
    EXPECT_TRUE(fs::is_empty(m_dir / "tmp"));

    // A strict build stops at the first item it cannot stage, before writing anything.
    request.projectPath = m_dir / "Strict.exe";
    request.items = {{m_dir / "gone.swf", true}};
    request.strict = true;
    EXPECT_EQ(build(request).message(), m_dir / "gone.swf: there is no such file");
    EXPECT_FALSE(fs::exists(m_dir / "Strict.exe"));
}

TEST_F(ProjectBuildTest, NamesWindowsRefusesAreStagedUnderNamesItTakes)
{
    for (const char* name : {"what?.swf", "CON.swf", "dots..", "playl.lis", "What_.swf"})
        test::writeFile(m_dir / (std::string("m/") + name), std::string("FWS ") + name);
    BuildRequest request;
    for (const char* name : {"what?.swf", "CON.swf", "dots..", "playl.lis", "What_.swf"})
        request.items.push_back({m_dir / (std::string("m/") + name), true});
    request.projectPath = m_dir / "Saver.exe";
    Result<BuildReport> built = build(request);
    ASSERT_TRUE(built) << built.message();
    EXPECT_EQ(built->renamed,
              (std::vector<std::string>{"what?.swf: staged as what_.swf", "CON.swf: staged as _CON.swf",
                                        "dots..: staged as dots__", "playl.lis: staged as playl (2).lis",
                                        "What_.swf: staged as What_ (2).swf"}));
    const std::string project = unpacked(m_dir / "Saver.exe");
    EXPECT_EQ(test::readFile(project + "/playl.lis"),
              "what_.swf\r\n_CON.swf\r\ndots__\r\nplayl (2).lis\r\nWhat_ (2).swf\r\n");
    EXPECT_EQ(test::readFile(project + "/what_.swf"), "FWS what?.swf");
    EXPECT_EQ(test::readFile(project + "/What_ (2).swf"), "FWS What_.swf");

    request.projectPath = m_dir / "Who?.exe";
    EXPECT_NE(build(request).message().find("cannot be the name of a Windows program"), std::string::npos);
}

TEST_F(ProjectBuildTest, APlantedLinkInTheTemporaryFolderReceivesNothing)
{
    // Another user's leftovers and links where a fixed staging name would be.
    fs::create_directories(m_dir / "elsewhere");
    fs::create_directory_symlink(m_dir / "elsewhere", m_dir / "tmp/FS");
    test::writeFile(m_dir / "a.swf", "FWS a");
    BuildRequest request;
    request.items = {{m_dir / "a.swf", true}};
    request.projectPath = m_dir / "Saver.exe";
    Result<BuildReport> built = build(request);
    ASSERT_TRUE(built) << built.message();
    EXPECT_TRUE(fs::is_empty(m_dir / "elsewhere"));
    EXPECT_TRUE(fs::is_symlink(m_dir / "tmp/FS"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "tmp"), fs::directory_iterator()), 1);
}

TEST_F(ProjectBuildTest, ATextWindowsCannotHoldStopsTheBuildNamingIt)
{
    test::writeFile(m_dir / "\xe6\x98\x9f.swf", "FWS"); // a CJK name
    BuildRequest request;
    request.items = {{m_dir / "\xe6\x98\x9f.swf", true}};
    request.projectPath = m_dir / "Saver.exe";
    Result<BuildReport> built = build(request);
    ASSERT_FALSE(built);
    EXPECT_NE(built.message().find(m_dir / "\xe6\x98\x9f.swf"), std::string::npos) << built.message();
    EXPECT_FALSE(fs::exists(m_dir / "Saver.exe"));

    request.items = {};
    request.projectPath.clear();
    EXPECT_EQ(build(request).message(), "Please select project name and path to save");
}

TEST_F(ProjectBuildTest, EachFlashMovieAndAFlashLogoGetAVideoBesideThem)
{
    FakeRecorder fake;
    fake.failFor = {"broken.swf"};
    recorder = &fake;
    test::writeFile(m_dir / "a.swf", test::plainSwf(550, 400, 24 << 8, 120));
    test::writeFile(m_dir / "scripted.swf", test::plainSwf(640, 480, 30 << 8, 1));
    test::writeFile(m_dir / "broken.swf", test::plainSwf(100, 100, 12 << 8, 24));
    test::writeFile(m_dir / "cut.swf", "FWS\x0a");
    test::writeFile(m_dir / "c.swf", test::plainSwf(100, 100, 12 << 8, 24));
    test::writeFile(m_dir / "c.avi", "the user's own file");
    test::writeFile(m_dir / "p.png", "png");
    test::writeFile(m_dir / "logo.swf", test::plainSwf(200, 100, 12 << 8, 12));
    BuildRequest request;
    for (const char* name : {"a.swf", "scripted.swf", "broken.swf", "cut.swf", "c.avi", "c.swf", "p.png"})
        request.items.push_back({m_dir / name, true});
    request.logo = m_dir / "logo.swf";
    request.videoSeconds = 7;
    request.projectPath = m_dir / "Saver.exe";
    Result<BuildReport> built = build(request);
    ASSERT_TRUE(built) << built.message();

    EXPECT_EQ(built->notRecorded,
              (std::vector<std::string>{m_dir / "c.swf: another file is named c.avi",
                                        m_dir / "broken.swf: Ruffle showed nothing but black",
                                        m_dir / "cut.swf: the header is cut short"}));
    const std::string project = unpacked(m_dir / "Saver.exe");
    EXPECT_EQ(test::readFile(project + "/playl.lis"),
              "a.swf\r\nscripted.swf\r\nbroken.swf\r\ncut.swf\r\nc.avi\r\nc.swf\r\np.png\r\n")
        << "the list names the movies only, as older players expect";
    EXPECT_EQ(test::readFile(project + "/a.avi"), "video of FWS");
    EXPECT_EQ(test::readFile(project + "/scripted.avi"), "video of FWS");
    EXPECT_EQ(test::readFile(project + "/Logo/Logos.avi"), "video of FWS");
    EXPECT_EQ(test::readFile(project + "/c.avi"), "the user's own file");
    for (const char* none : {"/broken.avi", "/cut.avi", "/p.avi"})
        EXPECT_FALSE(fs::exists(project + none)) << none;
    // The plans come from each movie's header and the length asked for.
    EXPECT_EQ(fake.plans["a.swf"].seconds, 5.0);
    EXPECT_EQ(fake.plans["scripted.swf"].seconds, 7.0);
    EXPECT_EQ(fake.plans["scripted.swf"].width, 640);
    EXPECT_EQ(fake.plans["Logos.swf"].width, 200);
    EXPECT_NE(std::find(log.begin(), log.end(), "Recording a video of " + (m_dir / "a.swf") + " (1 of 5)"), log.end());

    request.videos = false;
    fake.plans.clear();
    ASSERT_TRUE(build(request));
    EXPECT_TRUE(fake.plans.empty());
    EXPECT_FALSE(fs::exists(unpacked(m_dir / "Saver.exe") + "/a.avi"));
}

TEST_F(ProjectBuildTest, CancellingWhileAMovieRecordsWritesNothing)
{
    FakeRecorder fake;
    fake.onRecord = [this] { cancel = true; };
    recorder = &fake;
    test::writeFile(m_dir / "a.swf", test::plainSwf(550, 400, 24 << 8, 120));
    test::writeFile(m_dir / "Saver.exe", "the screensaver built before");
    BuildRequest request;
    request.items = {{m_dir / "a.swf", true}};
    request.projectPath = m_dir / "Saver.exe";
    EXPECT_EQ(build(request).message(), kCancelled);
    EXPECT_EQ(test::readFile(m_dir / "Saver.exe"), "the screensaver built before");
    EXPECT_TRUE(fs::is_empty(m_dir / "tmp"));
}

} // namespace lumo::creator
