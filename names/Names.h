// Parameter and property names, built when a library is loaded. Texts are
// case-exact, as the host supplies them.
#pragma once

#include <string>

namespace names {

// Feature selection.
extern const std::wstring kState;
extern const std::wstring kFeatureId;        // "FeatureID"
extern const std::wstring kCoreFeatureId;    // "FeatureId", the setup-core spelling

// Disk space.
extern const std::wstring kInstallDir;
extern const std::wstring kPropIsEnoughSpace;
extern const std::wstring kPropRequiredSpace;
extern const std::wstring kPropAvailableSpace;
extern const std::wstring kOsPlatform;

// Versions and patch levels.
extern const std::wstring kMaxVersion;
extern const std::wstring kMinVersion;
extern const std::wstring kVersionNeedToCompare;
extern const std::wstring kProperty;
extern const std::wstring kAllowedSuffix;
extern const std::wstring kCompareVersionResult;
extern const std::wstring kForwardFitDataFile;
extern const std::wstring kCurrentPatchLevel;
extern const std::wstring kProductId;
extern const std::wstring kOverhangingPatch;
extern const std::wstring kProductDuId;
extern const std::wstring kProductFamilyDuId;
extern const std::wstring kInstallingRevision;
extern const std::wstring kPropertyName;
// An installed revision is read from "$du$" + DU id + "$installedrevision".
extern const std::wstring kDuPrefix;
extern const std::wstring kInstalledRevisionSuffix;

// Prerequisites: the product's and, per feature, "$feature$" + FID + ...
extern const std::wstring kProductPreReqsPassed;    // "$product$prereqspassed"
extern const std::wstring kProductPreReqIds;        // "$product$prereqids"
extern const std::wstring kProductPreReqPrefix;     // "$product$prereq$", + ID + "$passed" ...
extern const std::wstring kFeaturePrefix;           // "$feature$"
extern const std::wstring kFeaturePreReqPrefix;     // "$feature$prereq$", + FID + "$" + ID + "$passed" ...
extern const std::wstring kPreReqsPassedSuffix;     // "$prereqspassed"
extern const std::wstring kPreReqIdsSuffix;         // "$prereqids"
extern const std::wstring kHasBlockingPreReq;
extern const std::wstring kHasDisabledFeature;
extern const std::wstring kHasBlockingFeaturePreReq;
extern const std::wstring kMissingFeaturePreReqReason;

// Utilities.
extern const std::wstring kAvailableUiLangs;
extern const std::wstring kPrioritizedLanguage;
extern const std::wstring kWriteProperty;
extern const std::wstring kString;
extern const std::wstring kSubstring;
extern const std::wstring kMachineName;
extern const std::wstring kPropertyId;
extern const std::wstring kSeconds;
extern const std::wstring kCmdLine;
extern const std::wstring kDefault;
extern const std::wstring kReturnCodesSet;
extern const std::wstring kValuesSet;

// Setup-core directory properties.
extern const std::wstring kInstallDirCore;   // "INSTALLDIR"
extern const std::wstring kHostPlatform;
extern const std::wstring kHostObjectModel;
extern const std::wstring kProductObjectModel;
extern const std::wstring kEnterpriseVersionDir;
extern const std::wstring kSoftwarePath;    // each written with its "32" and "64" variants
extern const std::wstring kEnterpriseDir;
extern const std::wstring kBinDir;
// The registry key and values of the Program Files directories (below HKLM).
extern const std::wstring kCurrentVersionKey;
extern const std::wstring kProgramFilesDir;
extern const std::wstring kProgramFilesDirX86;

} // namespace names
