#include "common/TempFolder.h"

#include "platform/fake/FakeServices.h"

#include <gtest/gtest.h>

namespace lumo {

using platform::HostKind;

struct TempCase {
    std::map<std::string, std::string> variables;
    HostKind host;
    std::string expected;
};

TEST(TemporaryFolder, FollowsTheRuleOfEachHost)
{
    const TempCase cases[] = {
        // Windows: TEMP only when both TMP and TEMP are set, else the current folder; long form.
        {{{"TMP", "C:\\T1"}, {"TEMP", "C:\\T2\\"}}, HostKind::Windows, "C:\\T2"},
        {{{"TEMP", "C:\\T2"}}, HostKind::Windows, "C:\\Work"},
        {{{"TMP", "C:\\T1"}}, HostKind::Windows, "C:\\Work"},
        {{{"TMP", "x"}, {"TEMP", "C:\\PROGRA~1\\Tmp"}}, HostKind::Windows, "C:\\Program Files\\Tmp"},
        // POSIX: the same TEMP rule, then TMPDIR, then /tmp; never the current folder.
        {{{"TMP", "/a"}, {"TEMP", "/b/"}}, HostKind::Posix, "/b"},
        {{{"TEMP", "/b"}, {"TMPDIR", "/c"}}, HostKind::Posix, "/c"},
        {{{"TMPDIR", "/c//"}}, HostKind::Posix, "/c"},
        {{}, HostKind::Posix, "/tmp"},
        {{{"TMP", "/a"}, {"TEMP", "relative"}, {"TMPDIR", "also-relative"}}, HostKind::Posix, "/tmp"},
        {{{"TMP", ""}, {"TEMP", ""}}, HostKind::Posix, "/tmp"},
        {{{"TMPDIR", "/"}}, HostKind::Posix, "/"},
    };
    for (const TempCase& c : cases) {
        platform::FakeEnvironment environment;
        environment.variables = c.variables;
        environment.current = "C:\\Work";
        environment.longNames["C:\\PROGRA~1\\Tmp"] = "C:\\Program Files\\Tmp";
        EXPECT_EQ(temporaryFolder(environment, c.host), c.expected) << "expected " << c.expected;
    }
}

TEST(TemporaryFolder, IsReadAfreshAtEachUse)
{
    platform::FakeEnvironment environment;
    EXPECT_EQ(temporaryFolder(environment, HostKind::Posix), "/tmp");
    environment.variables["TMPDIR"] = "/var/tmp";
    EXPECT_EQ(temporaryFolder(environment, HostKind::Posix), "/var/tmp");
}

} // namespace lumo
