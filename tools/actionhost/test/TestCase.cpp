// Running one scenario under test, in a child process or in this one, and
// judging what it handed over.
#include "test/TestCase.h"

#include "os/ChildProcess.h"
#include "os/Files.h"
#include "run/Exit.h"
#include "run/FaultSweep.h"
#include "run/Runner.h"
#include "run/Unread.h"
#include "scenario/Json.h"
#include "test/Expectations.h"

#include "hosting/World.h"

#include <Poco/Environment.h>
#include <Poco/TemporaryFile.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <vector>

namespace actionhost {

namespace {

std::string showTail(const char* stream, const std::string& tail, bool cut)
{
    if (tail.empty())
        return std::string();
    std::string shown = std::string("  ") + stream + (cut ? " (its last 64 KiB):\n" : ":\n");
    std::size_t start = 0;
    while (start < tail.size()) {
        std::size_t end = tail.find('\n', start);
        if (end == std::string::npos)
            end = tail.size();
        shown += "  | " + tail.substr(start, end - start) + "\n";
        start = end + 1;
    }
    return shown;
}

std::string seconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", value);
    return text;
}

std::string hexCode(unsigned long code)
{
    char text[32];
    std::snprintf(text, sizeof(text), "0x%08lX", code);
    return text;
}

// The lines of a sweep's report that name parameters not read, taken out.
std::vector<Unused> takeUnread(std::string& report)
{
    const std::string mark = kUnreadMark;
    const std::string strictMark = kStrictUnreadMark;
    std::vector<Unused> unread;
    std::string rest;
    std::string line;
    std::istringstream lines(report);
    while (std::getline(lines, line)) {
        if (line.compare(0, mark.size(), mark) == 0)
            unread.push_back({line.substr(mark.size()), false});
        else if (line.compare(0, strictMark.size(), strictMark) == 0)
            unread.push_back({line.substr(strictMark.size()), true});
        else
            rest += line + "\n";
    }
    report = rest;
    return unread;
}

std::vector<std::string> callsOf(const Json& run)
{
    std::vector<std::string> calls;
    if (run.contains("calls") && run.at("calls").is_array()) {
        for (const Json& call : run.at("calls"))
            calls.push_back(call.get<std::string>());
    }
    return calls;
}

// Compares a scenario's result with what it expects: a sweep's report
// (passed tells whether the sweep found nothing wrong), or the run as JSON.
void compare(const TestOptions& options, const Scenario& scenario, TestCase& test, std::string result, bool passed)
{
    if (options.faultSweep) {
        test.unread = takeUnread(result);
        test.note = " (" + result.substr(0, result.find('\n')) + ")";
        if (passed) {
            test.passed = true;
            return;
        }
        test.difference = "\n  " + result.substr(0, result.size() - (result.empty() ? 0 : 1));
        return;
    }
    try {
        const Json run = parseJsonObject(result, scenario.file + " (run result)", "a run's result");
        test.run = result;
        const std::vector<std::string> calls = callsOf(run);
        test.unread = unreadParameters(scenario, calls);
        const std::vector<Unused> faults = unfiredFaultLines(scenario, calls);
        test.unread.insert(test.unread.end(), faults.begin(), faults.end());
        if (scenario.expect.is_null()) {
            test.difference = "no \"expect\" block";
            return;
        }
        const Differences found = differences(scenario.expect, run);
        if (!found.empty()) {
            test.difference = found.summary();
            test.details = found.details;
            // An exception left the action, and its expect block did not ask for one.
            test.error = !run.at("exception").is_null();
        }
    } catch (const std::exception& error) {
        test.difference = error.what();
        test.error = true;
    }
    test.passed = test.difference.empty();
}

// Judges the scenario on its result; with --strict what the scenario gives
// that its action never uses fails it too.
void judge(const TestOptions& options, const Scenario& scenario, TestCase& test, const std::string& result,
           bool passed)
{
    compare(options, scenario, test, result, passed);
    if (!options.strict || !test.passed)
        return;
    for (const Unused& unused : test.unread) {
        if (unused.failsStrict) {
            test.passed = false;
            test.difference = "it gives what its action never uses (--strict): " + unused.line;
            return;
        }
    }
}

// What a child would have handed over, made in this process instead: the
// sweep's report, or the run as JSON. A scenario the child would refuse with
// a usage error is a bad scenario here too.
bool resultInProcess(const TestOptions& options, const Scenario& scenario, TestCase& test, std::string& result,
                     bool& sweepPassed)
{
    try {
        if (options.faultSweep) {
            const SweepResult sweep = sweepScenario(scenario, options.library);
            result = sweepReport(sweep);
            sweepPassed = sweep.problems.empty();
        } else {
            result = jsonText(toJson(runScenario(scenario, options.library), true));
        }
        return true;
    } catch (const std::exception& error) {
        test.difference = "bad scenario: actionhost: " + std::string(error.what());
        test.error = true;
        return false;
    }
}

} // namespace

void testOne(const TestOptions& options, const Scenario& scenario, TestCase& test)
{
    if (options.inProcess) {
        std::string result;
        bool sweepPassed = false;
        const auto start = std::chrono::steady_clock::now();
        const bool ran = resultInProcess(options, scenario, test, result, sweepPassed);
        test.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        test.ran = true;
        if (ran)
            judge(options, scenario, test, result, sweepPassed);
        return;
    }
    const std::string resultFile = Poco::TemporaryFile::tempName();
    std::vector<std::string> args{"run", scenario.file, "--json", "--transcript"};
    if (options.faultSweep)
        args = {"sweep", scenario.file};
    args.push_back("--result-file");
    args.push_back(resultFile);
    if (!options.library.empty()) {
        args.push_back("--library");
        args.push_back(options.library);
    }
    const double limit = scenario.timeout > 0 ? scenario.timeout : options.timeout;
    const auto start = std::chrono::steady_clock::now();
    const ChildOutcome child = runChild(options.self, args, limit);
    test.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // A child that crashed left its scratch registry behind (Windows).
    hosting::removeScratchRegistry(child.processId);
    const std::string result = readAndRemove(resultFile);
    test.ran = true;
    test.captured = showTail("stdout", child.out, child.outCut) + showTail("stderr", child.err, child.errCut);
    test.out = child.out;
    test.err = child.err;
    std::string errors = child.err;
    while (!errors.empty() && (errors.back() == '\n' || errors.back() == '\r'))
        errors.pop_back();
    switch (child.ending) {
    case ChildOutcome::NotStarted:
        test.difference = child.error;
        test.error = true;
        return;
    case ChildOutcome::TimedOut:
        test.difference = "timed out after " + seconds(limit) + " s";
        test.error = true;
        return;
    case ChildOutcome::Interrupted:
        test.difference = "interrupted";
        test.error = true;
        return;
    case ChildOutcome::Crashed:
        test.difference = Poco::Environment::isWindows()
                              ? "the action crashed the host process (exception code " + hexCode(child.code) + ")"
                              : "the action crashed the host process (signal " + std::to_string(child.code) + ")";
        test.error = true;
        return;
    case ChildOutcome::Exited:
        break;
    }
    if (child.code == static_cast<unsigned long>(kExitUsage)) {
        test.difference = "bad scenario: " + errors.substr(errors.rfind('\n') == std::string::npos ? 0 : errors.rfind('\n') + 1);
        test.error = true;
        return;
    }
    if (child.code != 0 && child.code != 1 && child.code != static_cast<unsigned long>(kExitException)) {
        test.difference = "the action crashed the host process (exit code " + hexCode(child.code) + ")";
        test.error = true;
        return;
    }
    judge(options, scenario, test, result, child.code == 0);
}

} // namespace actionhost
