#include "app/core/SaverTarget.h"

#include <gtest/gtest.h>

namespace lumo::app {

TEST(SaverTarget, TheWindowComesFromTheArgumentsThenTheEnvironment)
{
    using Args = std::vector<std::string>;
    struct Case {
        Args arguments;
        std::optional<std::string> environment;
        bool asSaver;
        std::optional<SaverTarget> expected;
    };
    const Case cases[] = {
        {{}, std::nullopt, false, std::nullopt},
        {{"movie.swf"}, std::nullopt, false, std::nullopt},
        {{"-root"}, std::nullopt, false, SaverTarget{true, 0}},
        {{"--root"}, std::nullopt, false, SaverTarget{true, 0}},
        {{"-root"}, "0x400001", false, SaverTarget{false, 0x400001}}, // the daemon's virtual root
        {{"-window-id", "12345"}, std::nullopt, false, SaverTarget{false, 12345}},
        {{"--window-id", "0x3a00007"}, std::nullopt, false, SaverTarget{false, 0x3a00007}},
        {{"-window-id", "0X3A00007"}, std::nullopt, false, SaverTarget{false, 0x3a00007}},
        {{"-no-splash", "-window-id", "7"}, std::nullopt, false, SaverTarget{false, 7}},
        {{}, "0x400001", false, SaverTarget{false, 0x400001}},
        {{"-window-id", "9"}, "0x400001", false, SaverTarget{false, 9}},
        {{}, std::nullopt, true, SaverTarget{true, 0}},
        {{}, "", false, std::nullopt},
        // The editor's own first-argument modes come first.
        {{"/s", "-root"}, "0x400001", true, std::nullopt},
        {{"/C:1234"}, "0x400001", false, std::nullopt},
        {{"/p", "99"}, "0x400001", false, std::nullopt},
    };
    for (const Case& c : cases) {
        const Result<std::optional<SaverTarget>> target = saverTarget(c.arguments, c.environment, c.asSaver);
        ASSERT_TRUE(target) << target.message();
        ASSERT_EQ(target->has_value(), c.expected.has_value()) << ::testing::PrintToString(c.arguments);
        if (c.expected) {
            EXPECT_EQ((*target)->root, c.expected->root);
            EXPECT_EQ((*target)->window, c.expected->window);
        }
    }
}

TEST(SaverTarget, AnIdThatIsNoNumberIsAnErrorNamingIt)
{
    for (const auto& [arguments, environment] :
         std::vector<std::pair<std::vector<std::string>, std::optional<std::string>>>{
             {{"-window-id", "abc"}, std::nullopt},
             {{"-window-id", "0x"}, std::nullopt},
             {{"-window-id", "0"}, std::nullopt},
             {{"-window-id", "4294967296"}, std::nullopt},
             {{"-window-id", "12a"}, std::nullopt},
             {{}, "window"}}) {
        const Result<std::optional<SaverTarget>> target = saverTarget(arguments, environment, false);
        ASSERT_FALSE(target);
        EXPECT_NE(target.message().find("is no X window id"), std::string::npos) << target.message();
    }
    EXPECT_EQ(saverTarget({"--window-id"}, std::nullopt, false).message(),
              "--window-id needs the id of the window to play in");
}

} // namespace lumo::app
