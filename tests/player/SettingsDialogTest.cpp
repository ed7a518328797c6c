#include "player/core/SettingsDialog.h"
#include "player/core/StandIn.h"

#include "platform/fake/FakeServices.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumo::player {

namespace {

class RecordingDialog final : public SettingsDialogSurface {
public:
    void setCaption(const std::string& caption) override { log.push_back("caption " + caption); }
    void setOuterSize(int width, int height) override
    {
        log.push_back("size " + std::to_string(width) + "x" + std::to_string(height));
    }
    void setMuteVisible(bool visible) override { log.push_back(std::string("mute ") + (visible ? "shown" : "hidden")); }
    void setLabelVisible(bool visible) override
    {
        log.push_back(std::string("label ") + (visible ? "shown" : "hidden"));
    }
    void setLabel(const std::string& text) override { log.push_back("text " + text); }
    void showLogo(const std::string& location) override { log.push_back("logo " + location); }
    std::vector<std::string> log;
};

std::vector<std::string> creatorLines(const std::string& line10, const std::string& line13)
{
    return {"play", "5",   "\\Logo\\Logos.swf", "MySaver.exe", "400", "470", "0", "0", "My title", line10, "0",
            "-1",   line13};
}

} // namespace

TEST(SettingsDialog, TheParameterLinesGiveTheLookInOrder)
{
    RecordingDialog dialog;
    ASSERT_TRUE(applyParameterLines(ParamLines(creatorLines("0", "Hello; world;")), "C:\\Temp\\MySaver.scr", dialog));
    EXPECT_EQ(dialog.log,
              (std::vector<std::string>{"caption My title", "size 470x400", "mute hidden", "label shown", "text Hello",
                                        "logo C:\\Temp\\MySaver.scr\\Logo\\Logos.swf"}));

    RecordingDialog whole;
    ASSERT_TRUE(applyParameterLines(ParamLines(creatorLines("-1", "No semicolon")), "w", whole));
    EXPECT_EQ(whole.log[4], "text No semicolon");

    std::vector<std::string> badWidth = creatorLines("-1", "x;");
    badWidth[5] = "wide";
    RecordingDialog stopped;
    EXPECT_EQ(applyParameterLines(ParamLines(badWidth), "w", stopped).message(), "'wide' is not a valid integer value");
    EXPECT_EQ(stopped.log, (std::vector<std::string>{"caption My title"}));
}

TEST(SettingsDialog, MuteSoundIsReadAsTheRegistryHoldsIt)
{
    platform::FakeRegistry registry;
    EXPECT_FALSE(*readMuteSound(registry, "MySaver.scr")) << "no value yet";
    const struct {
        const char* stored;
        bool muted;
    } cases[] = {{"1", true}, {"0", false}, {"2", true}, {"-1", true}, {"yes", false}, {"", false}};
    for (const auto& c : cases) {
        registry.setString("Software\\MySaver.scr", "MuteSound", c.stored);
        EXPECT_EQ(*readMuteSound(registry, "MySaver.scr"), c.muted) << c.stored;
    }
    ASSERT_TRUE(writeMuteSound(registry, "MySaver.scr", true));
    EXPECT_EQ(registry.stored("Software\\MySaver.scr", "MuteSound"), "1");
    registry.setNonString("Software\\MySaver.scr", "MuteSound");
    EXPECT_EQ(readMuteSound(registry, "MySaver.scr").message(), "Invalid data type for 'MuteSound'");
}

TEST(StandIn, TheLogoOrElseTheNameStandsInForAMovie)
{
    const StandIn full = standInOf(ParamLines(creatorLines("0", "x")), "C:\\Temp\\MySaver.scr");
    EXPECT_EQ(full.logo, "C:\\Temp\\MySaver.scr\\Logo\\Logos.swf");
    EXPECT_EQ(full.title, "MySaver");

    std::vector<std::string> noLogo = creatorLines("0", "x");
    noLogo[2] = "";
    noLogo[3] = "My.Cool.Saver.exe";
    const StandIn named = standInOf(ParamLines(noLogo), "w");
    EXPECT_EQ(named.logo, "");
    EXPECT_EQ(named.title, "My");

    const StandIn empty = standInOf(ParamLines({"play", "5"}), "w"); // a damaged project: no lines 3 and 4
    EXPECT_EQ(empty.logo, "");
    EXPECT_EQ(empty.title, "");
}

TEST(StandIn, PicturesAreKnownByTheirExtension)
{
    for (const char* picture : {"a.png", "B.JPG", "c.jpeg", "Logo\\d.Gif", "e.bmp", "C:\\x.swf\\f.png"})
        EXPECT_TRUE(isPicture(picture)) << picture;
    for (const char* movie : {"a.swf", "png", "a.png.swf", "dir.png\\movie", "a.", "", "a.pngx"})
        EXPECT_FALSE(isPicture(movie)) << movie;
    const auto videos = [](std::vector<std::string> present) {
        return [present](const std::string& video) {
            return std::find(present.begin(), present.end(), video) != present.end();
        };
    };
    EXPECT_FALSE(anyMovieWithoutVideo({"a.png", "b.jpg"}, videos({})));
    EXPECT_TRUE(anyMovieWithoutVideo({"a.png", "b.swf"}, videos({})));
    EXPECT_FALSE(anyMovieWithoutVideo({"a.png", "b.swf", "C.SWF"}, videos({"b.avi", "C.avi"})));
    EXPECT_TRUE(anyMovieWithoutVideo({"b.swf", "c.swf"}, videos({"b.avi"})));
    EXPECT_TRUE(anyMovieWithoutVideo({"movie.spl"}, videos({"movie.avi"}))) << "only a .swf has a video";
    EXPECT_FALSE(anyMovieWithoutVideo({}, videos({})));
}

} // namespace lumo::player
