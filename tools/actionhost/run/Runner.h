// Running a scenario on the simulated host, and what the run recorded.
#pragma once

#include "scenario/Scenario.h"

#include "hosting/ActionLibrary.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>

namespace actionhost {

struct RunOutput {
    hosting::RunRecord record;
    std::map<std::wstring, std::wstring> properties;  // the store after the call
};

// The path of a library: "vantorel" and "cobrinth" name the libraries built
// or installed with this program; anything else is a path relative to
// directory. Throws ScenarioError when no such file exists.
std::string resolveLibrary(const std::string& library, const std::string& directory);

// Loads the scenario's library (or libraryOverride) and finds its action,
// which stays callable while the library is held. Throws ScenarioError for a
// library that cannot be found or loaded or lacks the action, naming the
// scenario file.
std::unique_ptr<hosting::ActionLibrary> openLibrary(const Scenario& scenario, const std::string& libraryOverride,
                                                    hosting::HostedAction& entry);

// Loads the library and calls the action in this process, with the
// scenario's folder as working directory and its simulated drives and
// registry in place. Throws ScenarioError for a library that cannot be
// loaded or lacks the action. ready, when given, is called just before the
// action.
RunOutput runScenario(const Scenario& scenario, const std::string& libraryOverride,
                      const std::function<void()>& ready = {});

// The run as one JSON document: result, exception, log, writes,
// featureStates, properties and, with calls, the transcript.
Json toJson(const RunOutput& output, bool withCalls);

} // namespace actionhost
