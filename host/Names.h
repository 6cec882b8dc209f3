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

// Prerequisites.
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

} // namespace names
