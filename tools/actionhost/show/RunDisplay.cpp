// Showing a run as it happens, a log line at a time.
#include "show/RunDisplay.h"

#include "catalogue/States.h"
#include "scenario/Json.h"

#include "hosting/SimulatedHost.h"

namespace actionhost {

std::string oneLine(const std::string& text)
{
    bool plain = !text.empty() && text.front() != ' ' && text.back() != ' ';
    for (unsigned char c : text)
        plain = plain && c >= 0x20 && c != 0x7f;
    return plain ? text : jsonText(text);
}

RunOutput printScenarioRun(std::ostream& out, const Scenario& original, const std::string& libraryOverride,
                           bool withCalls, bool keepCalls)
{
    Scenario scenario = original;
    // Only what is shown is kept: no transcript unless asked for.
    // (Faults are told apart by the calls they did not fire at.)
    scenario.model.recordTranscript = withCalls || keepCalls || !scenario.model.faults.empty();
    scenario.model.recordParametersAsked = true;
    scenario.model.logSink = [&out](int level, const std::wstring& text) {
        out << "  [" << level << "] ";
        out << oneLine(hosting::narrow(text));
        out << "\n";
    };
    // Nothing is printed before the library and its action are found: a
    // scenario that cannot run shows only its error.
    const RunOutput output = runScenario(scenario, libraryOverride, [&out, &scenario] {
        out << "scenario: " << scenario.name << " (" << scenario.action << ")\n";
        out << "log:\n";
    });
    const hosting::RunRecord& record = output.record;
    out << "(" << record.logLines << " log lines)\n";
    out << "properties written (" << record.writes.size() << "):\n";
    for (const auto& write : record.writes)
        out << "  " << oneLine(hosting::narrow(write.first)) << " = " << jsonText(hosting::narrow(write.second)) << "\n";
    out << "requested feature states (" << record.featureStates.size() << "):\n";
    for (const auto& state : record.featureStates)
        out << "  " << oneLine(hosting::narrow(state.first)) << " = " << requestedStateText(state.second) << "\n";
    if (withCalls) {
        out << "host calls (" << record.calls.size() << "):\n";
        for (std::size_t i = 0; i < record.calls.size(); ++i)
            out << "  " << i << ": " << record.calls[i] << "\n";
    }
    if (record.exception)
        out << "exception: " << record.exceptionText << "\n";
    else
        out << "result: " << record.result << "\n";
    return output;
}

} // namespace actionhost
