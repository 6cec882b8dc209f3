// Registry stand-in for builds without Windows: HKEY_LOCAL_MACHINE is read
// from the registry-export file named by the environment variable
// COBRINTH_REGISTRY, anew on every key opened. Without the variable, or with
// an unreadable file, the registry is empty.
#include "platform/Platform.h"
#include "platform/RegistryFile.h"

#include <cstdlib>
#include <cstring>

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
    const std::vector<unsigned char>& bytes = found->second.data;
    if (type)
        *type = found->second.type;
    if (size == nullptr)
        return data == nullptr ? kErrorSuccess : kErrorInvalidHandle;
    if (data == nullptr) {
        *size = static_cast<std::uint32_t>(bytes.size());
        return kErrorSuccess;
    }
    if (*size < bytes.size()) {
        *size = static_cast<std::uint32_t>(bytes.size());
        return kErrorMoreData;
    }
    if (!bytes.empty())
        std::memcpy(data, bytes.data(), bytes.size());
    *size = static_cast<std::uint32_t>(bytes.size());
    return kErrorSuccess;
}

long regCloseKey(RegistryKey key)
{
    if (key == nullptr)
        return kErrorInvalidHandle;
    delete static_cast<OpenKey*>(key);
    return kErrorSuccess;
}

} // namespace platform
