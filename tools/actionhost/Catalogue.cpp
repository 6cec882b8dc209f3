#include "Catalogue.h"

#include "host/Names.h"
#include "hosting/SimulatedHost.h"

namespace actionhost {

bool KnownParameter::matches(const std::wstring& asked) const
{
    if (!isFamily())
        return asked == name;
    return asked.size() >= name.size() + suffix.size() && asked.compare(0, name.size(), name) == 0 &&
           asked.compare(asked.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string KnownParameter::shown() const
{
    return hosting::narrow(name) + (isFamily() ? "<" + placeholder + ">" + hosting::narrow(suffix) : "");
}

bool KnownAction::readsParameter(const std::wstring& asked) const
{
    for (const KnownParameter& parameter : parameters) {
        if (parameter.matches(asked))
            return true;
    }
    return false;
}

namespace {

KnownParameter one(const std::wstring& name, const std::string& meaning)
{
    return KnownParameter{name, meaning, "", L""};
}

KnownParameter family(const std::wstring& prefix, const std::string& placeholder, const std::wstring& suffix,
                      const std::string& meaning)
{
    return KnownParameter{prefix, meaning, placeholder, suffix};
}

// What the patch-level actions read: the two DUs, the installing revision
// (all but GetProductPatchLevel), the result's name, and each DU's installed
// revision.
std::vector<KnownParameter> patchLevelParameters(bool installingRevision)
{
    std::vector<KnownParameter> parameters = {
        one(names::kProductDuId, "the product's DU id"),
        one(names::kProductFamilyDuId, "the product family's DU id"),
    };
    if (installingRevision)
        parameters.push_back(one(names::kInstallingRevision, "the revision being installed, \"x.y.z.w\""));
    parameters.push_back(one(names::kPropertyName, "the name of the property to write"));
    parameters.push_back(family(names::kDuPrefix, "DU id", names::kInstalledRevisionSuffix,
                                "a DU's installed revision, \"x.y.z.w\""));
    return parameters;
}

std::vector<std::wstring> variants(std::initializer_list<std::wstring> bases)
{
    std::vector<std::wstring> out;
    for (const std::wstring& base : bases) {
        out.push_back(base);
        out.push_back(base + L"32");
        out.push_back(base + L"64");
    }
    return out;
}

std::vector<KnownAction> catalogue()
{
    using names::kWriteProperty;
    const KnownParameter writeProperty = one(kWriteProperty, "the name of the property to write");
    const KnownParameter seconds = one(names::kSeconds, "the seconds to wait; the leading number is read");
    const std::wstring productPreReq = names::kProductPreReqPrefix + L"<ID>";
    const std::wstring featurePreReq = names::kFeaturePreReqPrefix + L"<FID>$<ID>";
    return {
        {"vantorel", "ChangeFeatureState",
         "Sets the requested state of the feature FeatureID (Install, Uninstall, Repair, NoChange).",
         {one(names::kState, "Install, Uninstall, Repair or NoChange, in any letter case"),
          one(names::kFeatureId, "the identifier of the feature, compared exactly")},
         {}, {}, World::FeatureTree},
        {"vantorel", "SetFeatureStateToDefault",
         "Requests install for every feature on by default, no change for the others.", {}, {}, {},
         World::FeatureTree},
        {"vantorel", "DisplayFeatureInstallingState",
         "Logs every feature with its installed state and what the installation will do.", {}, {}, {},
         World::FeatureTree},
        {"vantorel", "CheckDiskCost",
         "Compares the space the selection needs on the installation drive with the space free there.",
         {one(names::kInstallDir, "the installation directory; its first character is the drive letter"),
          one(names::kPropIsEnoughSpace, "the name of the property for the verdict, \"1\" or \"0\""),
          one(names::kPropRequiredSpace, "the name of the property for the space required (MiB)"),
          one(names::kPropAvailableSpace, "the name of the property for the space free (MiB)")},
         {names::kOsPlatform}, {}, World::DiskCosts},
        {"vantorel", "CompareVersion",
         "Writes \"1\" when a version (with an allowed suffix) lies between two bounds, else \"0\".",
         {one(names::kMaxVersion, "the upper bound, inclusive; empty: none"),
          one(names::kMinVersion, "the lower bound, inclusive; empty: none"),
          one(names::kVersionNeedToCompare, "the dotted version to test"),
          one(names::kProperty, "the name of the property to write; empty: CompareVersionResult"),
          one(names::kAllowedSuffix, "the suffixes allowed after a \"-\", found without regard to case")},
         {}, {names::kCompareVersionResult}, World::None},
        {"vantorel", "DetectOverhangingPatch",
         "Writes OverhangingPatch: whether the installed patch lies above the forward-fit level.",
         {one(names::kForwardFitDataFile, "the forward-fit data file; relative to the scenario's folder"),
          one(names::kCurrentPatchLevel, "the installed revision, \"x.y.z.w\"; empty: nothing to do"),
          one(names::kProductId, "the installing product, \"id,x.y.z.w\"")},
         {}, {names::kOverhangingPatch}, World::DataFile},
        {"vantorel", "GetProductPatchLevel",
         "Writes the installed revision chosen from the product and product-family DUs.",
         patchLevelParameters(false), {}, {}, World::Revisions},
        {"vantorel", "CheckValidMinorRelease",
         "Writes \"false\" when going to a higher minor release at an SP level above 0.",
         patchLevelParameters(true), {}, {}, World::Revisions},
        {"vantorel", "DetectPatchOnLowerSP",
         "Writes \"true\" when the installed minor release and SP level lie below the installing ones.",
         patchLevelParameters(true), {}, {}, World::Revisions},
        {"vantorel", "DetectPatchOrSPOnHigherRevision",
         "Writes \"true\" when the installed revision is not below the installing one.",
         patchLevelParameters(true), {}, {}, World::Revisions},
        {"vantorel", "CheckForBlockingProductPreReqs",
         "Writes HasBlockingPreReq: \"1\" when a product prerequisite of type error failed.", {},
         {names::kProductPreReqsPassed, names::kProductPreReqIds, productPreReq + L"$passed",
          productPreReq + L"$type", productPreReq + L"$description", productPreReq + L"$reason"},
         {names::kHasBlockingPreReq}, World::None},
        {"vantorel", "EvaluateFeaturePreReqs",
         "Writes HasDisabledFeature: \"1\" when the feature tree holds a disabled feature.", {}, {},
         {names::kHasDisabledFeature}, World::FeatureTree},
        {"vantorel", "EvaluateTargetFeaturePreReqs",
         "Writes HasBlockingFeaturePreReq and the reasons of one feature's failed prerequisites.",
         {one(names::kFeatureId, "the feature whose prerequisites are examined (FID)")},
         {names::kFeaturePrefix + L"<FID>" + names::kPreReqsPassedSuffix,
          names::kFeaturePrefix + L"<FID>" + names::kPreReqIdsSuffix, featurePreReq + L"$passed",
          featurePreReq + L"$type", featurePreReq + L"$reason"},
         {names::kHasBlockingFeaturePreReq, names::kMissingFeaturePreReqReason}, World::None},
        {"vantorel", "SortAvailableSetupLanguages",
         "Puts the prioritised user-interface languages first in the available list.",
         {one(names::kAvailableUiLangs, "the available languages, \";\"-separated"),
          one(names::kPrioritizedLanguage, "the languages to put first, \";\"-separated"), writeProperty},
         {}, {}, World::None},
        {"vantorel", "CheckIfContainSubstring",
         "Writes \"true\" when String contains Substring (case-sensitive), else \"false\".",
         {one(names::kString, "the text searched"), one(names::kSubstring, "the text to find, case-sensitive"),
          writeProperty},
         {}, {}, World::None},
        {"vantorel", "SetVexaName", "Derives a Vexa name from a host name: from its first ASCII letter, - and . made _.",
         {one(names::kMachineName, "the host name"), one(names::kPropertyId, "the name of the property to write")},
         {}, {}, World::None},
        {"vantorel", "SleepCommand", "Waits the given number of seconds (5 when the number is not positive).",
         {seconds}, {}, {}, World::None},
        {"vantorel", "RunCommandAndSetReturnCode", "Runs a command line and writes its exit status.",
         {one(names::kCmdLine, "the command line, run by the command processor"), writeProperty}, {}, {},
         World::None},
        {"vantorel", "RunCommandAndSetProperty", "Runs a command line and writes the value its exit status maps to.",
         {writeProperty, one(names::kDefault, "the value written when no code matches"),
          one(names::kCmdLine, "the command line, run by the command processor"),
          one(names::kReturnCodesSet, "the exit statuses, \";\"-separated"),
          one(names::kValuesSet, "the value for each status, \";\"-separated")},
         {}, {}, World::None},
        {"cobrinth", "SetPathRelatedProperties",
         "Writes the SOFTWAREPATH, INSTALLDIR, ENTERPRISEDIR and BINDIR properties and variants.",
         {one(names::kInstallDirCore, "the installation directory, ending with a backslash"),
          one(names::kHostPlatform, "Linux, windows, AIX, HPUX or SunOS, exactly"),
          one(names::kHostObjectModel, "\"64\" for a 64-bit host"),
          one(names::kProductObjectModel, "\"64\" chooses the 64-bit variants"),
          one(names::kEnterpriseVersionDir, "the version directory below the installation directory")},
         {}, variants({names::kSoftwarePath, names::kInstallDirCore, names::kEnterpriseDir, names::kBinDir}),
         World::Registry},
        {"cobrinth", "ChangeFeatureState",
         "Sets the requested state of the feature FeatureId (Install, Uninstall, NoChange).",
         {one(names::kState, "Install, Uninstall or NoChange, exactly"),
          one(names::kCoreFeatureId, "the identifier of the feature, compared exactly")},
         {}, {}, World::FeatureTree},
        {"cobrinth", "SleepCommand", "Waits the given number of seconds (no wait when the number is not positive).",
         {seconds}, {}, {}, World::None},
    };
}

} // namespace

const std::vector<KnownAction>& knownActions()
{
    static const std::vector<KnownAction> actions = catalogue();
    return actions;
}

const KnownAction* findKnownAction(const std::string& library, const std::string& action)
{
    for (const KnownAction& known : knownActions()) {
        if (known.library == library && known.name == action)
            return &known;
    }
    return nullptr;
}

std::string actionNames(const std::string& library)
{
    std::string names;
    for (const KnownAction& known : knownActions()) {
        if (known.library == library)
            names += (names.empty() ? "" : ", ") + known.name;
    }
    return names;
}

bool isKnownLibrary(const std::string& library)
{
    return library == "vantorel" || library == "cobrinth";
}

} // namespace actionhost
