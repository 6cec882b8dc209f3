// The program's folder on Windows, from GetModuleFileNameW.
#include "os/ProgramFolder.h"

#include "hosting/SimulatedHost.h"

#include <Poco/Path.h>

#include <windows.h>

namespace actionhost {

std::string programFolder()
{
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, sizeof(buffer) / sizeof(buffer[0]));
    return Poco::Path(hosting::narrow(std::wstring(buffer, length))).parent().toString();
}

} // namespace actionhost
