#include "Win32Services.h"

#include "Wide.h"

#include <windows.h>

#include <mmsystem.h>
#include <shellapi.h>

#include <vector>

namespace lumo::platform {

std::optional<std::string> Win32Environment::variable(const std::string& name) const
{
    const std::wstring wideName = widen(name);
    const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0)
        return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt : std::optional<std::string>("");
    std::wstring value(size, L'\0');
    const DWORD n = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    value.resize(n);
    return narrow(value);
}

std::string Win32Environment::currentFolder() const
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring value(size, L'\0');
    value.resize(GetCurrentDirectoryW(size, value.data()));
    return narrow(value);
}

std::string Win32Environment::longPathName(const std::string& path) const
{
    const std::wstring wide = widen(path);
    const DWORD size = GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (size == 0)
        return path;
    std::wstring value(size, L'\0');
    value.resize(GetLongPathNameW(wide.c_str(), value.data(), size));
    return narrow(value);
}

std::string Win32Environment::programPath() const
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string Win32Environment::windowsFolder() const
{
    wchar_t buffer[MAX_PATH];
    const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    return n && n < MAX_PATH ? narrow(std::wstring_view(buffer, n)) : std::string();
}

std::string Win32Environment::systemFolder() const
{
    wchar_t buffer[MAX_PATH];
    const UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
    return n && n < MAX_PATH ? narrow(std::wstring_view(buffer, n)) : std::string();
}

Result<std::optional<std::string>> Win32Registry::readString(std::string_view key, std::string_view name)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return std::optional<std::string>();
    const std::wstring wideName = widen(name);
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(handle, wideName.c_str(), nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS) {
        RegCloseKey(handle);
        return std::optional<std::string>();
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        RegCloseKey(handle);
        return invalidDataType(name);
    }
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    rc = RegQueryValueExW(handle, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    RegCloseKey(handle);
    if (rc != ERROR_SUCCESS)
        return std::optional<std::string>();
    return std::optional<std::string>(narrow(buffer.data()));
}

Status Win32Registry::writeString(std::string_view key, std::string_view name, std::string_view value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr)
        != ERROR_SUCCESS)
        return failedToCreateKey(key);
    const std::wstring wide = widen(value);
    const LONG rc = RegSetValueExW(handle, widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    if (rc != ERROR_SUCCESS)
        return failedToSetData(name);
    return {};
}

bool Win32Registry::keyExists(std::string_view key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

bool Win32Presence::isPresent(std::string_view windowClass)
{
    return FindWindowW(widen(windowClass).c_str(), nullptr) != nullptr;
}

std::unique_ptr<PresenceClaim> Win32Presence::claim(std::string_view)
{
    return std::make_unique<PresenceClaim>();
}

Result<std::string_view> Win32ProgramResources::rawData(const std::string& name)
{
    // RT_RCDATA
    HRSRC found = FindResourceW(nullptr, widen(name).c_str(), MAKEINTRESOURCEW(10));
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return resourceNotFound(name);
    return std::string_view(static_cast<const char*>(bytes), SizeofResource(nullptr, found));
}

bool Win32Shell::open(const std::string& target, const std::string& parameters, const std::string& workingFolder)
{
    const std::wstring file = widen(target);
    const std::wstring params = widen(parameters);
    const std::wstring folder = widen(workingFolder);
    const HINSTANCE rc = ShellExecuteW(nullptr, L"open", file.c_str(), params.empty() ? nullptr : params.c_str(),
                                       folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(rc) > 32;
}

Win32WaveOut::Win32WaveOut()
{
    const UINT count = waveOutGetNumDevs();
    for (UINT i = 0; i < count; ++i) {
        WAVEOUTCAPSW caps{};
        if (waveOutGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR && (caps.dwSupport & WAVECAPS_VOLUME)) {
            m_device = static_cast<int>(i);
            break;
        }
    }
    if (m_device < 0)
        return;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100 * 4;
    HWAVEOUT handle = nullptr;
    if (waveOutOpen(&handle, static_cast<UINT>(m_device), &format, 0, 0, CALLBACK_NULL) == MMSYSERR_NOERROR)
        m_handle = handle;
}

Win32WaveOut::~Win32WaveOut()
{
    if (m_handle)
        waveOutClose(static_cast<HWAVEOUT>(m_handle));
}

void Win32WaveOut::setVolume(std::uint32_t level)
{
    if (m_device < 0)
        return;
    const auto target
        = m_handle ? static_cast<HWAVEOUT>(m_handle) : reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(m_device));
    waveOutSetVolume(target, level);
}

std::optional<std::uint32_t> Win32WaveOut::level() const
{
    if (m_device < 0)
        return std::nullopt;
    const auto target
        = m_handle ? static_cast<HWAVEOUT>(m_handle) : reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(m_device));
    DWORD value = 0;
    if (waveOutGetVolume(target, &value) != MMSYSERR_NOERROR)
        return std::nullopt;
    return value;
}

} // namespace lumo::platform
