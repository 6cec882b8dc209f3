// DetectOverhangingPatch: tells whether the installed patch lies above the
// level up to which the installing SP level carries the installed SP level's
// patches forward, as listed in the forward-fit data file.
//
// The forward-fit file holds lines "x.y.z: a.b.c.d a.b.c.d ...": under each
// installing SP level, one forward-fit level per installed SP level. Blank
// lines and "#" comments may stand anywhere.
#include "frame/Action.h"
#include "frame/Names.h"
#include "frame/PocoFile.h"
#include "frame/Text.h"
#include "versions/Version.h"

#include <Poco/FileStream.h>
#include <Poco/Path.h>
#include <Poco/StringTokenizer.h>

#include <exception>
#include <string>

namespace {

// What the installed product and the installing product are.
struct Levels {
    std::wstring installedSpLevel;
    std::wstring installedPatch;
    std::wstring installingSpLevel;
};

enum class LineOutcome { Next, Decided, Failed };

// Looks for the installed SP level's forward-fit level in the list of a
// matching line. Decided: the property is written; Failed: result 1.
LineOutcome checkForwardFitLevels(IActionContext& host, const std::wstring& list, const Levels& levels)
{
    const std::wstring prefix = levels.installedSpLevel + L".";
    Poco::StringTokenizer tokens(utf8FromWide(list), " \t",
                                 Poco::StringTokenizer::TOK_IGNORE_EMPTY | Poco::StringTokenizer::TOK_TRIM);
    for (const std::string& rawToken : tokens) {
        const std::wstring token = trimWhiteSpace(wideFromUtf8(rawToken));
        if (!isDottedRevision(token, 3)) {
            host.Log(4, L"Current level string is invalid.  Expecting level of form: x.y.z.w");
            host.Log(4, L"Level: " + token);
            continue;
        }
        if (token.compare(0, prefix.size(), prefix) != 0)
            continue;
        host.Log(2, L"Checking against forward fit level: " + token);
        std::wstring level, patch;
        splitAtLastDot(token, level, patch);
        int forwardFitPatch = 0;
        if (!tryParseInt(patch, forwardFitPatch)) {
            host.Log(2, L"Could not parse int: " + patch);
            return LineOutcome::Failed;
        }
        int installedPatch = 0;
        if (!tryParseInt(levels.installedPatch, installedPatch)) {
            host.Log(2, L"Could not parse int: " + levels.installedPatch);
            return LineOutcome::Failed;
        }
        host.SetProperty(names::kOverhangingPatch, boolToText(installedPatch > forwardFitPatch));
        return LineOutcome::Decided;
    }
    return LineOutcome::Next;
}

int readForwardFitFile(IActionContext& host, const std::wstring& dataFile, const Levels& levels)
{
    const Poco::Path path(utf8FromWide(dataFile));
    if (!PocoWrapper::File(dataFile).exists()) {
        host.Log(4, L"Missing data file: " + dataFile);
        return kActionFailure;
    }
    Poco::FileInputStream stream(path.toString());
    bool matched = false;
    std::string raw;
    while (std::getline(stream, raw)) {
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        const std::wstring asRead = wideFromUtf8(raw);
        std::wstring line = trimWhiteSpace(asRead);
        const std::wstring::size_type comment = line.find(L'#');
        if (comment != std::wstring::npos)
            line.erase(comment);
        if (line.empty())
            continue;
        host.Log(2, L"Processing line: " + asRead);
        const std::wstring::size_type colon = line.find(L':');
        if (colon == std::wstring::npos) {
            host.Log(4, L"Skipping invalid data line.  No colon found.");
            continue;
        }
        const std::wstring level = trimWhiteSpace(line.substr(0, colon));
        if (!isDottedRevision(level, 2)) {
            host.Log(4, L"Current line has invalid level before colon.  Expecting level of form: x.y.z");
            continue;
        }
        if (level != levels.installingSpLevel)
            continue;
        host.Log(2, L"Using line for check.");
        matched = true;
        if (colon + 1 == line.size())
            continue;
        switch (checkForwardFitLevels(host, trimWhiteSpace(line.substr(colon + 1)), levels)) {
        case LineOutcome::Decided: return kActionSuccess;
        case LineOutcome::Failed: return kActionFailure;
        case LineOutcome::Next: break;
        }
    }
    if (matched) {
        host.Log(2, L"No corresponding level found in any matching SP level line.  Assuming overhang.");
        host.SetProperty(names::kOverhangingPatch, L"true");
        return kActionSuccess;
    }
    host.Log(4, L"No matching SP level line found in data file.");
    host.Log(4, L"Setting overhang to true anyways so that someone remembers to add the line.");
    host.SetProperty(names::kOverhangingPatch, L"true");
    return kActionFailure;
}

int detectOverhangingPatch(IActionContext& host)
{
    const std::wstring dataFile = readParameter(host, names::kForwardFitDataFile);
    const std::wstring currentPatchLevel = readParameter(host, names::kCurrentPatchLevel);
    const std::wstring productId = readParameter(host, names::kProductId);
    host.SetProperty(names::kOverhangingPatch, L"false");
    if (currentPatchLevel.empty())
        return kActionSuccess;
    if (!isDottedRevision(currentPatchLevel, 3)) {
        host.Log(4, L"Current patch level property has invalid dotted revision: " + currentPatchLevel);
        host.Log(4, L"Expecting dotted revision of the form: x.y.z.w");
        return kActionFailure;
    }
    host.Log(2, L"Current patch level: " + currentPatchLevel);
    Levels levels;
    splitAtLastDot(currentPatchLevel, levels.installedSpLevel, levels.installedPatch);

    const std::wstring::size_type comma = productId.find(L',');
    if (comma == std::wstring::npos || comma + 1 == productId.size()) {
        host.Log(4, L"Current product DU id has no revision: " + productId);
        return kActionFailure;
    }
    const std::wstring revision = trimWhiteSpace(productId.substr(comma + 1));
    if (!isDottedRevision(revision, 3)) {
        host.Log(4, L"Current product DU id has invalid dotted revision: " + productId);
        return kActionFailure;
    }
    std::wstring installingPatch;
    splitAtLastDot(revision, levels.installingSpLevel, installingPatch);
    host.Log(2, L"SP level of installing product: " + levels.installingSpLevel);

    if (levels.installedSpLevel == levels.installingSpLevel) {
        host.Log(2, L"The installed product SP level matches the installing product SP level.");
        host.Log(2, L"We don't need to detect overhanging patches.");
        host.SetProperty(names::kOverhangingPatch, L"false");
        return kActionSuccess;
    }

    try {
        return readForwardFitFile(host, dataFile, levels);
    } catch (const std::exception& error) {
        host.Log(4, L"Error reading data file: " + dataFile);
        host.Log(4, wideFromUtf8(error.what()));
        return kActionFailure;
    }
}

} // namespace

ACTION_ENTRY(DetectOverhangingPatch)
{
    return runAction(context, detectOverhangingPatch);
}
