// Every Windows file the kits ship carries the project's version in its
// version resource, as Windows reads it: GetFileVersionInfoW and
// VerQueryValueW, the calls an installer's file versioning and a file's
// properties make.
#include <gtest/gtest.h>

#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

namespace {

std::wstring widened(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

struct VersionResource {
    bool found = false;
    VS_FIXEDFILEINFO fixed{};
    std::vector<BYTE> block;

    std::wstring text(const wchar_t* name) const
    {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0)
            return std::wstring();
        return std::wstring(static_cast<const wchar_t*>(value), length - 1);
    }
};

VersionResource versionOf(const std::string& file)
{
    VersionResource resource;
    const std::wstring path = widened(file);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return resource;
    resource.block.resize(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, resource.block.data()))
        return resource;
    void* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(resource.block.data(), L"\\", &fixed, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return resource;
    resource.fixed = *static_cast<const VS_FIXEDFILEINFO*>(fixed);
    resource.found = true;
    return resource;
}

std::string narrowed(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

std::vector<std::string> shippedFiles()
{
    std::vector<std::string> files = {VANTOREL_LIBRARY, COBRINTH_LIBRARY, ACTIONHOST_PROGRAM};
#ifdef MSVCBRIDGE_LIBRARY
    files.push_back(MSVCBRIDGE_LIBRARY);
#endif
    return files;
}

TEST(VersionResources, EveryShippedFileCarriesTheProjectVersion)
{
    const std::wstring version = widened(ACTIONS_VERSION) + L".0";
    for (const std::string& file : shippedFiles()) {
        SCOPED_TRACE(file);
        const VersionResource resource = versionOf(file);
        ASSERT_TRUE(resource.found);
        EXPECT_EQ(static_cast<DWORD>(VS_FFI_SIGNATURE), resource.fixed.dwSignature);
        EXPECT_EQ(static_cast<DWORD>((ACTIONS_VERSION_MAJOR << 16) | ACTIONS_VERSION_MINOR),
                  resource.fixed.dwFileVersionMS);
        EXPECT_EQ(static_cast<DWORD>(ACTIONS_VERSION_PATCH << 16), resource.fixed.dwFileVersionLS);
        EXPECT_EQ(resource.fixed.dwFileVersionMS, resource.fixed.dwProductVersionMS);
        EXPECT_EQ(resource.fixed.dwFileVersionLS, resource.fixed.dwProductVersionLS);
        const bool library = file.size() > 4 && file.compare(file.size() - 4, 4, ".dll") == 0;
        EXPECT_EQ(static_cast<DWORD>(library ? VFT_DLL : VFT_APP), resource.fixed.dwFileType);

        EXPECT_EQ(version, resource.text(L"FileVersion"));
        EXPECT_EQ(version, resource.text(L"ProductVersion"));
        EXPECT_EQ(L"Installer Actions", resource.text(L"ProductName"));
        EXPECT_EQ(L"Installer Actions Team", resource.text(L"CompanyName"));
        EXPECT_NE(std::wstring::npos, resource.text(L"LegalCopyright").find(L"Installer Actions Team"));
        EXPECT_FALSE(resource.text(L"FileDescription").empty());
        const std::string name = file.substr(file.find_last_of("/\\") + 1);
        EXPECT_EQ(widened(name), resource.text(L"OriginalFilename"));
        EXPECT_EQ(widened(name.substr(0, name.rfind('.'))), resource.text(L"InternalName"));
        // As Windows reads it, for whoever looks at the test's output.
        std::cout << name;
        for (const wchar_t* field : {L"FileVersion", L"ProductVersion", L"CompanyName", L"FileDescription",
                                     L"InternalName", L"OriginalFilename", L"LegalCopyright", L"ProductName"})
            std::cout << "\n  " << narrowed(field) << ": " << narrowed(resource.text(field));
        std::cout << std::endl;
    }
}

} // namespace
