#include "FaultSweep.h"

#include "Runner.h"

namespace actionhost {

namespace {

// How an action treats an exception raised by its host.
struct Handling {
    enum Kind { None, CatchAll, ReadingHandler } kind = None;
    int crashLevel = 4;
    std::wstring crashLine;
    bool firstCallOutside = false;     // the opening log line lies before the handler
    bool successLogOutside = false;    // the closing success line lies after it
};

Handling handlingOf(const Scenario& scenario)
{
    Handling handling;
    const bool core = scenario.library == "cobrinth";
    const std::string& action = scenario.action;
    if (action == "ChangeFeatureState") {
        handling.kind = Handling::CatchAll;
        handling.crashLine = L"ChangeFeatureState crashed";
        handling.firstCallOutside = !core;
        handling.successLogOutside = !core;
    } else if (action == "SetFeatureStateToDefault") {
        handling.kind = Handling::CatchAll;
        handling.crashLine = L"[SetFeatureStateToDefault] crashed";
        handling.firstCallOutside = true;
        handling.successLogOutside = true;
    } else if (action == "DisplayFeatureInstallingState") {
        handling.kind = Handling::CatchAll;
        handling.crashLevel = 2;
        handling.crashLine = L"[DisplayFeatureInstallingState] crashed";
    } else if (action == "CompareVersion") {
        handling.kind = Handling::CatchAll;
        handling.crashLine = L"CompareVersion crashed";
    } else if (action == "DetectOverhangingPatch") {
        handling.kind = Handling::ReadingHandler;
    }
    return handling;
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
bool insideHandler(const Handling& handling, const hosting::RunRecord& baseline, std::size_t position)
{
    const std::vector<std::size_t> logs = logPositions(baseline);
    switch (handling.kind) {
    case Handling::None:
        return false;
    case Handling::CatchAll:
        if (handling.firstCallOutside && position == 0)
            return false;
        if (handling.successLogOutside && !baseline.exception && baseline.result == 0 && !logs.empty() &&
            position == logs.back())
            return false;
        return true;
    case Handling::ReadingHandler:
        // The file is read after the line naming the installing SP level,
        // unless the SP levels were equal.
        for (std::size_t i = 0; i < baseline.log.size() && i < logs.size(); ++i) {
            if (baseline.log[i].text.compare(0, 31, L"SP level of installing product:") == 0) {
                if (i + 1 < baseline.log.size() &&
                    baseline.log[i + 1].text == L"The installed product SP level matches the installing product SP level.")
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

SweepResult sweepScenario(const Scenario& original, const std::string& libraryOverride)
{
    Scenario scenario = original;
    scenario.model.faults.clear();
    scenario.model.failAtCall = -1;
    const RunOutput baseline = runScenario(scenario, libraryOverride);
    const Handling handling = handlingOf(scenario);

    SweepResult sweep;
    sweep.positions = baseline.record.calls.size();
    for (std::size_t position = 0; position < baseline.record.calls.size(); ++position) {
        scenario.model.failAtCall = static_cast<long>(position);
        const RunOutput run = runScenario(scenario, libraryOverride);
        const hosting::RunRecord& record = run.record;
        const std::string where = describe(position, baseline.record.calls[position]);

        if (record.faultPositions != std::vector<std::size_t>{position}) {
            sweep.problems.push_back(where + "the run took another path before the fault");
            continue;
        }
        // Nothing may be written or set after the failing call.
        for (std::size_t i = position + 1; i < record.calls.size(); ++i) {
            const std::string& call = record.calls[i];
            if (call.compare(0, 12, "SetProperty:") == 0 || call.find(".SetRequestedState:") != std::string::npos) {
                sweep.problems.push_back(where + "wrote after the fault: " + call);
                break;
            }
        }
        const bool inside = insideHandler(handling, baseline.record, position);
        if (!inside) {
            if (!record.exception)
                sweep.problems.push_back(where + "the exception must reach the host, but the action returned " +
                                         std::to_string(record.result));
            continue;
        }
        if (record.exception) {
            sweep.problems.push_back(where + "the action's handler must catch it, but it reached the host");
            continue;
        }
        if (record.result != 1)
            sweep.problems.push_back(where + "result " + std::to_string(record.result) + " after a caught fault");
        if (handling.kind == Handling::CatchAll) {
            if (record.log.empty() || record.log.back().level != handling.crashLevel ||
                record.log.back().text != handling.crashLine)
                sweep.problems.push_back(where + "the crash line is not the last log line");
        } else if (record.log.size() < 2 ||
                   record.log[record.log.size() - 2].text.compare(0, 25, L"Error reading data file: ") != 0 ||
                   record.log.back().level != 4) {
            sweep.problems.push_back(where + "the data-file error lines are missing");
        }
    }
    return sweep;
}

} // namespace actionhost
