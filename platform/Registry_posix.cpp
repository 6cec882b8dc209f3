// Registry stand-in for builds without Windows: HKEY_LOCAL_MACHINE is read
// from the registry-export file named by the environment variable
// COBRINTH_REGISTRY, anew on every key opened, and answers queries as the
// wide API would, in this build's width of wchar_t. Without the variable, or
// with an unreadable file, the registry is empty.
#include "platform/Platform.h"
#include "platform/RegistryFile.h"

#include <cstdlib>

namespace platform {

namespace {

struct OpenKey {
    RegistryValues values;
};

} // namespace

long regOpenLocalMachineKey(const std::wstring& subKey, std::uint32_t, RegistryKey* key)
{
    const char* file = std::getenv("COBRINTH_REGISTRY");
    if (file == nullptr)
        return kErrorFileNotFound;
    RegistryKeys keys = loadRegistryExport(file);
    auto found = keys.find(subKey);
    if (found == keys.end())
        return kErrorFileNotFound;
    *key = new OpenKey{found->second};
    return kErrorSuccess;
}

long regQueryValue(RegistryKey key, const std::wstring& name, std::uint32_t* type,
                   unsigned char* data, std::uint32_t* size)
{
    if (key == nullptr)
        return kErrorInvalidHandle;
    const RegistryValues& values = static_cast<OpenKey*>(key)->values;
    auto found = values.find(name);
    if (found == values.end())
        return kErrorFileNotFound;
    return answerQuery(found->second, nativeWideBytes(found->second.data), type, data, size);
}

long regCloseKey(RegistryKey key)
{
    if (key == nullptr)
        return kErrorInvalidHandle;
    delete static_cast<OpenKey*>(key);
    return kErrorSuccess;
}

} // namespace platform
