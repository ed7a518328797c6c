#include "app/core/PlaylistRules.h"

#include <gtest/gtest.h>

namespace lumo::app {

TEST(PlaylistRules, NumbersCompareAsNumbersOtherTextsByCharacterCodes)
{
    const struct {
        const char* a;
        const char* b;
        int order;
    } cases[] = {
        {"9 lives.swf", "10 lives.swf", -1},
        {"2,5.swf", "2.25.swf", 1},
        {"1.5", "1,5", 0},
        {"", "a", -1},
        {"", "", 0},
        {"B.swf", "a.swf", -1},
        {"a.swf", "b.swf", -1},
        {"10.swf", "abc", -1},
        {"/home/u/z.swf", "http://a", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(comparePlaylistTexts(c.a, c.b), c.order) << c.a << " / " << c.b;
        EXPECT_EQ(comparePlaylistTexts(c.b, c.a), -c.order) << c.b << " / " << c.a;
    }
}

TEST(PlaylistRules, TheClipboardHoldsTheHeaderAndOneLinePerRow)
{
    EXPECT_EQ(playlistClipboardText({"/a.swf", "http://x/b.swf"}), "File Name\t\r\n/a.swf\r\nhttp://x/b.swf\r\n");
    EXPECT_EQ(playlistClipboardText({}), "File Name\t\r\n");
}

} // namespace lumo::app
