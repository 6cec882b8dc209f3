// DisplayFeatureInstallingState: logs one line per feature, indented by its
// depth, with its installed state and what the installation will do with it.
// The lines are collected during the walk and logged after it.
#include "frame/Action.h"

#include <vector>

namespace {

const wchar_t* installedStateText(int code)
{
    switch (code) {
    case kInstalledAbsent: return L"absent";
    case kInstalledPresent: return L"installed";
    case kInstalledUnknownInstance: return L"unknown_instance";
    case kInstalledBroken: return L"broken";
    case kInstalledCorruptInventory: return L"corrupt_inventory";
    case kInstalledIncomplete: return L"install_incomplete";
    default: return L"UNKNOWN InstalledState, should't be happened";
    }
}

const wchar_t* installingStateText(int code)
{
    switch (code) {
    case kRequestNoChange: return L"nochange";
    case kRequestInstall: return L"install";
    case kRequestUninstall: return L"uninstall";
    case kRequestUnknownInstance: return L"unknown_instance";
    case kRequestRepair: return L"repair";
    case kRequestPatch: return L"patch";
    default: return L"UNKNOWN InstallingState, should't be happened";
    }
}

const int kMarked = 2;

void describe(const IFeature::Ptr& node, std::size_t depth, std::vector<std::wstring>& lines)
{
    std::wstring line(depth, L' ');
    line += *node->GetId();
    line += L": ";
    int installed = 0;
    node->GetInstalledState(installed);
    line += installedStateText(installed);
    line += L" to ";
    int installing = 0;
    node->GetInstallingState(1, installing);
    line += installingStateText(installing);
    int marker = 0;
    node->GetMarkerState(marker);
    if (marker == kMarked)
        line += L'*';
    lines.push_back(std::move(line));
    {
        IFeature::ListPtr children = node->GetChildren();
        if (!children || children->empty())
            return;
    }
    IFeature::ListPtr children = node->GetChildren();
    for (const IFeature::Ptr& child : *children)
        describe(child, depth + 1, lines);
}

} // namespace

ACTION_ENTRY(DisplayFeatureInstallingState)
{
    return runAction(context, [](IActionContext& host) {
        return runWithCatchAll(host, 2, L"[DisplayFeatureInstallingState] crashed", [&host]() {
            std::vector<std::wstring> lines;
            describe(host.GetRootFeature(), 0, lines);
            host.Log(2, L"[DisplayFeatureInstallingState] display feature selection");
            for (const std::wstring& line : lines)
                host.Log(2, line);
            return kActionSuccess;
        });
    });
}
