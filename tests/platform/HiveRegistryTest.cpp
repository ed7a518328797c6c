#include "platform/posix/HiveRegistry.h"

#include "platform/fake/FakeServices.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace lumo::platform {

namespace {
constexpr std::string_view kKey = "Software\\Corvane\\Lumo ScreenSaver";
}

TEST(HiveRegistry, MissingFileKeyOrValueReadsAsAbsent)
{
    test::TempDir dir;
    HiveRegistry registry(dir / "cfg/registry.reg");
    EXPECT_FALSE(registry.hiveExists());
    EXPECT_FALSE(registry.readString(kKey, "timer")->has_value());
    EXPECT_FALSE(registry.keyExists(kKey));

    ASSERT_TRUE(registry.writeString(kKey, "timer", "7"));
    EXPECT_TRUE(registry.hiveExists());
    EXPECT_TRUE(registry.keyExists("software\\CORVANE"));
    EXPECT_EQ(**registry.readString(kKey, "TIMER"), "7");
    EXPECT_FALSE(registry.readString(kKey, "Top")->has_value());
    EXPECT_FALSE(registry.readString("Software\\Other", "timer")->has_value());
}

TEST(HiveRegistry, KeepsValuesOfOtherTypesAndRefusesToReadThemAsStrings)
{
    test::TempDir dir;
    test::writeFile(dir / "registry.reg",
                    "Windows Registry Editor Version 5.00\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Corvane\\Lumo ScreenSaver]\n"
                    "\"timer\"=dword:00000005\n"
                    "\"Path\"=hex(2):2f,00,00,00\n");
    HiveRegistry registry(dir / "registry.reg");
    Result<std::optional<std::string>> timer = registry.readString(kKey, "timer");
    ASSERT_FALSE(timer);
    EXPECT_EQ(timer.message(), "Invalid data type for 'timer'");
    EXPECT_EQ(**registry.readString(kKey, "Path"), "/") << "an expandable string reads as a string";

    ASSERT_TRUE(registry.writeString(kKey, "Left", "250"));
    EXPECT_NE(test::readFile(dir / "registry.reg").find("\"timer\"=dword:00000005"), std::string::npos);
}

TEST(HiveRegistry, SetsAsideAFileItCannotParseAndReportsIt)
{
    test::TempDir dir;
    test::writeFile(dir / "registry.reg", "garbage that is no registry file\n");
    HiveRegistry registry(dir / "registry.reg");

    Result<std::optional<std::string>> read = registry.readString(kKey, "timer");
    ASSERT_FALSE(read);
    EXPECT_NE(read.message().find("could not be read (line 1: not a registry file"), std::string::npos)
        << read.message();
    EXPECT_NE(read.message().find("set aside"), std::string::npos);
    EXPECT_FALSE(registry.hiveExists());

    int asideFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.path().filename().string().rfind("registry.reg.broken-", 0) == 0) {
            ++asideFiles;
            EXPECT_EQ(test::readFile(entry.path()), "garbage that is no registry file\n");
        }
    EXPECT_EQ(asideFiles, 1);

    // From then on the defaults apply and writes work.
    EXPECT_FALSE(registry.readString(kKey, "timer")->has_value());
    EXPECT_TRUE(registry.writeString(kKey, "timer", "5"));

    // A first look that cannot report (does the key exist?) leaves the report to the next read.
    test::writeFile(dir / "registry.reg", "garbage again\n");
    EXPECT_FALSE(registry.keyExists(kKey));
    read = registry.readString(kKey, "timer");
    ASSERT_FALSE(read);
    EXPECT_NE(read.message().find("set aside"), std::string::npos) << read.message();
    EXPECT_FALSE(registry.readString(kKey, "timer")->has_value()) << "said once";
}

TEST(HiveRegistry, ReportsWritesThatFail)
{
    test::TempDir dir;
    test::writeFile(dir / "blocker", "a file where the folder should be");
    HiveRegistry registry(dir / "blocker/registry.reg");
    Status written = registry.writeString(kKey, "timer", "5");
    ASSERT_FALSE(written);
    // The system's reason follows.
    EXPECT_EQ(written.message().rfind("Failed to create key Software\\Corvane\\Lumo ScreenSaver (Cannot create file", 0),
              0u)
        << written.message();
}

TEST(HiveRegistry, TwoProgramsWritingAtOnceLoseNothing)
{
    test::TempDir dir;
    const std::string path = dir / "registry.reg";
    constexpr int kWriters = 4;
    constexpr int kValues = 25;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            HiveRegistry registry(path);
            bool ok = true;
            for (int v = 0; v < kValues; ++v) {
                const std::string name = "w" + std::to_string(w) + "v" + std::to_string(v);
                ok = ok && registry.writeString(kKey, name, std::to_string(v)).ok();
                // Every read in between sees a whole file.
                ok = ok && registry.readString(kKey, name).ok();
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    HiveRegistry registry(path);
    for (int w = 0; w < kWriters; ++w)
        for (int v = 0; v < kValues; ++v)
            EXPECT_EQ(registry.readString(kKey, "w" + std::to_string(w) + "v" + std::to_string(v))->value_or("?"),
                      std::to_string(v));
    // Only the hive and its lock file remain: no temporary file was left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(HiveRegistry, DefaultLocationFollowsTheEnvironment)
{
    FakeEnvironment env;
    env.variables = {{"HOME", "/home/u"}};
    EXPECT_EQ(HiveRegistry::defaultHivePath(env), "/home/u/.config/lumo-screensaver/registry.reg");
    env.variables["XDG_CONFIG_HOME"] = "/cfg";
    EXPECT_EQ(HiveRegistry::defaultHivePath(env), "/cfg/lumo-screensaver/registry.reg");
    env.variables["LUMO_REGISTRY"] = "/t/hive.reg";
    EXPECT_EQ(HiveRegistry::defaultHivePath(env), "/t/hive.reg");
}

} // namespace lumo::platform
