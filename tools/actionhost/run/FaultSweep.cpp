// The fault sweep: a fault at each position of a scenario's transcript in
// turn, each run judged against how its action treats a failing host.
#include "run/FaultSweep.h"

#include "catalogue/Catalogue.h"
#include "run/Runner.h"
#include "run/Unread.h"

namespace actionhost {

namespace {

// How the action treats a failing host, as the catalogue has it. A library
// given by path is taken for vantorel, unless it is cobrinth by name.
FaultHandling handlingOf(const std::string& library, const std::string& action)
{
    const KnownAction* known = findKnownAction(library == "cobrinth" ? "cobrinth" : "vantorel", action);
    return known != nullptr ? known->handling : FaultHandling();
}

bool startsWith(const std::wstring& text, const std::wstring& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// The transcript position of each log line of a run.
std::vector<std::size_t> logPositions(const hosting::RunRecord& record)
{
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < record.calls.size(); ++i) {
        if (record.calls[i].compare(0, 4, "Log:") == 0)
            positions.push_back(i);
    }
    return positions;
}

// Whether the call at position lies inside the action's handler.
bool insideHandler(const FaultHandling& handling, const hosting::RunRecord& baseline, std::size_t position)
{
    const std::vector<std::size_t> logs = logPositions(baseline);
    switch (handling.kind) {
    case FaultHandling::None:
        return false;
    case FaultHandling::CatchAll:
        if (handling.firstCallOutside && position == 0)
            return false;
        // The crash line of a run that crashed by itself is logged by the
        // handler, after the protected region.
        if (!baseline.log.empty() && baseline.log.back().level == handling.crashLevel &&
            baseline.log.back().text == handling.crashLine && !logs.empty() && position >= logs.back())
            return false;
        if (handling.successLogOutside && !baseline.exception && baseline.result == 0 && !logs.empty() &&
            position == logs.back())
            return false;
        return true;
    case FaultHandling::ReadingHandler:
        // The error lines of a run whose reading failed by itself are logged
        // by the handler, after the protected region.
        for (std::size_t i = 0; i < baseline.log.size() && i < logs.size(); ++i) {
            if (startsWith(baseline.log[i].text, handling.errorPrefix) && position >= logs[i])
                return false;
        }
        // The file is read after the line naming the installing SP level,
        // unless the SP levels were equal.
        for (std::size_t i = 0; i < baseline.log.size() && i < logs.size(); ++i) {
            if (startsWith(baseline.log[i].text, handling.readingAfter)) {
                if (i + 1 < baseline.log.size() && baseline.log[i + 1].text == handling.readingSkipped)
                    return false;
                return position > logs[i];
            }
        }
        return false;
    }
    return false;
}

std::string describe(std::size_t position, const std::string& call)
{
    return "fault at " + std::to_string(position) + " (" + call + "): ";
}

} // namespace

std::vector<std::string> faultProblems(const std::string& library, const std::string& action,
                                       const hosting::RunRecord& baseline, std::size_t position,
                                       const hosting::RunRecord& record)
{
    std::vector<std::string> problems;
    const FaultHandling handling = handlingOf(library, action);
    const std::string where = describe(position, baseline.calls.at(position));
    if (record.faultPositions != std::vector<std::size_t>{position}) {
        problems.push_back(where + "the run took another path before the fault");
        return problems;
    }
    // Nothing may be written or set after the failing call.
    for (std::size_t i = position + 1; i < record.calls.size(); ++i) {
        const std::string& call = record.calls[i];
        if (call.compare(0, 12, "SetProperty:") == 0 || call.find(".SetRequestedState:") != std::string::npos) {
            problems.push_back(where + "wrote after the fault: " + call);
            break;
        }
    }
    if (!insideHandler(handling, baseline, position)) {
        if (!record.exception)
            problems.push_back(where + "the exception must reach the host, but the action returned " +
                               std::to_string(record.result));
        return problems;
    }
    if (record.exception) {
        problems.push_back(where + "the action's handler must catch it, but it reached the host");
        return problems;
    }
    if (record.result != 1)
        problems.push_back(where + "result " + std::to_string(record.result) + " after a caught fault");
    if (handling.kind == FaultHandling::CatchAll) {
        if (record.log.empty() || record.log.back().level != handling.crashLevel ||
            record.log.back().text != handling.crashLine)
            problems.push_back(where + "the crash line is not the last log line");
    } else if (record.log.size() < 2 ||
               !startsWith(record.log[record.log.size() - 2].text, handling.errorPrefix) ||
               record.log.back().level != 4) {
        problems.push_back(where + "the data-file error lines are missing");
    }
    return problems;
}

SweepResult sweepScenario(const Scenario& original, const std::string& libraryOverride)
{
    Scenario scenario = original;
    scenario.model.faults.clear();
    scenario.model.failAtCall = -1;
    const RunOutput baseline = runScenario(scenario, libraryOverride);

    SweepResult sweep;
    sweep.positions = baseline.record.calls.size();
    sweep.unread = unreadParameters(original, baseline.record.calls);
    for (std::size_t position = 0; position < baseline.record.calls.size(); ++position) {
        scenario.model.failAtCall = static_cast<long>(position);
        const RunOutput run = runScenario(scenario, libraryOverride);
        const std::vector<std::string> problems =
            faultProblems(scenario.library, scenario.action, baseline.record, position, run.record);
        sweep.problems.insert(sweep.problems.end(), problems.begin(), problems.end());
    }
    return sweep;
}

const char kUnreadMark[] = "unread: ";
const char kStrictUnreadMark[] = "unread, fails --strict: ";

std::string sweepReport(const SweepResult& sweep)
{
    std::string report = std::to_string(sweep.positions) + " fault positions\n";
    for (const std::string& problem : sweep.problems)
        report += problem + "\n";
    for (const Unused& unused : sweep.unread)
        report += (unused.failsStrict ? kStrictUnreadMark : kUnreadMark) + unused.line + "\n";
    return report;
}

} // namespace actionhost
