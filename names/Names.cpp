// The parameter and property names, built when a library is loaded.
#include "names/Names.h"

namespace names {

const std::wstring kState = L"State";
const std::wstring kFeatureId = L"FeatureID";
const std::wstring kCoreFeatureId = L"FeatureId";

const std::wstring kInstallDir = L"InstallDir";
const std::wstring kPropIsEnoughSpace = L"PropIsEnoughSpace";
const std::wstring kPropRequiredSpace = L"PropRequiredSpace";
const std::wstring kPropAvailableSpace = L"PropAvailableSpace";
const std::wstring kOsPlatform = L"$os.platform";

const std::wstring kMaxVersion = L"maxVersion";
const std::wstring kMinVersion = L"minVersion";
const std::wstring kVersionNeedToCompare = L"VersionNeedToCompare";
const std::wstring kProperty = L"Property";
const std::wstring kAllowedSuffix = L"AllowedSuffix";
const std::wstring kCompareVersionResult = L"CompareVersionResult";
const std::wstring kForwardFitDataFile = L"ForwardFitDataFile";
const std::wstring kCurrentPatchLevel = L"CurrentPatchLevel";
const std::wstring kProductId = L"$product.id";
const std::wstring kOverhangingPatch = L"OverhangingPatch";
const std::wstring kProductDuId = L"ProductDUID";
const std::wstring kProductFamilyDuId = L"ProductFamilyDUID";
const std::wstring kInstallingRevision = L"InstallingRevision";
const std::wstring kPropertyName = L"PropertyName";
const std::wstring kDuPrefix = L"$du$";
const std::wstring kInstalledRevisionSuffix = L"$installedrevision";

const std::wstring kProductPreReqsPassed = L"$product$prereqspassed";
const std::wstring kProductPreReqIds = L"$product$prereqids";
const std::wstring kProductPreReqPrefix = L"$product$prereq$";
const std::wstring kFeaturePrefix = L"$feature$";
const std::wstring kFeaturePreReqPrefix = L"$feature$prereq$";
const std::wstring kPreReqsPassedSuffix = L"$prereqspassed";
const std::wstring kPreReqIdsSuffix = L"$prereqids";
const std::wstring kHasBlockingPreReq = L"HasBlockingPreReq";
const std::wstring kHasDisabledFeature = L"HasDisabledFeature";
const std::wstring kHasBlockingFeaturePreReq = L"HasBlockingFeaturePreReq";
const std::wstring kMissingFeaturePreReqReason = L"MissingFeaturePreReqReason";

const std::wstring kAvailableUiLangs = L"$available.ui.langs";
const std::wstring kPrioritizedLanguage = L"PrioritizedLanguage";
const std::wstring kWriteProperty = L"WriteProperty";
const std::wstring kString = L"String";
const std::wstring kSubstring = L"Substring";
const std::wstring kMachineName = L"MachineName";
const std::wstring kPropertyId = L"PropertyId";
const std::wstring kSeconds = L"Seconds";
const std::wstring kCmdLine = L"CmdLine";
const std::wstring kDefault = L"Default";
const std::wstring kReturnCodesSet = L"ReturnCodesSet";
const std::wstring kValuesSet = L"ValuesSet";

const std::wstring kInstallDirCore = L"INSTALLDIR";
const std::wstring kHostPlatform = L"HostPlatform";
const std::wstring kHostObjectModel = L"HostObjectModel";
const std::wstring kProductObjectModel = L"ProductObjectModel";
const std::wstring kEnterpriseVersionDir = L"EnterpriseVersionDir";
const std::wstring kSoftwarePath = L"SOFTWAREPATH";
const std::wstring kEnterpriseDir = L"ENTERPRISEDIR";
const std::wstring kBinDir = L"BINDIR";
const std::wstring kCurrentVersionKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const std::wstring kProgramFilesDir = L"ProgramFilesDir";
const std::wstring kProgramFilesDirX86 = L"ProgramFilesDir (x86)";

} // namespace names
