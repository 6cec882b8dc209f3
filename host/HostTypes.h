// Shared value types of the host contract: texts, lists, state codes.
#pragma once

#include <boost/shared_ptr.hpp>
#include <cstdint>
#include <string>
#include <vector>

// Texts crossing the host boundary are wide strings (UTF-16 on Windows;
// elsewhere wchar_t holds whole code points).
typedef boost::shared_ptr<std::wstring> WideTextPtr;

// Installed-state codes reported by IFeature::GetInstalledState.
enum InstalledState {
    kInstalledAbsent = 0,
    kInstalledPresent = 1,
    kInstalledUnknownInstance = 2,
    kInstalledBroken = 3,
    kInstalledCorruptInventory = 4,
    kInstalledIncomplete = 5
};

// Installing-state and requested-state codes.
enum RequestState {
    kRequestNoChange = 0,
    kRequestInstall = 1,
    kRequestUninstall = 2,
    kRequestUnknownInstance = 3,
    kRequestRepair = 4,
    kRequestPatch = 5
};

// One entry of the host's disk-cost list: a path (never null) and its cost in KiB.
struct DiskCostEntry {
    WideTextPtr path;
    std::int64_t cost;
};

typedef boost::shared_ptr<DiskCostEntry> DiskCostEntryPtr;
typedef boost::shared_ptr<std::vector<DiskCostEntryPtr> > DiskCostListPtr;
