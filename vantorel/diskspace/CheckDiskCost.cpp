// CheckDiskCost: adds the host's disk costs up per drive letter and compares
// the sum for the installation drive with the space free there, writing the
// required space, the available space and a "1"/"0" verdict.
#include "diskspace/DiskSpace.h"
#include "frame/Action.h"
#include "names/Names.h"
#include "frame/Text.h"
#include "platform/Platform.h"

#include <Poco/Format.h>

#include <limits>

std::wstring FormatWide(const std::wstring& pattern, const Poco::Any& value)
{
    if (value.type() == typeid(std::wstring))
        return wideFromUtf8(Poco::format(utf8FromWide(pattern), Poco::Any(utf8FromWide(Poco::AnyCast<std::wstring>(value)))));
    if (value.type() == typeid(const char*))
        return wideFromUtf8(Poco::format(utf8FromWide(pattern), Poco::Any(std::string(Poco::AnyCast<const char*>(value)))));
    return wideFromUtf8(Poco::format(utf8FromWide(pattern), value));
}

std::int64_t GetFreeDiskSpace(const std::wstring& installDir, const std::wstring& /*platform*/, bool& failed)
{
    failed = true;
    const std::wstring root = installDir.substr(0, 2);
    const unsigned type = platform::getDriveType(root);
    if (type != platform::kDriveFixed && type != platform::kDriveRemovable && type != platform::kDriveRemote)
        return 0;
    std::uint64_t freeToCaller = 0, totalBytes = 0, totalFree = 0;
    if (!platform::getDiskFreeSpace(root, freeToCaller, totalBytes, totalFree))
        return 0;
    failed = false;
    return static_cast<std::int64_t>(freeToCaller / 1024);
}

std::int64_t saturatingAdd(std::int64_t a, std::int64_t b)
{
    if (b > 0 && a > std::numeric_limits<std::int64_t>::max() - b)
        return std::numeric_limits<std::int64_t>::max();
    if (b < 0 && a < std::numeric_limits<std::int64_t>::min() - b)
        return std::numeric_limits<std::int64_t>::min();
    return a + b;
}

namespace {

std::wstring text(std::int64_t number)
{
    return FormatWide(L"%Ld", Poco::Any(static_cast<Poco::Int64>(number)));
}

std::wstring firstCharacter(const std::wstring& path)
{
    return path.substr(0, 1);
}

// The sum of the costs of the entries on one drive: those whose path begins
// with the drive's character, compared case-sensitively; an empty path is on
// no drive. Only this drive's sum is ever used, so no other is kept. Adding
// saturates rather than overflows, entry by entry in list order, as each
// drive's sum would on its own. found tells whether any entry was on it.
std::int64_t sumOnDrive(const std::vector<DiskCostEntryPtr>& costs, wchar_t drive, bool& found)
{
    std::int64_t sum = 0;
    found = false;
    for (const DiskCostEntryPtr& entry : costs) {
        const std::wstring& path = *entry->path;
        if (!path.empty() && path[0] == drive) {
            found = true;
            sum = saturatingAdd(sum, entry->cost);
        }
    }
    return sum;
}

int checkDiskCost(IActionContext& host)
{
    host.Log(2, L"Entering Action CheckDiskCost");
    const std::wstring installDir = readParameter(host, names::kInstallDir);
    const std::wstring isEnoughProperty = readParameter(host, names::kPropIsEnoughSpace);
    const std::wstring requiredProperty = readParameter(host, names::kPropRequiredSpace);
    const std::wstring availableProperty = readParameter(host, names::kPropAvailableSpace);
    if (installDir.empty()) {
        host.Log(4, L"CheckDiskCost failed to get nonempty install directory");
        return kActionFailure;
    }

    const DiskCostListPtr costs = host.GetDiskCostList();
    bool found = false;
    const std::int64_t required = sumOnDrive(*costs, installDir[0], found);
    if (!found) {
        host.Log(4, L"CheckDiskCost failed to get the drive that contains installdir");
        host.Log(4, L"Drive to examine " + firstCharacter(installDir));
        host.Log(4, L"Available drives:");
        for (const DiskCostEntryPtr& entry : *costs)
            host.Log(4, firstCharacter(*entry->path));
        return kActionFailure;
    }

    host.Log(2, L"CheckDiskCost calculated required Space:" + text(required));
    if (!requiredProperty.empty())
        host.SetProperty(requiredProperty, text(required / 1024));
    else
        host.Log(2, L"CheckDiskCost can not set empty required space property");

    const std::wstring platformName = host.GetPropertyText(names::kOsPlatform);
    bool failed = true;
    const std::int64_t available = GetFreeDiskSpace(installDir, platformName, failed);
    if (failed) {
        host.Log(4, L"CheckDiskCost is unable to find the free disk space");
        return kActionFailure;
    }
    host.Log(2, L"CheckDiskCost calculated available space:" + text(available));
    if (!availableProperty.empty())
        host.SetProperty(availableProperty, text(available / 1024));
    else
        host.Log(2, L"CheckDiskCost can not set empty available space property");

    if (isEnoughProperty.empty()) {
        host.Log(4, L"CheckDiskCost can not set empty IsEnoughSpace property");
        return kActionFailure;
    }
    // Compared, not subtracted: the difference of two saturated sums may not fit.
    if (available > required) {
        host.SetProperty(isEnoughProperty, L"1");
        host.Log(2, L"CheckDiskCost calculated that there is enough disk space");
    } else {
        host.SetProperty(isEnoughProperty, L"0");
        host.Log(2, L"CheckDiskCost calculated that there is NOT enough disk space");
    }
    return kActionSuccess;
}

} // namespace

ACTION_ENTRY(CheckDiskCost)
{
    return runAction(context, checkDiskCost);
}
