#include "player/core/Installer.h"

#include "platform/fake/FakeServices.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace lumo::player {

namespace {

class RecordingInstaller final : public InstallerSurface {
public:
    void setBar(int position) override
    {
        m_bar = position;
        log.push_back("bar " + std::to_string(position));
    }
    int bar() const override { return m_bar; }
    void setLicenceLines(const std::vector<std::string>& lines, const std::string& name) override
    {
        licence = lines;
        licenceName = name;
    }
    int runLicenceWindow() override
    {
        log.push_back("licence");
        return licenceResult;
    }
    Status copyProgramTo(const std::string& path) override
    {
        log.push_back("copy " + path);
        for (const std::string& folder : failing)
            if (path.rfind(folder, 0) == 0)
                return Error{"Access denied."};
        return {};
    }
    bool canElevate() const override { return elevation; }
    Status copyProgramElevated(const std::string& path) override
    {
        log.push_back("elevated copy " + path);
        return elevatedCopy;
    }
    bool askYesNo(const std::string& text) override
    {
        log.push_back("ask " + text);
        return answer;
    }
    Answer askYesNoCancel(const std::string& text) override
    {
        log.push_back("ask3 " + text);
        return threeWay;
    }
    void showError(const std::string& text) override { log.push_back("error " + text); }
    void endProgram() override { log.push_back("end"); }

    std::vector<std::string> log;
    std::vector<std::string> licence;
    std::string licenceName;
    int licenceResult = 1;
    bool answer = true;
    std::vector<std::string> failing; // copies into these folders fail
    bool elevation = false;
    Status elevatedCopy;
    Answer threeWay = Answer::Yes;

private:
    int m_bar = 0;
};

const std::string kSystem = "C:\\windows\\system32";
const std::string kAsk = "ask MySaver successfull intalled to C:\\windows\\system32. Do you want to set this "
                         "screensaver as default and open config window?";

} // namespace

class InstallerTest : public ::testing::Test {
protected:
    void install(const std::string& projectFile = "MySaver.exe")
    {
        InstallerContext context{surface, files, shell, random, dir.path(), kSystem, dir / "Programs"};
        Install(context, installTarget(ParamLines({"round", "1", "\\Logo\\Logos.swf", projectFile}), kSystem));
    }

    test::TempDir dir;
    platform::PosixFileSystem files;
    platform::FakeShell shell;
    Random random;
    RecordingInstaller surface;
};

TEST_F(InstallerTest, WithoutALicenceTheBarShowsTheFirstDrawsThenCopiesAndConfirms)
{
    install();
    EXPECT_EQ(surface.log,
              (std::vector<std::string>{"bar 0", "bar 2", "copy C:\\windows\\system32\\MySaver.scr", "bar 100", kAsk,
                                        "end"}));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].target, "rundll32.exe");
    EXPECT_EQ(shell.calls[0].parameters, "desk.cpl,InstallScreenSaver C:\\windows\\system32\\MySaver.scr");

    surface.answer = false;
    surface.log.clear();
    install("My.Cool.Saver.exe");
    EXPECT_EQ(surface.log[2], "copy C:\\windows\\system32\\My.scr");
    EXPECT_EQ(surface.log.back(), "end");
    EXPECT_EQ(shell.calls.size(), 1u) << "No starts nothing";
}

TEST_F(InstallerTest, ALicenceIsAcceptedOrDeclinedBeforeAnythingIsCopied)
{
    test::writeFile(dir / "License.txt", "Terms\r\nof use\r\n");
    install();
    EXPECT_EQ(surface.licence, (std::vector<std::string>{"Terms", "of use"}));
    EXPECT_EQ(surface.licenceName, "MySaver");
    EXPECT_EQ(surface.log,
              (std::vector<std::string>{"bar 0", "licence", "copy C:\\windows\\system32\\MySaver.scr", kAsk, "end"}));

    surface.log.clear();
    surface.licenceResult = 2;
    install();
    EXPECT_EQ(surface.log, (std::vector<std::string>{"bar 0", "licence", "end"})) << "nothing is copied";
}

TEST_F(InstallerTest, ACopyThatFailsIsSaidAndAnInstallForThisUserIsOffered)
{
    surface.failing = {kSystem};
    install("My Saver.exe");
    const std::string mine = dir / "Programs\\My Saver";
    EXPECT_EQ(
        surface.log,
        (std::vector<std::string>{"bar 0", "bar 2", "copy C:\\windows\\system32\\My Saver.scr", "bar 100",
                                  "ask My Saver could not be installed to C:\\windows\\system32: Access denied."
                                  "\n\nInstall it for you only, in "
                                      + mine + "?",
                                  "copy " + mine + "\\My Saver.scr",
                                  "ask My Saver successfull intalled to " + mine
                                      + ". Do you want to set this screensaver as default and open config window?",
                                  "end"}));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].parameters, "desk.cpl,InstallScreenSaver \"" + mine + "\\My Saver.scr\"")
        << "a path with spaces is quoted";

    // Declined, or failing there too: nothing is claimed.
    surface.log.clear();
    surface.answer = false;
    install();
    EXPECT_EQ(surface.log.back(), "end");
    EXPECT_EQ(shell.calls.size(), 1u);
    surface.log.clear();
    surface.answer = true;
    surface.failing = {kSystem, dir.path()};
    install();
    EXPECT_EQ(surface.log.end()[-2],
              "error MySaver could not be installed to " + (dir / "Programs\\MySaver") + " either: Access denied.");
    EXPECT_EQ(surface.log.back(), "end");
    EXPECT_EQ(shell.calls.size(), 1u) << "nothing set that is not there";
}

TEST_F(InstallerTest, AnAdministratorsRightsAreAskedForBeforeTheInstallForThisUser)
{
    surface.failing = {kSystem};
    surface.elevation = true;
    const std::string mine = dir / "Programs\\MySaver";
    const std::string offer
        = "ask3 MySaver could not be installed to C:\\windows\\system32: Access denied.\n\nInstall it "
          "for all users of this computer? Windows asks for an administrator's permission "
          "first.\nNo installs it for you only, in "
        + mine + ".";
    const std::string copyThere = "elevated copy C:\\windows\\system32\\MySaver.scr";

    install(); // Yes, and the elevated copy works: installed where the system keeps screensavers
    EXPECT_EQ(surface.log,
              (std::vector<std::string>{"bar 0", "bar 2", "copy C:\\windows\\system32\\MySaver.scr", "bar 100", offer,
                                        copyThere, kAsk, "end"}));

    surface.log.clear(); // Yes, but the user refused Windows' prompt: this user's folder is offered
    surface.elevatedCopy = Error{"The operation was canceled by the user."};
    install();
    EXPECT_EQ(
        std::vector<std::string>(surface.log.begin() + 4, surface.log.begin() + 7),
        (std::vector<std::string>{offer, copyThere,
                                  "ask MySaver could not be installed to C:\\windows\\system32: The operation was "
                                  "canceled by the user.\n\nInstall it for you only, in "
                                      + mine + "?"}));
    EXPECT_EQ(surface.log[7], "copy " + mine + "\\MySaver.scr");

    surface.log.clear(); // No: this user's folder at once
    surface.threeWay = InstallerSurface::Answer::No;
    install();
    EXPECT_EQ(surface.log[5], "copy " + mine + "\\MySaver.scr");

    surface.log.clear(); // Cancel: nothing more
    surface.threeWay = InstallerSurface::Answer::Cancel;
    const size_t calls = shell.calls.size();
    install();
    EXPECT_EQ(surface.log.size(), 6u);
    EXPECT_EQ(surface.log.back(), "end");
    EXPECT_EQ(shell.calls.size(), calls);
}

TEST(ElevatedCopy, OnlyAScreensaverInTheSystemFolderIsATarget)
{
    const std::string system = "C:\\Windows\\system32";
    for (const char* good : {"C:\\Windows\\system32\\MySaver.scr", "c:\\windows\\SYSTEM32\\My Saver.SCR"})
        EXPECT_TRUE(isElevatedCopyTarget(good, system)) << good;
    for (const char* bad :
         {"C:\\Windows\\system32\\MySaver.exe", "C:\\Windows\\system32\\drivers\\x.scr",
          "C:\\Windows\\system32\\..\\x.scr", "C:\\Windows\\system32.scr", "C:\\Windows\\system32\\.scr",
          "C:\\Windows\\system32x\\a.scr", "D:\\a.scr", "C:\\Windows\\system32\\a:b.scr", ""})
        EXPECT_FALSE(isElevatedCopyTarget(bad, system)) << bad;
    EXPECT_FALSE(isElevatedCopyTarget("C:\\a.scr", ""));
}

TEST_F(InstallerTest, WithoutAProjectNameNothingIsCopied)
{
    InstallerContext context{surface, files, shell, random, dir.path(), kSystem, ""};
    Install(context, installTarget(ParamLines({"round"}), kSystem));
    ASSERT_EQ(surface.log.size(), 2u);
    EXPECT_EQ(surface.log[1].rfind("error The screensaver cannot be installed", 0), 0u);
    EXPECT_FALSE(installTarget(ParamLines({"", "", "", ".exe"}), kSystem)) << "a name that is only an extension";
    EXPECT_EQ(installerCaption(installTarget(ParamLines({"", "", "", "Saver"}), kSystem)->screensaverName),
              "Installer for Saver");
}

} // namespace lumo::player
