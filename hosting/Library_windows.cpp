// Loading an action library with LoadLibraryExW and finding its actions.
#include "hosting/ActionLibrary.h"
#include "hosting/SimulatedHost.h"
#include "hosting/HostedAction.h"

#include <windows.h>

#include <stdexcept>

namespace hosting {

namespace {

std::string systemMessage(DWORD code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return "error " + std::to_string(code) + (text.empty() ? "" : " (" + narrow(text) + ")");
}

HMODULE load(const std::string& path)
{
    // The full path, so that the library's own folder is searched for the
    // DLLs it needs (the GCC runtime beside it).
    const std::wstring wide = widen(path);
    wchar_t full[32768];
    const DWORD length = ::GetFullPathNameW(wide.c_str(), sizeof(full) / sizeof(full[0]), full, nullptr);
    const std::wstring target = length > 0 && length < sizeof(full) / sizeof(full[0]) ? std::wstring(full, length) : wide;
    HMODULE module = ::LoadLibraryExW(target.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr)
        throw std::runtime_error("cannot load library " + path + ": " + systemMessage(::GetLastError()));
    return module;
}

} // namespace

ActionLibrary::ActionLibrary(const std::string& path) : path_(path), handle_(load(path)) {}

ActionLibrary::~ActionLibrary() = default;

HostedAction ActionLibrary::find(const std::string& name) const
{
    void* entry = reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name.c_str()));
    if (entry == nullptr)
        return HostedAction();
    return hostedAction(entry);
}

} // namespace hosting
