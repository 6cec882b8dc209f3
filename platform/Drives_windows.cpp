// The drive functions on Windows: the real API.
#include "platform/Platform.h"

#include <windows.h>

namespace platform {

unsigned getDriveType(const std::wstring& root)
{
    return ::GetDriveTypeW(root.c_str());
}

bool getDiskFreeSpace(const std::wstring& root, std::uint64_t& freeToCaller,
                      std::uint64_t& totalBytes, std::uint64_t& totalFree)
{
    ULARGE_INTEGER caller, total, free;
    if (!::GetDiskFreeSpaceExW(root.c_str(), &caller, &total, &free))
        return false;
    freeToCaller = caller.QuadPart;
    totalBytes = total.QuadPart;
    totalFree = free.QuadPart;
    return true;
}

} // namespace platform
