// DetectOverhangingPatch: tells whether the installed patch lies above the
// level up to which the installing SP level carries the installed SP level's
// patches forward, as listed in the forward-fit data file.
//
// The forward-fit file holds lines "x.y.z: a.b.c.d a.b.c.d ...": under each
// installing SP level, one forward-fit level per installed SP level. Blank
// lines and "#" comments may stand anywhere.
#include "frame/Action.h"
#include "names/Names.h"
#include "frame/PocoFile.h"
#include "frame/Text.h"
#include "versions/Version.h"

#include <Poco/FileStream.h>
#include <Poco/Path.h>

#include <algorithm>
#include <cwchar>
#include <exception>
#include <stdexcept>
#include <string>

namespace {

// What the installed product and the installing product are.
struct Levels {
    std::wstring installedSpLevel;
    std::wstring installedPatch;
    std::wstring installingSpLevel;
};

enum class LineOutcome { Next, Decided, Failed };

// Looks for the installed SP level's forward-fit level in the list, which
// is text[begin, end): entries separated by blanks and tabs, each trimmed,
// empty ones dropped. The entries are read where they stand in the line, so
// a long list is never copied whole. Decided: the property is written;
// Failed: result 1.
LineOutcome checkForwardFitLevels(IActionContext& host, const std::wstring& text, std::size_t begin,
                                  std::size_t end, const Levels& levels)
{
    const std::wstring prefix = levels.installedSpLevel + L".";
    static const wchar_t kSeparators[] = L" \t";
    std::size_t next = begin;
    while (next < end) {
        std::size_t first = text.find_first_not_of(kSeparators, next);
        if (first >= end)
            break;
        std::size_t last = std::min(text.find_first_of(kSeparators, first), end);
        next = last;
        first = text.find_first_not_of(kWhiteSpace, first);
        while (last > first && std::wcschr(kWhiteSpace, text[last - 1]) != nullptr)
            --last;
        if (first >= last)
            continue;
        const std::wstring token = text.substr(first, last - first);
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
    const PocoWrapper::File file(dataFile);
    if (!file.exists()) {
        host.Log(4, L"Missing data file: " + dataFile);
        return kActionFailure;
    }
    // A directory, FIFO, device or socket is no data file: reading it would
    // fail, block or never end. Asked before the file is opened.
    if (!file.isFile())
        throw std::runtime_error("not a regular file");
    Poco::FileInputStream stream(path.toString());
    // A read error ends the loop as an error, not as the end of the file.
    stream.exceptions(std::ios::badbit);
    bool matched = false;
    static const std::wstring kProcessing = L"Processing line: ";
    std::string raw;
    // The log line "Processing line: " + the line as read; the line itself
    // is the range [begin, end) of it, trimmed and without its comment. One
    // buffer serves every line.
    std::wstring text;
    while (std::getline(stream, raw)) {
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        text.assign(kProcessing);
        appendWideFromUtf8(raw, text);
        const std::size_t begin = text.find_first_not_of(kWhiteSpace, kProcessing.size());
        if (begin == std::wstring::npos)
            continue;
        const std::size_t end = std::min(text.find_last_not_of(kWhiteSpace) + 1, text.find(L'#', begin));
        if (begin >= end)
            continue;
        host.Log(2, text);
        const std::size_t colon = text.find(L':', begin);
        if (colon >= end) {
            host.Log(4, L"Skipping invalid data line.  No colon found.");
            continue;
        }
        const std::wstring level = trimWhiteSpace(text.substr(begin, colon - begin));
        if (!isDottedRevision(level, 2)) {
            host.Log(4, L"Current line has invalid level before colon.  Expecting level of form: x.y.z");
            continue;
        }
        if (level != levels.installingSpLevel)
            continue;
        host.Log(2, L"Using line for check.");
        matched = true;
        if (colon + 1 == end)
            continue;
        switch (checkForwardFitLevels(host, text, colon + 1, end, levels)) {
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
