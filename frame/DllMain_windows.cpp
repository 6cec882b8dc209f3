// Library entry point on Windows: no per-thread notifications are wanted.
#include "platform/Platform.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        platform::disableThreadLibraryCalls(module);
    return TRUE;
}
