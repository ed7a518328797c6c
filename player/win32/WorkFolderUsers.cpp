#include "WorkFolderUsers.h"

#include "platform/win32/Wide.h"

namespace lumo::player {

WorkFolderUsers::WorkFolderUsers(const std::string& programFileName)
{
    const std::wstring name = L"Local\\LumoScreenSaverWork-" + platform::widen(programFileName);
    m_count = CreateSemaphoreW(nullptr, 0, 0x7FFFFFFF, name.c_str());
    m_counted = m_count && ReleaseSemaphore(m_count, 1, nullptr);
}

WorkFolderUsers::~WorkFolderUsers()
{
    leave();
    if (m_count)
        CloseHandle(m_count);
}

bool WorkFolderUsers::othersUseIt() const
{
    if (!m_count)
        return false;
    // The count is read by adding one and taking it back.
    LONG before = 0;
    if (!ReleaseSemaphore(m_count, 1, &before))
        return true; // at its maximum: plenty of others
    WaitForSingleObject(m_count, 0);
    return before > (m_counted ? 1 : 0);
}

void WorkFolderUsers::leave()
{
    if (m_counted)
        WaitForSingleObject(m_count, 0);
    m_counted = false;
}

} // namespace lumo::player
