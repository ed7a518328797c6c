// How a movie is recorded, from its header and the length the user chose; and the recorder program
// driven through a stand-in that speaks its protocol.
#include "creator/core/MovieVideo.h"
#include "creator/core/RecorderProgram.h"

#include "platform/posix/PosixProcessLauncher.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace lumo::creator {

namespace {

formats::SwfHeader header(int width, int height, double rate, std::uint16_t frames)
{
    formats::SwfHeader h;
    h.widthTwips = width * 20;
    h.heightTwips = height * 20;
    h.frameRate = rate;
    h.frameCount = frames;
    return h;
}

// Alive and not a zombie waiting for whoever adopted it.
bool runs(const std::string& pid)
{
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string id, name, state;
    return stat >> id >> name >> state && state != "Z";
}

} // namespace

TEST(RecordingPlanTest, SizeRateAndLengthFollowTheMovieWithinTheCaps)
{
    struct Case {
        const char* what;
        formats::SwfHeader movie;
        int chosen;
        RecordingPlan expected;
    };
    const Case cases[] = {
        {"a timeline that fits: one loop", header(550, 400, 24, 120), 30, {550, 400, 24, 5.0, true}},
        {"scripted, one frame: the chosen length", header(550, 400, 24, 1), 30, {550, 400, 24, 30.0, false}},
        {"a timeline longer than the chosen length", header(550, 400, 12, 1200), 45, {550, 400, 12, 45.0, false}},
        {"a short loop: whole loops up to a second", header(320, 240, 24, 10), 30, {320, 240, 24, 10.0 / 24 * 3, true}},
        {"HD: down to 1280 x 720", header(1920, 1080, 30, 60), 30, {1280, 720, 30, 2.0, true}},
        {"wide: the width decides, the aspect stays", header(4000, 100, 30, 60), 30, {1280, 32, 30, 2.0, true}},
        {"tall: the height decides", header(300, 1000, 30, 60), 30, {216, 720, 30, 2.0, true}},
        {"odd sizes become even", header(551, 401, 24, 48), 30, {550, 400, 24, 2.0, true}},
        {"a fast movie: 30 frames a second", header(100, 100, 60, 120), 30, {100, 100, 30, 2.0, true}},
        {"a rate of 0: Flash's default rate, the chosen length",
         header(100, 100, 0, 50),
         20,
         {100, 100, 24, 20.0, false}},
        {"no frame size: Flash's stage", header(0, 0, 24, 24), 30, {550, 400, 24, 1.0, true}},
        {"a length past the cap", header(550, 400, 24, 1), 5000, {550, 400, 24, 600.0, false}},
    };
    for (const Case& c : cases) {
        const RecordingPlan plan = planRecording(c.movie, c.chosen);
        EXPECT_EQ(plan.width, c.expected.width) << c.what;
        EXPECT_EQ(plan.height, c.expected.height) << c.what;
        EXPECT_EQ(plan.fps, c.expected.fps) << c.what;
        EXPECT_NEAR(plan.seconds, c.expected.seconds, 1e-9) << c.what;
        EXPECT_EQ(plan.wholeTimeline, c.expected.wholeTimeline) << c.what;
    }
}

// A stand-in for lumo-record: a shell script that prints what the real one prints.
class RecorderProgramTest : public ::testing::Test {
protected:
    std::string script(const std::string& body)
    {
        const std::string path = m_dir / "lumo-record";
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }

    test::TempDir m_dir;
    platform::PosixProcessLauncher m_launcher;
    RecordingPlan m_plan{320, 240, 24, 2.5, true};
};

TEST_F(RecorderProgramTest, ThePlanGoesInAndTheProgressComesOut)
{
    RecorderProgram recorder(
        m_launcher, script("echo \"$@\" > \"$0.args\"\necho recorded 0.50\necho recorded 2.50\necho encoding"));
    std::vector<double> recorded;
    int idle = 0;
    RecordingEvents events;
    events.recorded = [&](double seconds) { recorded.push_back(seconds); };
    events.idle = [&] { ++idle; };
    const Status done = recorder.record("in put.swf", "out.avi", m_plan, events);
    ASSERT_TRUE(done) << done.message();
    EXPECT_EQ(recorded, (std::vector<double>{0.5, 2.5}));
    EXPECT_GT(idle, 0);
    std::ifstream args(m_dir / "lumo-record.args");
    std::string line;
    std::getline(args, line);
    EXPECT_EQ(line, "--width 320 --height 240 --fps 24 --seconds 2.500 in put.swf out.avi");
}

TEST_F(RecorderProgramTest, ItsErrorLineIsTheReasonAndACrashIsSaidAsOne)
{
    RecorderProgram failing(m_launcher,
                            script("echo 'Qt: noise' >&2\necho 'lumo-record: Ruffle showed nothing but "
                                   "black' >&2\necho 'more noise' >&2\nexit 1"));
    Status failed = failing.record("a.swf", "a.avi", m_plan, {});
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.message(), "Ruffle showed nothing but black");

    RecorderProgram crashing(m_launcher, script("kill -SEGV $$"));
    failed = crashing.record("a.swf", "a.avi", m_plan, {});
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.message(), "the recorder crashed (it was ended by signal 11)");

    RecorderProgram missing(m_launcher, m_dir / "nothing-here");
    failed = missing.record("a.swf", "a.avi", m_plan, {});
    ASSERT_FALSE(failed);
    EXPECT_NE(failed.message().find("nothing-here"), std::string::npos) << failed.message();
}

TEST_F(RecorderProgramTest, CancellingStopsTheRecorderAndWhatItStarted)
{
    // The recorder starts a helper of its own (as it starts the web engine and ffmpeg).
    const std::string pids = m_dir / "pids";
    RecorderProgram recorder(m_launcher, script("sleep 600 &\necho $! > \"" + pids + "\"\necho recorded 0.10\nwait"));
    bool cancel = false;
    RecordingEvents events;
    events.recorded = [&](double) { cancel = true; };
    events.cancelled = [&] { return cancel; };
    const Status cancelled = recorder.record("a.swf", "a.avi", m_plan, events);
    ASSERT_FALSE(cancelled);
    EXPECT_EQ(cancelled.message(), kCancelled);
    std::string helper;
    std::ifstream(pids) >> helper;
    ASSERT_FALSE(helper.empty());
    // Killed, it ends at once; a loaded machine may take a moment to carry that out.
    for (int waited = 0; waited < 5000 && runs(helper); waited += 20)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(runs(helper)) << "the helper " << helper << " still runs";
}

} // namespace lumo::creator
