// SetPathRelatedProperties: computes the installation's directory properties
// (SOFTWAREPATH, INSTALLDIR, ENTERPRISEDIR, BINDIR, each with its 32-bit and
// 64-bit variant) from the installation directory, the host platform and the
// word sizes of host and product. On a 64-bit host, an installation directory
// inside the 64-bit Program Files directory moves into the 32-bit one.
#include "Registry.h"

#include "frame/Action.h"
#include "names/Names.h"
#include "frame/Text.h"

namespace {

struct PlatformNames {
    const wchar_t* platform;
    const wchar_t* name32;
    const wchar_t* name64;
};

// Compared exactly, in this order.
const PlatformNames kPlatforms[] = {
    {L"Linux", L"linux_x86", L"linux_x64"},
    {L"windows", L"win32_x86", L"win64_x64"},
    {L"AIX", L"aix_rs6000", L"aix_rs6000_64"},
    {L"HPUX", L"hpux_ia64", L"hpux_ia64"},
    {L"SunOS", L"solaris_sparc", L"solaris_sparcv9"},
};

// Reads a registry value into value, logging and clearing any error text.
void readProgramFilesValue(IActionContext& host, const std::wstring& name, std::wstring& value, std::wstring& error)
{
    ReadValueFromRegistry(names::kCurrentVersionKey, name, value, error);
    if (!error.empty()) {
        host.Log(4, L"Error reading from registry: " + error);
        error.clear();
    }
}

// Sets NAME (the chosen variant), NAME32 and NAME64 in this order, then logs
// the three in the same order.
void setVariantsThenLog(IActionContext& host, const std::wstring& name, const std::wstring& value32,
                        const std::wstring& value64, bool product64)
{
    const std::wstring& chosen = product64 ? value64 : value32;
    host.SetProperty(name, chosen);
    host.SetProperty(name + L"32", value32);
    host.SetProperty(name + L"64", value64);
    host.Log(2, L"Set " + name + L": " + chosen);
    host.Log(2, L"Set " + name + L"32: " + value32);
    host.Log(2, L"Set " + name + L"64: " + value64);
}

void setAndLog(IActionContext& host, const std::wstring& name, const std::wstring& value)
{
    host.SetProperty(name, value);
    host.Log(2, L"Set " + name + L": " + value);
}

int setPathRelatedProperties(IActionContext& host)
{
    const std::wstring installDir = readParameter(host, names::kInstallDirCore);
    const std::wstring hostPlatform = readParameter(host, names::kHostPlatform);
    const std::wstring hostObjectModel = readParameter(host, names::kHostObjectModel);
    const std::wstring productObjectModel = readParameter(host, names::kProductObjectModel);
    const std::wstring versionDir = readParameter(host, names::kEnterpriseVersionDir);
    host.Log(2, L"Get INSTALLDIR: " + installDir);
    host.Log(2, L"Get HostPlatform: " + hostPlatform);
    host.Log(2, L"Get hostobjectmodel: " + hostObjectModel);
    host.Log(2, L"Get productobjectmodel: " + productObjectModel);
    host.Log(2, L"Get enterpriseversiondir: " + versionDir);
    const bool product64 = productObjectModel == L"64";
    const bool host64 = hostObjectModel == L"64";

    const PlatformNames* names = nullptr;
    for (const PlatformNames& candidate : kPlatforms) {
        if (hostPlatform == candidate.platform) {
            names = &candidate;
            break;
        }
    }
    if (names == nullptr) {
        host.Log(4, L"Unknown host platform: '" + hostPlatform + L"'. Supported platforms are: Linux, AIX, HPUX, SunOS.");
        return kActionFailure;
    }

    const std::wstring software32 = names->name32;
    const std::wstring software64 = names->name64;
    const std::wstring& software = product64 ? software64 : software32;
    host.Log(2, L"Set SOFTWAREPATH: " + software);
    host.Log(2, L"Set SOFTWAREPATH32: " + software32);
    host.Log(2, L"Set SOFTWAREPATH64: " + software64);
    host.SetProperty(names::kSoftwarePath, software);
    host.SetProperty(names::kSoftwarePath + L"32", software32);
    host.SetProperty(names::kSoftwarePath + L"64", software64);

    std::wstring installDir32 = installDir;
    std::wstring installDir64 = installDir;
    std::wstring installDirChosen = installDir;
    setAndLog(host, names::kInstallDirCore, installDirChosen);
    setAndLog(host, names::kInstallDirCore + L"32", installDir32);
    setAndLog(host, names::kInstallDirCore + L"64", installDir64);

    if (host64) {
        std::wstring programFiles;
        std::wstring programFilesX86;
        std::wstring error;
        readProgramFilesValue(host, names::kProgramFilesDir, programFiles, error);
        readProgramFilesValue(host, names::kProgramFilesDirX86, programFilesX86, error);
        if (!programFilesX86.empty()) {
            programFiles += L"\\";
            programFilesX86 += L"\\";
            lowerCase(programFiles);
            const std::wstring loweredDir = lowerCaseCopy(installDir);
            if (loweredDir.compare(0, programFiles.size(), programFiles) == 0) {
                std::wstring moved = installDir;
                moved.replace(0, programFiles.size(), programFilesX86);
                installDirChosen = installDir32 = installDir64 = moved;
                host.SetProperty(names::kInstallDirCore, installDirChosen);
                host.SetProperty(names::kInstallDirCore + L"32", installDir32);
                host.SetProperty(names::kInstallDirCore + L"64", installDir64);
            }
        }
    }

    const std::wstring enterprise32 = installDir32 + versionDir + L"\\";
    const std::wstring enterprise64 = installDir64 + versionDir + L"\\";
    setVariantsThenLog(host, names::kEnterpriseDir, enterprise32, enterprise64, product64);
    setVariantsThenLog(host, names::kBinDir, enterprise32 + software32 + L"\\", enterprise64 + software64 + L"\\",
                       product64);
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(SetPathRelatedProperties)
{
    return runAction(context, setPathRelatedProperties);
}
