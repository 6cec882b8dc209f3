// On Windows the library calls the real API; the host makes the simulated
// world real for it: the registry through RegOverridePredefKey, drives, a
// missing command processor and registry values with answers of their own
// by redirecting the library's imports of those functions.
#include "hosting/World.h"

#include "hosting/ActionLibrary.h"
#include "hosting/SimulatedHost.h"
#include "platform/DriveConfig.h"
#include "platform/RegistryFile.h"

#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <stdexcept>

namespace hosting {

namespace {

std::mutex activeGuard;
bool active = false;
// The drive configuration the redirected imports answer from.
std::string activeDrives;

UINT WINAPI simulatedGetDriveType(LPCWSTR root)
{
    std::lock_guard<std::mutex> lock(activeGuard);
    platform::DriveEntry drive;
    if (root == nullptr || !platform::findDrive(activeDrives, root, drive, "simulated drives"))
        return DRIVE_NO_ROOT_DIR;
    return drive.type;
}

BOOL WINAPI simulatedGetDiskFreeSpaceEx(LPCWSTR root, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER totalBytes,
                                        PULARGE_INTEGER totalFree)
{
    platform::DriveEntry drive;
    {
        std::lock_guard<std::mutex> lock(activeGuard);
        if (root == nullptr || !platform::findDrive(activeDrives, root, drive, "simulated drives"))
            drive = platform::DriveEntry();
    }
    if (drive.type == DRIVE_NO_ROOT_DIR || drive.type == DRIVE_UNKNOWN ||
        (!drive.fixedBytes && drive.directory.empty())) {
        ::SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (!drive.fixedBytes)
        return ::GetDiskFreeSpaceExW(widen(drive.directory).c_str(), freeToCaller, totalBytes, totalFree);
    for (PULARGE_INTEGER out : {freeToCaller, totalBytes, totalFree}) {
        if (out != nullptr)
            out->QuadPart = drive.freeBytes;
    }
    return TRUE;
}

// The slot of a module's import address table that holds the named function.
void** importSlot(HMODULE module, const char* function)
{
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;
    for (const IMAGE_IMPORT_DESCRIPTOR* library =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
        if (library->OriginalFirstThunk == 0)
            continue;  // bound without names: nothing to match
        const IMAGE_THUNK_DATA* name = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; name->u1.AddressOfData != 0; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            const IMAGE_IMPORT_BY_NAME* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slot->u1.Function);
        }
    }
    return nullptr;
}

void writeSlot(void** slot, void* value)
{
    DWORD old = 0;
    if (!::VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old))
        throw std::runtime_error("cannot make an import table entry writable");
    *slot = value;
    DWORD ignored = 0;
    ::VirtualProtect(slot, sizeof(void*), old, &ignored);
}

// The C runtime's command processor on a machine that has none: asked
// whether there is one, it answers 0; a command it cannot run.
int __cdecl simulatedNoCommandProcessor(const wchar_t* command)
{
    if (command == nullptr)
        return 0;
    errno = ENOENT;
    return -1;
}

// Points one import of a module elsewhere until destroyed. A module that
// does not import the function is left alone: it cannot ask for it.
class ImportRedirection {
public:
    ImportRedirection(HMODULE module, const char* function, void* replacement)
        : slot_(importSlot(module, function))
    {
        if (slot_ != nullptr) {
            original_ = *slot_;
            writeSlot(slot_, replacement);
        }
    }
    bool redirected() const { return slot_ != nullptr; }
    ~ImportRedirection()
    {
        if (slot_ != nullptr)
            writeSlot(slot_, original_);
    }
    ImportRedirection(const ImportRedirection&) = delete;
    ImportRedirection& operator=(const ImportRedirection&) = delete;

private:
    void** slot_;
    void* original_ = nullptr;
};

// Values that answer their queries otherwise than the registry would, by
// key path below HKEY_LOCAL_MACHINE, and the keys the library opened on them.
platform::RegistryKeys simulatedValues;
std::map<HKEY, const platform::RegistryValues*> openSimulatedKeys;

LONG WINAPI simulatedRegOpenKeyEx(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY opened)
{
    const LONG status = ::RegOpenKeyExW(root, subKey, options, access, opened);
    if (status == ERROR_SUCCESS && root == HKEY_LOCAL_MACHINE && subKey != nullptr && opened != nullptr) {
        std::lock_guard<std::mutex> lock(activeGuard);
        const auto found = simulatedValues.find(subKey);
        if (found != simulatedValues.end())
            openSimulatedKeys[*opened] = &found->second;
    }
    return status;
}

LONG WINAPI simulatedRegQueryValueEx(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                     LPDWORD size)
{
    const platform::RegistryValue* simulated = nullptr;
    {
        std::lock_guard<std::mutex> lock(activeGuard);
        const auto open = openSimulatedKeys.find(key);
        if (open != openSimulatedKeys.end()) {
            const auto value = open->second->find(name != nullptr ? name : L"");
            if (value != open->second->end())
                simulated = &value->second;
        }
    }
    if (simulated == nullptr)
        return ::RegQueryValueExW(key, name, reserved, type, data, size);
    std::uint32_t valueType = 0;
    std::uint32_t valueSize = size != nullptr ? *size : 0;
    const long status = platform::answerQuery(*simulated, simulated->data, &valueType, data,
                                              size != nullptr ? &valueSize : nullptr);
    if (type != nullptr)
        *type = valueType;
    if (size != nullptr)
        *size = valueSize;
    return status;
}

LONG WINAPI simulatedRegCloseKey(HKEY key)
{
    {
        std::lock_guard<std::mutex> lock(activeGuard);
        openSimulatedKeys.erase(key);
    }
    return ::RegCloseKey(key);
}

// One key per process and no shared parent: processes that start and end
// their worlds at once (test -j) never touch each other's keys.
std::wstring scratchKeyPath(unsigned long processId)
{
    return L"Software\\InstallerActionsScratch-" + std::to_wstring(processId);
}

void check(LONG status, const std::string& what)
{
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("simulated registry: cannot " + what + " (error " + std::to_string(status) + ")");
}

// HKEY_LOCAL_MACHINE, for this process, is a scratch key below
// HKEY_CURRENT_USER filled from the export text.
class ScratchRegistry {
public:
    explicit ScratchRegistry(const platform::RegistryKeys& keys)
    {
        removeScratchRegistry(::GetCurrentProcessId());
        check(::RegCreateKeyExW(HKEY_CURRENT_USER, scratchKeyPath(::GetCurrentProcessId()).c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &root_, nullptr),
              "create the scratch key");
        try {
            for (const auto& key : keys) {
                HKEY opened = nullptr;
                check(::RegCreateKeyExW(root_, key.first.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                                        nullptr),
                      "create key " + narrow(key.first));
                LONG status = ERROR_SUCCESS;
                for (const auto& value : key.second) {
                    // A text that ends without its terminator is followed
                    // here by no zero unit: the registry would count one in
                    // (Windows and Wine both do).
                    std::vector<unsigned char> padded = value.second.data;
                    padded.insert(padded.end(), {0xFF, 0xFF, 0xFF});
                    status = ::RegSetValueExW(opened, value.first.c_str(), 0, value.second.type,
                                              value.second.data.empty() ? nullptr : padded.data(),
                                              static_cast<DWORD>(value.second.data.size()));
                    if (status != ERROR_SUCCESS)
                        break;
                }
                ::RegCloseKey(opened);
                check(status, "set a value of " + narrow(key.first));
            }
            check(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, root_), "map HKEY_LOCAL_MACHINE");
        } catch (...) {
            release();
            throw;
        }
    }
    ~ScratchRegistry()
    {
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        release();
    }
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

private:
    void release()
    {
        ::RegCloseKey(root_);
        removeScratchRegistry(::GetCurrentProcessId());
    }

    HKEY root_ = nullptr;
};

} // namespace

class SimulatedWorld::Impl {
public:
    Impl(const ActionLibrary* library, const WorldModel& world)
    {
        if (world.hasDrives) {
            if (library == nullptr)
                throw std::logic_error("simulated drives need the library whose queries they answer");
            HMODULE module = static_cast<HMODULE>(library->handle());
            activeDrives = world.drives;
            driveType_.reset(new ImportRedirection(module, "GetDriveTypeW",
                                                   reinterpret_cast<void*>(&simulatedGetDriveType)));
            freeSpace_.reset(new ImportRedirection(module, "GetDiskFreeSpaceExW",
                                                   reinterpret_cast<void*>(&simulatedGetDiskFreeSpaceEx)));
        }
        if (world.hasRegistry) {
            const platform::RegistryKeys keys = platform::parseRegistryExport(world.registry);
            registry_.reset(new ScratchRegistry(keys));
            simulateQueries(library, keys);
        }
        if (!world.commandProcessor) {
            if (library == nullptr)
                throw std::logic_error("a machine without a command processor needs the library that asks");
            commandProcessor_.reset(new ImportRedirection(static_cast<HMODULE>(library->handle()), "_wsystem",
                                                          reinterpret_cast<void*>(&simulatedNoCommandProcessor)));
            // A library that does not import it would find the real one.
            if (!commandProcessor_->redirected())
                throw std::runtime_error("no command processor: the library does not import _wsystem");
        }
    }

private:
    // The values that name answers of their own are answered by the
    // library's redirected registry imports; the rest by the registry.
    void simulateQueries(const ActionLibrary* library, const platform::RegistryKeys& keys)
    {
        platform::RegistryKeys simulated;
        for (const auto& key : keys) {
            for (const auto& value : key.second) {
                if (value.second.simulatesQueries())
                    simulated[key.first][value.first] = value.second;
            }
        }
        if (simulated.empty())
            return;
        if (library == nullptr)
            throw std::logic_error("registry values with answers of their own need the library that asks");
        {
            std::lock_guard<std::mutex> lock(activeGuard);
            simulatedValues = simulated;
        }
        HMODULE module = static_cast<HMODULE>(library->handle());
        openKey_.reset(new ImportRedirection(module, "RegOpenKeyExW", reinterpret_cast<void*>(&simulatedRegOpenKeyEx)));
        queryValue_.reset(
            new ImportRedirection(module, "RegQueryValueExW", reinterpret_cast<void*>(&simulatedRegQueryValueEx)));
        closeKey_.reset(new ImportRedirection(module, "RegCloseKey", reinterpret_cast<void*>(&simulatedRegCloseKey)));
        if (!openKey_->redirected() || !queryValue_->redirected())
            throw std::runtime_error("registry values with answers of their own: the library does not import "
                                     "RegOpenKeyExW and RegQueryValueExW");
    }

    std::unique_ptr<ImportRedirection> openKey_;
    std::unique_ptr<ImportRedirection> queryValue_;
    std::unique_ptr<ImportRedirection> closeKey_;
    std::unique_ptr<ImportRedirection> driveType_;
    std::unique_ptr<ImportRedirection> freeSpace_;
    std::unique_ptr<ScratchRegistry> registry_;
    std::unique_ptr<ImportRedirection> commandProcessor_;
};

SimulatedWorld::SimulatedWorld(const ActionLibrary* library, const WorldModel& world)
{
    {
        std::lock_guard<std::mutex> lock(activeGuard);
        if (active)
            throw std::logic_error("only one simulated world may live at a time");
        active = true;
    }
    try {
        impl_.reset(new Impl(library, world));
    } catch (...) {
        std::lock_guard<std::mutex> lock(activeGuard);
        active = false;
        throw;
    }
}

SimulatedWorld::~SimulatedWorld()
{
    impl_.reset();
    std::lock_guard<std::mutex> lock(activeGuard);
    activeDrives.clear();
    simulatedValues.clear();
    openSimulatedKeys.clear();
    active = false;
}

void removeScratchRegistry(unsigned long processId)
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, scratchKeyPath(processId).c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, scratchKeyPath(processId).c_str());  // the key itself, where the tree call left it
}

} // namespace hosting
