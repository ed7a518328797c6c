#include "OwnProgramCopy.h"

#include "platform/win32/Wide.h"

namespace lumo::player {

DWORD copyOwnProgram(const std::string& programPath, const std::string& target)
{
    const std::wstring to = platform::widen(target);
    const std::wstring partial = to + L".partial-" + std::to_wstring(GetCurrentProcessId());
    // COPY_FILE_FAIL_IF_EXISTS: never through a file or link someone left under that name.
    if (!CopyFileExW(platform::widen(programPath).c_str(), partial.c_str(), nullptr, nullptr, nullptr,
                     COPY_FILE_FAIL_IF_EXISTS))
        return GetLastError();
    if (!MoveFileExW(partial.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(partial.c_str());
        return error;
    }
    return 0;
}

} // namespace lumo::player
