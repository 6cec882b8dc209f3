// The Windows functions the actions call, behind one interface. On Windows
// each call goes to the real API; elsewhere to a stand-in with the same
// contract (see the README for how the stand-ins are configured).
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// UTF-8 <-> wide conversion with the contract of WideCharToMultiByte /
// MultiByteToWideChar on code page 65001, no flags, source length -1: the
// source is read up to its terminator. With dst null (or dstUnits 0) the
// result is the number of code units needed including the terminator;
// otherwise the units written including the terminator. 0 on failure.
int wideToUtf8(const wchar_t* src, char* dst, int dstUnits);
int utf8ToWide(const char* src, wchar_t* dst, int dstUnits);

// Drive types as GetDriveTypeW reports them.
enum DriveType {
    kDriveUnknown = 0,
    kDriveNoRootDir = 1,
    kDriveRemovable = 2,
    kDriveFixed = 3,
    kDriveRemote = 4,
    kDriveCdRom = 5,
    kDriveRamDisk = 6
};

// GetDriveTypeW for a root such as "C:".
unsigned getDriveType(const std::wstring& root);

// GetDiskFreeSpaceExW: true on success with the three byte counts filled.
bool getDiskFreeSpace(const std::wstring& root, std::uint64_t& freeToCaller,
                      std::uint64_t& totalBytes, std::uint64_t& totalFree);

// The registry, with the contracts of RegOpenKeyExW / RegQueryValueExW /
// RegCloseKey: results are Windows error codes (0 success), sizes are bytes.
typedef void* RegistryKey;
const std::uint32_t kRegSz = 1;
const std::uint32_t kKeyRead = 0x20019;
const std::uint32_t kKeyWow64_64Key = 0x0100;
const long kErrorSuccess = 0;
const long kErrorFileNotFound = 2;
const long kErrorInvalidHandle = 6;
const long kErrorMoreData = 234;

// Opens a key below HKEY_LOCAL_MACHINE.
long regOpenLocalMachineKey(const std::wstring& subKey, std::uint32_t access, RegistryKey* key);
// With data null, reports the value's size in bytes in *size.
long regQueryValue(RegistryKey key, const std::wstring& name, std::uint32_t* type,
                   unsigned char* data, std::uint32_t* size);
long regCloseKey(RegistryKey key);

// The C runtime's system(): with a null command, nonzero when a command
// processor is available; otherwise the command's exit status, -1 when the
// processor could not be started.
int runSystemCommand(const char* command);

// Replaces the command processor behind runSystemCommand (null restores the
// real one). For hosts and tests that must run without a shell.
typedef int (*SystemCommandFunction)(const char* command);
void setSystemCommandFunction(SystemCommandFunction function);

// True where files are opened through the extended-length form of their
// path ("\\?\C:\..."): Windows. Elsewhere paths are used as given.
bool usesExtendedLengthPaths();

// Called from the library entry point when the library is loaded.
void disableThreadLibraryCalls(void* module);

} // namespace platform
