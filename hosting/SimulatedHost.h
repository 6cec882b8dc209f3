// A host for actions, over an in-memory model: parameters, properties, a
// ResolveText table, a feature tree and a disk-cost list. It records every
// host call in order (the transcript) and can be told to throw at a chosen
// call (fault injection). It serves the current host interfaces and the
// earlier product interfaces of the setup-core library from the same model.
#pragma once

#include "host/ActionContext.h"

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace hosting {

// An action as the host calls it. Off 32-bit Windows this is the exported
// function itself; there, the DLLs speak Visual C++'s ABI and each call goes
// through the test host that clang builds for that ABI (msvcbridge.dll).
typedef std::function<int(ActionContextPtr context)> HostedAction;

struct FeatureModel {
    std::wstring id = L"root";
    bool enabled = true;
    int defaultState = 0;
    int installed = 0;
    int installing = 0;
    int marker = 0;
    std::vector<FeatureModel> children;
};

struct DiskCostModel {
    std::wstring path;
    std::int64_t cost = 0;
};

struct LogLine;

// A host call that throws: the transcript entry it matches (an entry without
// ":" stands for every call of that operation, "Log" for "Log:2"), and which
// of the matching calls. Occurrence 0, the form of a plain text: the first
// matching call that no earlier entry took, so that an entry given twice
// fires at the second matching call too. Occurrence N: the Nth matching call
// of the run, counting those other entries took (where another entry took it,
// this one never fires).
struct FaultEntry {
    FaultEntry() = default;
    // A plain entry, as tests write them: {"Log:2", "B.GetId"}.
    FaultEntry(std::string entry, std::size_t nth = 0) : call(std::move(entry)), occurrence(nth) {}
    FaultEntry(const char* entry) : call(entry) {}

    std::string call;
    std::size_t occurrence = 0;

    bool matches(const std::string& transcriptEntry) const;
    // "Log:2", or "Log:2" (occurrence 3), as messages name it.
    std::string shown() const;
    bool operator==(const FaultEntry& other) const { return call == other.call && occurrence == other.occurrence; }
};

struct HostModel {
    std::map<std::wstring, std::wstring> parameters;
    std::map<std::wstring, std::wstring> properties;
    std::map<std::wstring, std::wstring> resolve;
    FeatureModel root;
    std::vector<DiskCostModel> diskCosts;
    // Each entry makes the host throw std::runtime_error at a call that
    // matches it (see FaultEntry).
    std::vector<FaultEntry> faults;
    // When not negative: the host throws at the call with this 0-based
    // position in the transcript.
    long failAtCall = -1;
    // Off: no transcript is kept (cheap host for benchmarks).
    bool recordTranscript = true;
    // On: the names of the parameters asked for are kept, without the
    // transcript (for a run that shows what it never asked for).
    bool recordParametersAsked = false;
    // When set, log lines go to the sink as they are logged instead of being
    // kept in the record, so that a long run holds no log in memory.
    // The text is the action's own, not a copy.
    std::function<void(int level, const std::wstring& text)> logSink;
};

// Which calls a model's fault entries fire at: at each call, the entries
// not yet fired are asked in order, and the first that fires there takes the
// call (a call fires at most one). The host follows one through its run;
// one replayed over a run's transcript tells which entries never fired.
class FaultPlan {
public:
    explicit FaultPlan(std::vector<FaultEntry> faults);
    // Whether an entry fires at this call (transcript entry), which it then
    // consumes.
    bool fire(const std::string& call);
    // The entries that have not fired, in the model's order, each with the
    // number of calls that matched it.
    std::vector<std::pair<FaultEntry, std::size_t> > unfired() const;
    bool empty() const { return faults_.empty(); }

private:
    std::vector<FaultEntry> faults_;
    std::vector<bool> fired_;
    std::vector<std::size_t> matched_;
};

// The fault entries that fire at no call of a transcript, each with the
// number of its calls that matched it.
std::vector<std::pair<FaultEntry, std::size_t> > unfiredFaults(const std::vector<FaultEntry>& faults,
                                                               const std::vector<std::string>& calls);

struct LogLine {
    int level;
    std::wstring text;
};

struct RunRecord {
    std::vector<LogLine> log;
    std::size_t logLines = 0;  // lines logged, kept or streamed
    std::vector<std::pair<std::wstring, std::wstring> > writes;
    // The last requested state set on each feature, by identifier.
    std::map<std::wstring, int> featureStates;
    // Transcript entries, UTF-8: "Log:2", "GetParameter:NAME", "ID.GetChildren", ...
    std::vector<std::string> calls;
    // Positions in calls at which the host threw.
    std::vector<std::size_t> faultPositions;
    // With recordParametersAsked: each parameter name asked for, once, in order.
    std::vector<std::wstring> parametersAsked;
    int result = -1;
    bool exception = false;
    std::string exceptionText;
};

class SimulatedHost {
public:
    explicit SimulatedHost(const HostModel& model);
    ~SimulatedHost();
    SimulatedHost(const SimulatedHost&) = delete;
    SimulatedHost& operator=(const SimulatedHost&) = delete;

    // The context to hand to an action.
    ActionContextPtr context();

    // Calls the action with a fresh copy of the context. An exception that
    // leaves the action is recorded (exception, exceptionText), not rethrown.
    void run(const HostedAction& action);

    const RunRecord& record() const;
    // The property store after the call.
    const std::map<std::wstring, std::wstring>& properties() const;

    class Impl;

private:
    boost::shared_ptr<Impl> impl_;
};

// UTF-8 <-> wide for the host's own texts (transcript, scenario files).
std::string narrow(const std::wstring& text);
std::wstring widen(const std::string& text);

} // namespace hosting
