// The Win32 implementations of the platform layer, with the shared routines on top of them, on a
// real (Wine) Windows.
#include "common/DeleteFolderTree.h"
#include "common/TempFolder.h"
#include "common/WaveMute.h"
#include "platform/Host.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Services.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace lumo::platform {

namespace {

std::string uniqueName(const char* stem)
{
    return std::string(stem) + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
}

class ScratchFolder {
public:
    ScratchFolder()
        : m_path(temporaryFolder(hostEnvironment()) + "\\" + uniqueName("lumo-"))
    {
        hostFileSystem().createFolder(m_path);
    }
    ~ScratchFolder() { DeleteFolderTree(hostFileSystem(), m_path, true, false, true); }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace

TEST(Win32Registry, ReadsWritesAndRefusesNonStringValues)
{
    Registry& registry = hostRegistry();
    const std::string key = "Software\\LumoTests\\" + uniqueName("run");
    EXPECT_FALSE(registry.keyExists(key));
    EXPECT_FALSE(registry.readString(key, "MuteSound")->has_value());
    ASSERT_TRUE(registry.writeString(key, "MuteSound", "1"));
    EXPECT_TRUE(registry.keyExists(key));
    EXPECT_EQ(**registry.readString(key, "mutesound"), "1");
    ASSERT_TRUE(registry.writeString(key, "Text", "caf\xC3\xA9"));
    EXPECT_EQ(**registry.readString(key, "Text"), "caf\xC3\xA9");

    HKEY handle = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, KEY_ALL_ACCESS, &handle), ERROR_SUCCESS);
    const DWORD number = 5;
    RegSetValueExW(handle, L"dw", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(handle);
    Result<std::optional<std::string>> read = registry.readString(key, "dw");
    ASSERT_FALSE(read);
    EXPECT_EQ(read.message(), "Invalid data type for 'dw'");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\LumoTests");
}

TEST(Win32FileSystem, WritesAtomicallyAndReportsFailures)
{
    ScratchFolder folder;
    FileSystem& files = hostFileSystem();
    ASSERT_TRUE(files.writeFileAtomically(folder / "a.lis", "one\r\n"));
    ASSERT_TRUE(files.writeFileAtomically(folder / "a.lis", "two\r\n"));
    EXPECT_EQ(*files.readFile(folder / "a.lis"), "two\r\n");
    const auto entries = files.list(folder.path());
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1u) << "no temporary file is left";

    {
        Result<std::unique_ptr<OutputFile>> dropped = files.replaceFile(folder / "a.lis");
        ASSERT_TRUE(dropped);
        ASSERT_TRUE((*dropped)->write("half"));
    }
    EXPECT_EQ(files.list(folder.path())->size(), 1u) << "a dropped file leaves nothing behind";
    Result<std::unique_ptr<OutputFile>> patched = files.replaceFile(folder / "a.lis");
    ASSERT_TRUE(patched);
    ASSERT_TRUE((*patched)->write("three"));
    ASSERT_TRUE((*patched)->writeAt(0, "T"));
    ASSERT_TRUE((*patched)->write("!"));
    ASSERT_TRUE((*patched)->close());
    EXPECT_EQ(*files.readFile(folder / "a.lis"), "Three!");

    Status failed = files.writeFileAtomically(folder / "missing\\a.lis", "x");
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.message().rfind("Cannot create file \"" + (folder / "missing\\a.lis") + "\". ", 0), 0u);
    EXPECT_EQ(files.readFile(folder / "none").message().rfind("Cannot open file \"", 0), 0u);
}

// That a held folder cannot be renamed away is Windows' share-mode rule, which Wine does not apply
// to folders; here the held folders are tried for what they do.
TEST(Win32FileSystem, HeldFoldersMakeFoldersAndFilesBelowThem)
{
    ScratchFolder folder;
    FileSystem& files = hostFileSystem();
    Result<std::unique_ptr<FolderHandle>> root = files.openFolder(folder.path());
    ASSERT_TRUE(root) << root.message();
    Result<std::unique_ptr<FolderHandle>> sub = (*root)->openFolder("sub");
    ASSERT_TRUE(sub) << sub.message();
    EXPECT_TRUE(files.isFolder(folder / "sub"));
    Result<std::unique_ptr<OutputFile>> out = (*sub)->replaceFile("a.txt");
    ASSERT_TRUE(out);
    ASSERT_TRUE((*out)->write("abc"));
    ASSERT_TRUE((*out)->close());
    EXPECT_TRUE((*sub)->exists("a.txt"));
    EXPECT_EQ(*files.readFile(folder / "sub\\a.txt"), "abc");
    // A file where a folder should be is no folder.
    ASSERT_TRUE(files.writeFileAtomically(folder / "plain", "x"));
    const Result<std::unique_ptr<FolderHandle>> plain = (*root)->openFolder("plain");
    ASSERT_FALSE(plain);
    EXPECT_EQ(plain.message().rfind("Cannot create file \"" + (folder / "plain") + "\". ", 0), 0u) << plain.message();
}

TEST(Win32FileSystem, DeleteFolderTreeClearsReadOnlyHiddenAndSystemEntries)
{
    ScratchFolder folder;
    FileSystem& files = hostFileSystem();
    const std::string work = folder / "MySaver.scr";
    ASSERT_TRUE(files.createFolder(work));
    ASSERT_TRUE(files.createFolder(work + "\\Logo"));
    ASSERT_TRUE(files.writeFileAtomically(work + "\\Logo\\Logos.swf", "l"));
    ASSERT_TRUE(files.writeFileAtomically(work + "\\param.lis", "p"));
    SetFileAttributesW(widen(work + "\\Logo\\Logos.swf").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(widen(work + "\\param.lis").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesW(widen(work + "\\Logo").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    // Without clearing, the read-only files stay, and so does the folder.
    EXPECT_FALSE(DeleteFolderTree(files, work, false, false, true));
    EXPECT_TRUE(files.exists(work + "\\param.lis"));

    EXPECT_TRUE(DeleteFolderTree(files, work + "\\", true, false, true));
    EXPECT_FALSE(files.exists(work));
    EXPECT_FALSE(DeleteFolderTree(files, work, true, false, true)) << "a missing folder";
}

TEST(Win32Environment, TemporaryFolderTakesTempOnlyWhenTmpIsSetToo)
{
    Environment& environment = hostEnvironment();
    const std::optional<std::string> tmp = environment.variable("TMP");
    const std::optional<std::string> temp = environment.variable("TEMP");
    ScratchFolder folder;

    SetEnvironmentVariableW(L"TMP", L"C:\\ignored");
    SetEnvironmentVariableW(L"TEMP", widen(folder.path() + "\\").c_str());
    EXPECT_EQ(temporaryFolder(environment), folder.path());

    SetEnvironmentVariableW(L"TMP", nullptr);
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    std::string expected = narrow(current);
    while (expected.size() > 1 && expected.back() == '\\')
        expected.pop_back();
    EXPECT_EQ(temporaryFolder(environment), expected);

    SetEnvironmentVariableW(L"TMP", tmp ? widen(*tmp).c_str() : nullptr);
    SetEnvironmentVariableW(L"TEMP", temp ? widen(*temp).c_str() : nullptr);
}

TEST(Win32Presence, FindsATopLevelWindowByItsClass)
{
    WindowPresence& presence = hostWindowPresence();
    const std::wstring className = L"TLumoProbeFrm" + std::to_wstring(GetCurrentProcessId());
    const std::string narrowName = narrow(className);
    EXPECT_FALSE(presence.isPresent(narrowName));
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className.c_str();
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND window = CreateWindowExW(0, className.c_str(), L"", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(presence.isPresent(narrowName)) << "hidden windows count too";
    DestroyWindow(window);
    EXPECT_FALSE(presence.isPresent(narrowName));
}

TEST(Win32WaveOut, SetWaveMuteSetsTheFirstDeviceWithVolumeControl)
{
    Win32WaveOut output;
    if (!output.hasVolumeControl())
        GTEST_SKIP() << "no wave-output device with volume control here";
    SetWaveMute(output, true);
    EXPECT_EQ(output.level(), 0u);
    SetWaveMute(output, false);
    EXPECT_EQ(output.level(), 0xFE00FE00u);
}

} // namespace lumo::platform
