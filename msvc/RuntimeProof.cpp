// The runtime proof: which C++ runtime this process really loaded, and who made it.
#include "RuntimeProof.h"

#include <cstdint>
#include <exception>  // strlen, as Visual C++'s headers declare it

extern "C" {
int __stdcall GetModuleHandleExW(unsigned long flags, const void* address, void** module);
void* __stdcall GetModuleHandleW(const wchar_t* name);
void* __stdcall GetProcAddress(void* module, const char* name);
unsigned long __stdcall GetModuleFileNameW(void* module, wchar_t* path, unsigned long size);
unsigned long __stdcall GetEnvironmentVariableA(const char* name, char* value, unsigned long size);
unsigned long __stdcall GetFileVersionInfoSizeW(const wchar_t* path, unsigned long* handle);
int __stdcall GetFileVersionInfoW(const wchar_t* path, unsigned long handle, unsigned long size, void* data);
int __stdcall VerQueryValueW(const void* block, const wchar_t* item, void** value, unsigned* size);
int __cdecl strcmp(const char* a, const char* b);

// The import address table's slots of this module, filled by the loader.
extern void* const throwImport __asm__("__imp___CxxThrowException@8");
extern void* const frameHandlerImport __asm__("__imp____CxxFrameHandler3");
extern void* const mallocImport __asm__("__imp__malloc");
}

namespace msvc {

namespace {

const unsigned long kFromAddress = 4;       // GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS
const unsigned long kUnchangedRefcount = 2; // GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT

void* moduleOf(const void* address)
{
    void* module = nullptr;
    if (address == nullptr || !GetModuleHandleExW(kFromAddress | kUnchangedRefcount, address, &module))
        return nullptr;
    return module;
}

// Wine writes this after the DOS header of every builtin DLL.
bool wineBuiltin(const void* module)
{
    static const char kMarker[] = "Wine builtin DLL";
    const char* header = static_cast<const char*>(module) + 0x40;
    for (std::size_t i = 0; i < sizeof(kMarker); ++i)
        if (header[i] != kMarker[i])
            return false;
    return true;
}

// Up to count code units of text (to its NUL) as ASCII, '?' for the rest,
// cut at size and always terminated.
void narrow(const wchar_t* text, std::size_t count, char* target, std::size_t size)
{
    std::size_t i = 0;
    for (; i + 1 < size && i < count && text[i] != L'\0'; ++i)
        target[i] = text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    target[i] = '\0';
}

struct Version {
    unsigned parts[4];
    char company[64];
    bool found;
};

Version versionOf(void* module)
{
    Version version = {{0, 0, 0, 0}, {0}, false};
    wchar_t path[520];
    if (GetModuleFileNameW(module, path, 520) == 0)
        return version;
    static unsigned char block[64 * 1024];
    unsigned long handle = 0;
    const unsigned long size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0 || size > sizeof(block) || !GetFileVersionInfoW(path, 0, sizeof(block), block))
        return version;
    struct FixedFileInfo {
        uint32_t signature, structVersion, fileVersionHigh, fileVersionLow;
    };
    void* value = nullptr;
    unsigned length = 0;
    if (VerQueryValueW(block, L"\\", &value, &length) && length >= sizeof(FixedFileInfo)) {
        const FixedFileInfo* fixed = static_cast<const FixedFileInfo*>(value);
        version.parts[0] = fixed->fileVersionHigh >> 16;
        version.parts[1] = fixed->fileVersionHigh & 0xffff;
        version.parts[2] = fixed->fileVersionLow >> 16;
        version.parts[3] = fixed->fileVersionLow & 0xffff;
        version.found = true;
    }
    // The maker, in the block's first language and code page.
    void* translations = nullptr;
    if (VerQueryValueW(block, L"\\VarFileInfo\\Translation", &translations, &length) && length >= 4) {
        const uint16_t* translation = static_cast<const uint16_t*>(translations);
        static const wchar_t kHex[] = L"0123456789abcdef";
        wchar_t item[] = L"\\StringFileInfo\\00000000\\CompanyName";
        const uint32_t code = (static_cast<uint32_t>(translation[0]) << 16) | translation[1];
        for (int i = 0; i < 8; ++i)
            item[16 + i] = kHex[(code >> (28 - 4 * i)) & 0xf];
        void* found = nullptr;
        if (VerQueryValueW(block, item, &found, &length))
            narrow(static_cast<const wchar_t*>(found), length, version.company, sizeof(version.company));
    }
    return version;
}

bool isMicrosoftRuntime(void* module)
{
    if (module == nullptr || wineBuiltin(module))
        return false;
    const Version version = versionOf(module);
    return version.found && version.parts[0] == 10 && version.parts[1] == 0 && version.parts[2] == 17134 &&
           version.parts[3] == 12 && strcmp(version.company, "Microsoft Corporation") == 0;
}

// A line that grows up to its size, cut there.
class Line {
public:
    Line(char* text, std::size_t size) : text_(text), size_(size) { terminate(); }
    Line& operator<<(const char* part)
    {
        while (*part != '\0' && used_ + 1 < size_)
            text_[used_++] = *part++;
        terminate();
        return *this;
    }
    Line& operator<<(unsigned number)
    {
        char digits[12];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + number % 10);
            number /= 10;
        } while (number != 0);
        char reversed[12];
        for (int i = 0; i < count; ++i)
            reversed[i] = digits[count - 1 - i];
        reversed[count] = '\0';
        return *this << reversed;
    }
    void module(void* module)
    {
        if (module == nullptr) {
            *this << "no module";
            return;
        }
        wchar_t path[520];
        const unsigned long length = GetModuleFileNameW(module, path, 520);
        char name[520];
        narrow(path, length, name, sizeof(name));
        *this << name;
        if (wineBuiltin(module)) {
            *this << " (Wine builtin)";
            return;
        }
        const Version version = versionOf(module);
        *this << " (" << (version.company[0] != '\0' ? version.company : "no maker");
        if (version.found)
            *this << " " << version.parts[0] << "." << version.parts[1] << "." << version.parts[2] << "."
                  << version.parts[3];
        *this << ")";
    }

private:
    void terminate()
    {
        if (size_ > 0)
            text_[used_ < size_ ? used_ : size_ - 1] = '\0';
    }
    char* text_;
    std::size_t size_;
    std::size_t used_ = 0;
};

} // namespace

bool describeRuntime(char* text, std::size_t size)
{
    void* const thrower = moduleOf(throwImport);
    void* const handler = moduleOf(frameHandlerImport);
    void* const heap = moduleOf(mallocImport);
    // As the guard looks it up (boundary/Guard.cpp): by the name of the
    // runtime DLL of a host linked /MD.
    void* const named = GetModuleHandleW(L"vcruntime140.dll");
    void* const current = named != nullptr ? moduleOf(GetProcAddress(named, "__current_exception")) : nullptr;

    Line line(text, size);
    line << "runtime: C++ exceptions by ";
    line.module(thrower);
    if (handler != thrower) {
        line << ", frames by ";
        line.module(handler);
    }
    line << "; current exception ";
    if (named == nullptr)
        line << "none (no vcruntime140.dll)";
    else if (current == thrower)
        line << "by the same";
    else
        line.module(current);
    line << "; heap ";
    if (heap == thrower)
        line << "by the same";
    else
        line.module(heap);

    char expected[32] = {0};
    const unsigned long length = GetEnvironmentVariableA("ACTIONS_EXPECT_RUNTIME", expected, sizeof(expected));
    if (length == 0 || length >= sizeof(expected))
        return length == 0;
    const char* missing = nullptr;
    const bool sameModule = thrower != nullptr && handler == thrower;
    const bool microsoft = sameModule && isMicrosoftRuntime(thrower);
    if (strcmp(expected, "wine") == 0) {
        // Wine's vcruntime140.dll forwards these to its ucrtbase.dll.
        if (!sameModule || !wineBuiltin(thrower) || named == nullptr || !wineBuiltin(named) || current != thrower)
            missing = "Wine's builtin vcruntime140.dll for throws, frames and the current exception";
    } else if (strcmp(expected, "microsoft") == 0 || strcmp(expected, "microsoft-heap") == 0) {
        if (!microsoft || named != thrower || current != thrower)
            missing = "Microsoft's runtime as vcruntime140.dll for throws, frames and the current exception";
        else if (strcmp(expected, "microsoft-heap") == 0 && (heap != GetModuleHandleW(L"ucrtbase.dll") || !isMicrosoftRuntime(heap)))
            missing = "Microsoft's runtime as ucrtbase.dll, the host's heap";
    } else if (strcmp(expected, "microsoft-static") == 0) {
        if (!microsoft || named != nullptr || heap != thrower)
            missing = "Microsoft's runtime under another name, and no vcruntime140.dll";
    } else {
        missing = "a runtime this check knows (wine, microsoft, microsoft-heap, microsoft-static)";
    }
    if (missing != nullptr)
        line << " -- expected " << expected << ": " << missing;
    return missing == nullptr;
}

} // namespace msvc
