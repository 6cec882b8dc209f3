// The registry functions on Windows: the real API.
#include "platform/Platform.h"

#include <windows.h>

namespace platform {

long regOpenLocalMachineKey(const std::wstring& subKey, std::uint32_t access, RegistryKey* key)
{
    HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, access, &opened);
    if (status == ERROR_SUCCESS)
        *key = opened;
    return status;
}

long regQueryValue(RegistryKey key, const std::wstring& name, std::uint32_t* type,
                   unsigned char* data, std::uint32_t* size)
{
    DWORD valueType = type ? *type : 0;
    DWORD valueSize = size ? *size : 0;
    const LONG status = ::RegQueryValueExW(static_cast<HKEY>(key), name.c_str(), nullptr,
                                           &valueType, data, size ? &valueSize : nullptr);
    if (type)
        *type = valueType;
    if (size)
        *size = valueSize;
    return status;
}

long regCloseKey(RegistryKey key)
{
    return ::RegCloseKey(static_cast<HKEY>(key));
}

} // namespace platform
