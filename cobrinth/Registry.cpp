// One string value read below HKEY_LOCAL_MACHINE, the key closed on every path.
#include "Registry.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

namespace {

const std::uint64_t kLargestBuffer = 0x80000000ull;

// Closes the key on every path out of the reader.
class ScopedRegistryKey {
public:
    ScopedRegistryKey() : key_(nullptr) {}
    ~ScopedRegistryKey()
    {
        if (key_ != nullptr)
            platform::regCloseKey(key_);
    }
    ScopedRegistryKey(const ScopedRegistryKey&) = delete;
    ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

    platform::RegistryKey* out() { return &key_; }
    platform::RegistryKey get() const { return key_; }

private:
    platform::RegistryKey key_;
};

} // namespace

bool ReadValueFromRegistry(std::wstring keyPath, std::wstring valueName, std::wstring& value, std::wstring& error)
{
    ScopedRegistryKey key;
    if (platform::regOpenLocalMachineKey(keyPath, platform::kKeyRead | platform::kKeyWow64_64Key, key.out()) !=
        platform::kErrorSuccess) {
        error = L"ReadValueFromRegistry:: failed to open registry key !";
        return false;
    }
    // The type starts as REG_SZ and is not examined: any type is read as text.
    std::uint32_t type = platform::kRegSz;
    std::uint32_t size = 0;
    if (platform::regQueryValue(key.get(), valueName, &type, nullptr, &size) != platform::kErrorSuccess) {
        error = L"ReadValueFromRegistry:: failed to query register value at 1st time!";
        return false;
    }
    if (size == 0) {
        error = L"ReadValueFromRegistry:: succeeded in retrieving value,but its value is empty!";
        return false;
    }
    // Counted in 64 bits: in 32 bits the largest size would round up to no
    // units at all, and the second query would write past an empty buffer.
    // The host is a 32-bit process, where no buffer of 2 GiB can be had; no
    // build asks for one. Counted in characters, which the registry's sizes
    // give alike in every build, so that every build answers a size alike.
    const std::uint64_t units = (static_cast<std::uint64_t>(size) + sizeof(wchar_t) - 1) / sizeof(wchar_t);
    std::unique_ptr<wchar_t[]> buffer;
    if (units < kLargestBuffer / 2)
        buffer.reset(new (std::nothrow) wchar_t[static_cast<std::size_t>(units)]);
    if (!buffer) {
        error = L"ReadValueFromRegistry:: retrieved null buffer at 2nd time!";
        return false;
    }
    if (platform::regQueryValue(key.get(), valueName, &type, reinterpret_cast<unsigned char*>(buffer.get()), &size) !=
        platform::kErrorSuccess) {
        error = L"ReadValueFromRegistry:: failed to query register value at 2nd time!";
        return false;
    }
    // The value may lack its terminator: read no further than the bytes returned.
    const std::size_t returned = static_cast<std::size_t>(std::min<std::uint64_t>(size / sizeof(wchar_t), units));
    std::size_t length = 0;
    while (length < returned && buffer[length] != L'\0')
        ++length;
    value.assign(buffer.get(), length);
    return true;
}
