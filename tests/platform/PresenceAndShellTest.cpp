#include "platform/posix/LockPresence.h"
#include "platform/posix/XdgShell.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lumo::platform {

TEST(LockPresence, AWindowIsPresentExactlyWhileItsClaimLasts)
{
    test::TempDir dir;
    LockPresence presence(dir / "run");
    EXPECT_FALSE(presence.isPresent("TLumoMainFrm"));
    {
        auto first = presence.claim("TLumoMainFrm");
        auto second = presence.claim("TLumoMainFrm");
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        EXPECT_TRUE(presence.isPresent("TLumoMainFrm"));
        EXPECT_FALSE(presence.isPresent("TLumoScreenFrm"));
        first.reset();
        EXPECT_TRUE(presence.isPresent("TLumoMainFrm")) << "a second window of the class still exists";
    }
    EXPECT_FALSE(presence.isPresent("TLumoMainFrm"));
}

TEST(LockPresence, AnotherProcessSeesTheClaimUntilThatProcessEnds)
{
    test::TempDir dir;
    LockPresence presence(dir / "run");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto claim = LockPresence(dir / "run").claim("TLumoScreenFrm");
        const char byte = claim ? 1 : 0;
        [[maybe_unused]] auto n = ::write(ready[1], &byte, 1);
        ::pause(); // ended by the parent, as a crash would end it: no destructor runs
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(byte, 1);
    EXPECT_TRUE(presence.isPresent("TLumoScreenFrm"));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(presence.isPresent("TLumoScreenFrm"));
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(LockPresence, RefusesAFolderThatIsALink)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir / "elsewhere");
    std::filesystem::create_directory_symlink(dir / "elsewhere", dir / "run");
    LockPresence presence(dir / "run");
    EXPECT_EQ(presence.claim("TLumoMainFrm"), nullptr);
}

class XdgShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* path = std::getenv("PATH");
        m_oldPath = path ? path : "";
        std::filesystem::create_directory(m_dir / "bin");
        // Stand-ins that record how they were started.
        for (const char* program : {"xdg-open", "wine"}) {
            const std::string script = m_dir / (std::string("bin/") + program);
            test::writeFile(script,
                            "#!/bin/sh\n{ pwd; echo \"$0 $*\"; } > \"" + (m_dir / "started") + ".tmp\"\n/bin/mv \""
                                + (m_dir / "started") + ".tmp\" \"" + (m_dir / "started") + "\"\n");
            std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        }
        ::setenv("PATH", (m_dir / "bin").c_str(), 1);
    }
    void TearDown() override { ::setenv("PATH", m_oldPath.c_str(), 1); }

    std::string waitForStart()
    {
        for (int i = 0; i < 200 && !std::filesystem::exists(m_dir / "started"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return test::readFile(m_dir / "started");
    }

    test::TempDir m_dir;
    std::string m_oldPath;
};

TEST_F(XdgShellTest, OpensDocumentsWithXdgOpenInTheWorkingFolder)
{
    XdgShell shell;
    std::filesystem::create_directory(m_dir / "work");
    EXPECT_TRUE(shell.open("Help.chm", "", m_dir / "work"));
    EXPECT_EQ(waitForStart(), (m_dir / "work") + "\n" + (m_dir / "bin/xdg-open") + " Help.chm\n");
}

TEST_F(XdgShellTest, StartsWindowsProgramsWithWine)
{
    EXPECT_EQ(XdgShell::commandFor("/out/MySaver.EXE", "/s  extra"),
              (std::vector<std::string>{m_dir / "bin/wine", "/out/MySaver.EXE", "/s", "extra"}));
    XdgShell shell;
    EXPECT_TRUE(shell.open("/out/My.scr", "/c", ""));
    EXPECT_NE(waitForStart().find("wine /out/My.scr /c"), std::string::npos);
}

TEST_F(XdgShellTest, FailsWhenNothingCanOpenTheTarget)
{
    XdgShell shell;
    // xdg-open ends with its "no program for this" status.
    test::writeFile(m_dir / "bin/xdg-open", "#!/bin/sh\nexit 3\n");
    EXPECT_FALSE(shell.open("Help.chm", "", ""));
    // One that is still running after the wait has started something.
    test::writeFile(m_dir / "bin/xdg-open", "#!/bin/sh\n/bin/sleep 2\n");
    EXPECT_TRUE(XdgShell(100).open("Help.chm", "", ""));
    ::setenv("PATH", (m_dir / "empty").c_str(), 1);
    EXPECT_FALSE(shell.open("http://example.invalid/", "", ""));
    EXPECT_TRUE(XdgShell::commandFor("a.exe", "").empty());
}

} // namespace lumo::platform
