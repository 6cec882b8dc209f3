#include "Catalogue.h"

namespace actionhost {

const std::vector<KnownAction>& knownActions()
{
    static const std::vector<KnownAction> actions = {
        {"vantorel", "ChangeFeatureState", "Sets the requested state of the feature FeatureID (Install, Uninstall, Repair, NoChange)."},
        {"vantorel", "SetFeatureStateToDefault", "Requests install for every feature on by default, no change for the others."},
        {"vantorel", "DisplayFeatureInstallingState", "Logs every feature with its installed state and what the installation will do."},
        {"vantorel", "CheckDiskCost", "Compares the space the selection needs on the installation drive with the space free there."},
        {"vantorel", "CompareVersion", "Writes \"1\" when a version (with an allowed suffix) lies between two bounds, else \"0\"."},
        {"vantorel", "DetectOverhangingPatch", "Writes OverhangingPatch: whether the installed patch lies above the forward-fit level."},
        {"vantorel", "GetProductPatchLevel", "Writes the installed revision chosen from the product and product-family DUs."},
        {"vantorel", "CheckValidMinorRelease", "Writes \"false\" when going to a higher minor release at an SP level above 0."},
        {"vantorel", "DetectPatchOnLowerSP", "Writes \"true\" when the installed minor release and SP level lie below the installing ones."},
        {"vantorel", "DetectPatchOrSPOnHigherRevision", "Writes \"true\" when the installed revision is not below the installing one."},
        {"vantorel", "CheckForBlockingProductPreReqs", "Writes HasBlockingPreReq: \"1\" when a product prerequisite of type error failed."},
        {"vantorel", "EvaluateFeaturePreReqs", "Writes HasDisabledFeature: \"1\" when the feature tree holds a disabled feature."},
        {"vantorel", "EvaluateTargetFeaturePreReqs", "Writes HasBlockingFeaturePreReq and the reasons of one feature's failed prerequisites."},
        {"vantorel", "SortAvailableSetupLanguages", "Puts the prioritised user-interface languages first in the available list."},
        {"vantorel", "CheckIfContainSubstring", "Writes \"true\" when String contains Substring (case-sensitive), else \"false\"."},
        {"vantorel", "SetVexaName", "Derives a Vexa name from a host name: from its first ASCII letter, - and . made _."},
        {"vantorel", "SleepCommand", "Waits the given number of seconds (5 when the number is not positive)."},
        {"vantorel", "RunCommandAndSetReturnCode", "Runs a command line and writes its exit status."},
        {"vantorel", "RunCommandAndSetProperty", "Runs a command line and writes the value its exit status maps to."},
        {"cobrinth", "SetPathRelatedProperties", "Writes the SOFTWAREPATH, INSTALLDIR, ENTERPRISEDIR and BINDIR properties and variants."},
        {"cobrinth", "ChangeFeatureState", "Sets the requested state of the feature FeatureId (Install, Uninstall, NoChange)."},
        {"cobrinth", "SleepCommand", "Waits the given number of seconds (no wait when the number is not positive)."},
    };
    return actions;
}

} // namespace actionhost
