// The catalogue's entries, one per action, and the look-ups in it.
#include "catalogue/Catalogue.h"

#include "names/Names.h"
#include "hosting/SimulatedHost.h"

#include <algorithm>

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

KnownParameter one(const std::wstring& name, const std::string& meaning, const std::string& sample)
{
    return KnownParameter{name, meaning, "", L"", sample};
}

KnownParameter family(const std::wstring& prefix, const std::string& placeholder, const std::wstring& suffix,
                      const std::string& meaning)
{
    return KnownParameter{prefix, meaning, placeholder, suffix, ""};
}

// What the patch-level actions read: the two DUs, the installing revision
// (all but GetProductPatchLevel), the result's name, and each DU's installed
// revision.
std::vector<KnownParameter> patchLevelParameters(bool installingRevision, const std::string& property)
{
    std::vector<KnownParameter> parameters = {
        one(names::kProductDuId, "the product's DU id", "product"),
        one(names::kProductFamilyDuId, "the product family's DU id", "family"),
    };
    if (installingRevision)
        parameters.push_back(one(names::kInstallingRevision, "the revision being installed, \"x.y.z.w\"", "14.0.3.0"));
    parameters.push_back(one(names::kPropertyName, "the name of the property to write", property));
    parameters.push_back(family(names::kDuPrefix, "DU id", names::kInstalledRevisionSuffix,
                                "a DU's installed revision, \"x.y.z.w\""));
    return parameters;
}

FaultHandling catchAll(int level, const std::wstring& line, bool firstCallOutside, bool successLogOutside)
{
    FaultHandling handling;
    handling.kind = FaultHandling::CatchAll;
    handling.crashLevel = level;
    handling.crashLine = line;
    handling.firstCallOutside = firstCallOutside;
    handling.successLogOutside = successLogOutside;
    return handling;
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
    auto writeProperty = [](const std::string& sample) {
        return one(kWriteProperty, "the name of the property to write", sample);
    };
    const KnownParameter seconds = one(names::kSeconds, "the seconds to wait; the leading number is read", "1");
    const std::wstring productPreReq = names::kProductPreReqPrefix + L"<ID>";
    const std::wstring featurePreReq = names::kFeaturePreReqPrefix + L"<FID>$<ID>";
    FaultHandling readingHandler;
    readingHandler.kind = FaultHandling::ReadingHandler;
    readingHandler.errorPrefix = L"Error reading data file: ";
    readingHandler.readingAfter = L"SP level of installing product:";
    readingHandler.readingSkipped = L"The installed product SP level matches the installing product SP level.";
    return {
        {"vantorel", "ChangeFeatureState",
         "Sets the requested state of the feature FeatureID (Install, Uninstall, Repair, NoChange).",
         {one(names::kState, "Install, Uninstall, Repair or NoChange, in any letter case", "Install"),
          one(names::kFeatureId, "the identifier of the feature, compared exactly", "Feature")},
         {}, {}, World::FeatureTree, {}, catchAll(4, L"ChangeFeatureState crashed", true, true)},
        {"vantorel", "SetFeatureStateToDefault",
         "Requests install for every feature on by default, no change for the others.", {}, {}, {},
         World::FeatureTree, {}, catchAll(4, L"[SetFeatureStateToDefault] crashed", true, true)},
        {"vantorel", "DisplayFeatureInstallingState",
         "Logs every feature with its installed state and what the installation will do.", {}, {}, {},
         World::FeatureTree, {}, catchAll(2, L"[DisplayFeatureInstallingState] crashed", false, false)},
        {"vantorel", "CheckDiskCost",
         "Compares the space the selection needs on the installation drive with the space free there.",
         {one(names::kInstallDir, "the installation directory; its first character is the drive letter",
              "C:\\Program Files\\Product"),
          one(names::kPropIsEnoughSpace, "the name of the property for the verdict, \"1\" or \"0\"",
              "IS_ENOUGH_SPACE"),
          one(names::kPropRequiredSpace, "the name of the property for the space required (MiB)",
              "REQUIRED_SPACE_MIB"),
          one(names::kPropAvailableSpace, "the name of the property for the space free (MiB)",
              "AVAILABLE_SPACE_MIB")},
         {names::kOsPlatform}, {}, World::DiskCosts, {{names::kOsPlatform, "windows"}}, {}},
        {"vantorel", "CompareVersion",
         "Writes \"1\" when a version (with an allowed suffix) lies between two bounds, else \"0\".",
         {one(names::kMaxVersion, "the upper bound, inclusive; empty: none", "15.0"),
          one(names::kMinVersion, "the lower bound, inclusive; empty: none", "14.0"),
          one(names::kVersionNeedToCompare, "the dotted version to test", "14.2-beta"),
          one(names::kProperty, "the name of the property to write; empty: CompareVersionResult",
              hosting::narrow(names::kCompareVersionResult)),
          one(names::kAllowedSuffix, "the suffixes allowed after a \"-\", found without regard to case", "beta")},
         {}, {names::kCompareVersionResult}, World::None, {}, catchAll(4, L"CompareVersion crashed", false, false)},
        {"vantorel", "DetectOverhangingPatch",
         "Writes OverhangingPatch: whether the installed patch lies above the forward-fit level.",
         {one(names::kForwardFitDataFile, "the forward-fit data file; relative to the scenario's folder",
              "forward-fit.txt"),
          one(names::kCurrentPatchLevel, "the installed revision, \"x.y.z.w\"; empty: nothing to do", "14.0.1.3"),
          one(names::kProductId, "the installing product, \"id,x.y.z.w\"", "SUITE,14.0.3.0")},
         {}, {names::kOverhangingPatch}, World::DataFile, {}, readingHandler},
        {"vantorel", "GetProductPatchLevel",
         "Writes the installed revision chosen from the product and product-family DUs.",
         patchLevelParameters(false, "PRODUCT_PATCH_LEVEL"), {}, {}, World::Revisions, {}, {}},
        {"vantorel", "CheckValidMinorRelease",
         "Writes \"false\" when going to a higher minor release at an SP level above 0.",
         patchLevelParameters(true, "IS_VALID_MINOR_RELEASE"), {}, {}, World::Revisions, {}, {}},
        {"vantorel", "DetectPatchOnLowerSP",
         "Writes \"true\" when the installed minor release and SP level lie below the installing ones.",
         patchLevelParameters(true, "PATCH_ON_LOWER_SP"), {}, {}, World::Revisions, {}, {}},
        {"vantorel", "DetectPatchOrSPOnHigherRevision",
         "Writes \"true\" when the installed revision is not below the installing one.",
         patchLevelParameters(true, "PATCH_OR_SP_ON_HIGHER_REVISION"), {}, {}, World::Revisions, {}, {}},
        {"vantorel", "CheckForBlockingProductPreReqs",
         "Writes HasBlockingPreReq: \"1\" when a product prerequisite of type error failed.", {},
         {names::kProductPreReqsPassed, names::kProductPreReqIds, productPreReq + L"$passed",
          productPreReq + L"$type", productPreReq + L"$description", productPreReq + L"$reason"},
         {names::kHasBlockingPreReq}, World::None,
         // A failed warning, which does not block.
         {{names::kProductPreReqsPassed, "false"}, {names::kProductPreReqIds, "disk"},
          {names::kProductPreReqPrefix + L"disk$passed", "false"}, {names::kProductPreReqPrefix + L"disk$type", "warning"},
          {names::kProductPreReqPrefix + L"disk$description", "Free disk space"},
          {names::kProductPreReqPrefix + L"disk$reason", "Less than 2 GiB free"}}, {}},
        {"vantorel", "EvaluateFeaturePreReqs",
         "Writes HasDisabledFeature: \"1\" when the feature tree holds a disabled feature.", {}, {},
         {names::kHasDisabledFeature}, World::FeatureTree, {}, {}},
        {"vantorel", "EvaluateTargetFeaturePreReqs",
         "Writes HasBlockingFeaturePreReq and the reasons of one feature's failed prerequisites.",
         {one(names::kFeatureId, "the feature whose prerequisites are examined (FID)", "Feature")},
         {names::kFeaturePrefix + L"<FID>" + names::kPreReqsPassedSuffix,
          names::kFeaturePrefix + L"<FID>" + names::kPreReqIdsSuffix, featurePreReq + L"$passed",
          featurePreReq + L"$type", featurePreReq + L"$reason"},
         {names::kHasBlockingFeaturePreReq, names::kMissingFeaturePreReqReason}, World::None,
         // A failed error, whose reason is written.
         {{names::kFeaturePrefix + L"Feature" + names::kPreReqsPassedSuffix, "false"},
          {names::kFeaturePrefix + L"Feature" + names::kPreReqIdsSuffix, "port"},
          {names::kFeaturePreReqPrefix + L"Feature$port$passed", "false"},
          {names::kFeaturePreReqPrefix + L"Feature$port$type", "error"},
          {names::kFeaturePreReqPrefix + L"Feature$port$reason", "Port 8080 is in use"}}, {}},
        {"vantorel", "SortAvailableSetupLanguages",
         "Puts the prioritised user-interface languages first in the available list.",
         {one(names::kAvailableUiLangs, "the available languages, \";\"-separated", "en;fr;de;ja"),
          one(names::kPrioritizedLanguage, "the languages to put first, \";\"-separated", "de;ja"),
          writeProperty("SORTED_UI_LANGUAGES")},
         {}, {}, World::None, {}, {}},
        {"vantorel", "CheckIfContainSubstring",
         "Writes \"true\" when String contains Substring (case-sensitive), else \"false\".",
         {one(names::kString, "the text searched", "C:\\Program Files\\Product"),
          one(names::kSubstring, "the text to find, case-sensitive", "Program Files"),
          writeProperty("CONTAINS_SUBSTRING")},
         {}, {}, World::None, {}, {}},
        {"vantorel", "SetVexaName", "Derives a Vexa name from a host name: from its first ASCII letter, - and . made _.",
         {one(names::kMachineName, "the host name", "42-build.example.com"),
          one(names::kPropertyId, "the name of the property to write", "VEXA_NAME")},
         {}, {}, World::None, {}, {}},
        {"vantorel", "SleepCommand", "Waits the given number of seconds (5 when the number is not positive).",
         {seconds}, {}, {}, World::None, {}, {}},
        {"vantorel", "RunCommandAndSetReturnCode", "Runs a command line and writes its exit status.",
         {one(names::kCmdLine, "the command line, run by the command processor", "exit 0"),
          writeProperty("RETURN_CODE")},
         {}, {},
         World::None, {}, {}},
        {"vantorel", "RunCommandAndSetProperty", "Runs a command line and writes the value its exit status maps to.",
         {writeProperty("RESULT_PROPERTY"), one(names::kDefault, "the value written when no code matches", "unknown"),
          one(names::kCmdLine, "the command line, run by the command processor", "exit 0"),
          one(names::kReturnCodesSet, "the exit statuses, \";\"-separated", "0;1"),
          one(names::kValuesSet, "the value for each status, \";\"-separated", "success;failure")},
         {}, {}, World::None, {}, {}},
        {"cobrinth", "SetPathRelatedProperties",
         "Writes the SOFTWAREPATH, INSTALLDIR, ENTERPRISEDIR and BINDIR properties and variants.",
         {one(names::kInstallDirCore, "the installation directory, ending with a backslash",
              "C:\\Program Files\\Product\\"),
          one(names::kHostPlatform, "Linux, windows, AIX, HPUX or SunOS, exactly", "windows"),
          one(names::kHostObjectModel, "\"64\" for a 64-bit host", "64"),
          one(names::kProductObjectModel, "\"64\" chooses the 64-bit variants", "64"),
          one(names::kEnterpriseVersionDir, "the version directory below the installation directory", "4.0")},
         {}, variants({names::kSoftwarePath, names::kInstallDirCore, names::kEnterpriseDir, names::kBinDir}),
         World::Registry, {}, {}},
        {"cobrinth", "ChangeFeatureState",
         "Sets the requested state of the feature FeatureId (Install, Uninstall, NoChange).",
         {one(names::kState, "Install, Uninstall or NoChange, exactly", "Install"),
          one(names::kCoreFeatureId, "the identifier of the feature, compared exactly", "Feature")},
         {}, {}, World::FeatureTree, {}, catchAll(4, L"ChangeFeatureState crashed", false, false)},
        {"cobrinth", "SleepCommand", "Waits the given number of seconds (no wait when the number is not positive).",
         {seconds}, {}, {}, World::None, {}, {}},
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

std::size_t actionCount(const std::string& library)
{
    std::size_t count = 0;
    for (const KnownAction& known : knownActions())
        count += known.library == library;
    return count;
}

const std::vector<std::string>& knownLibraries()
{
    static const std::vector<std::string> libraries = {"vantorel", "cobrinth"};
    return libraries;
}

bool isKnownLibrary(const std::string& library)
{
    const std::vector<std::string>& libraries = knownLibraries();
    return std::find(libraries.begin(), libraries.end(), library) != libraries.end();
}

} // namespace actionhost
