// UTF-8 <-> the wide strings of the Windows API (wchar_t is UTF-16 there).
#pragma once

#include "../Utf16.h"

#include <string>

namespace lumo::platform {

inline std::wstring widen(std::string_view text)
{
    const std::u16string u = utf8ToUtf16(text);
    return std::wstring(u.begin(), u.end());
}

inline std::string narrow(std::wstring_view text)
{
    return utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

// The system's message text for a Win32 error code.
std::string win32ErrorText(unsigned long error);

} // namespace lumo::platform
