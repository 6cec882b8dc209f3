// The code-page conversions, DisableThreadLibraryCalls and the path form on Windows: the real API.
#include "platform/Platform.h"

#include <windows.h>

namespace platform {

int wideToUtf8(const wchar_t* src, char* dst, int dstUnits)
{
    return ::WideCharToMultiByte(CP_UTF8, 0, src, -1, dst, dst ? dstUnits : 0, nullptr, nullptr);
}

int utf8ToWide(const char* src, wchar_t* dst, int dstUnits)
{
    return ::MultiByteToWideChar(CP_UTF8, 0, src, -1, dst, dst ? dstUnits : 0);
}

void disableThreadLibraryCalls(void* module)
{
    ::DisableThreadLibraryCalls(static_cast<HMODULE>(module));
}

} // namespace platform

namespace platform {

bool usesExtendedLengthPaths()
{
    return true;
}

} // namespace platform
