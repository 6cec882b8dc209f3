// actionhost: runs installer custom actions from scenario files on a
// simulated host, shows what they did and checks it against expectations.
#include "Catalogue.h"
#include "ChildProcess.h"
#include "FaultSweep.h"
#include "Update.h"
#include "Runner.h"
#include "Scenario.h"

#include "hosting/World.h"

#include <CLI/CLI.hpp>

#include <Poco/DirectoryIterator.h>
#include <Poco/Environment.h>
#include <Poco/File.h>
#include <Poco/JSON/Stringifier.h>
#include <Poco/Path.h>
#include <Poco/StreamCopier.h>

#include <Poco/FileStream.h>
#include <Poco/Glob.h>
#include <Poco/TemporaryFile.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

namespace {

const int kExitUsage = 2;
const int kExitException = 3;

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

// The arguments of one command: positional words and --options.
struct Arguments {
    std::vector<std::string> positional;
    std::string library;
    bool json = false;
    bool transcript = false;
    bool faultSweep = false;
    bool inProcess = false;
    std::string resultFile;
    double timeout = 60;
    unsigned jobs = 0;  // 0: one per core
    std::string filter;
    std::string exclude;
    std::string junit;
    enum Update { NoUpdate, UpdateFailing, UpdateNew } update = NoUpdate;
    std::vector<std::string> parameterPairs;
    std::vector<std::string> propertyPairs;
    std::map<std::wstring, std::wstring> parameters;
    std::map<std::wstring, std::wstring> properties;
};

void addPair(std::map<std::wstring, std::wstring>& into, const std::string& option, const std::string& pair)
{
    const std::string::size_type equals = pair.find('=');
    if (equals == std::string::npos || equals == 0)
        throw UsageError(option + " takes NAME=VALUE, not \"" + pair + "\"");
    into[hosting::widen(pair.substr(0, equals))] = hosting::widen(pair.substr(equals + 1));
}

// The child of a test run hands its result over in a file the parent names,
// never on its standard output, which belongs to the action and its commands.
void writeResult(const std::string& file, const std::string& text)
{
    Poco::FileOutputStream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out.good())
        throw std::runtime_error("cannot write the result to " + file);
}

int exitStatusOf(const actionhost::RunOutput& output)
{
    return output.record.exception ? kExitException : output.record.result;
}

int show(const actionhost::Scenario& scenario, const Arguments& arguments)
{
    if (arguments.json) {
        const actionhost::RunOutput output = actionhost::runScenario(scenario, arguments.library);
        std::ostringstream json;
        Poco::JSON::Stringifier::stringify(actionhost::toJson(output, arguments.transcript), json, 2);
        json << "\n";
        if (arguments.resultFile.empty())
            std::cout << json.str();
        else
            writeResult(arguments.resultFile, json.str());
        return exitStatusOf(output);
    }
    std::cout << "scenario: " << scenario.name << " (" << scenario.action << ")\n";
    return exitStatusOf(actionhost::printScenarioRun(std::cout, scenario, arguments.library, arguments.transcript));
}

int commandRun(const Arguments& arguments)
{
    return show(actionhost::loadScenario(arguments.positional.at(0)), arguments);
}

int commandCall(Arguments arguments)
{
    for (const std::string& pair : arguments.parameterPairs)
        addPair(arguments.parameters, "--param", pair);
    for (const std::string& pair : arguments.propertyPairs)
        addPair(arguments.properties, "--property", pair);
    return show(actionhost::adHocScenario(arguments.positional.at(0), arguments.positional.at(1), arguments.parameters,
                                          arguments.properties),
                arguments);
}

int commandList(const Arguments& arguments)
{
    std::vector<std::string> libraries = arguments.positional;
    if (libraries.empty())
        libraries = {"vantorel", "cobrinth"};
    for (const std::string& library : libraries) {
        const std::string path = actionhost::resolveLibrary(library, Poco::Path::current());
        hosting::ActionLibrary loaded(path);
        // Both libraries export a ChangeFeatureState and a SleepCommand: the
        // summaries are those of the library most of whose actions it exports.
        std::map<std::string, int> matches;
        for (const actionhost::KnownAction& action : actionhost::knownActions())
            matches[action.library] += loaded.find(action.name) != nullptr;
        const std::string family = matches["cobrinth"] * 19 > matches["vantorel"] * 3 ? "cobrinth" : "vantorel";
        std::cout << path << ":\n";
        int found = 0;
        for (const actionhost::KnownAction& action : actionhost::knownActions()) {
            if (family != action.library || loaded.find(action.name) == nullptr)
                continue;
            std::printf("  %-32s %s\n", action.name, action.summary);
            ++found;
        }
        if (found == 0)
            std::cout << "  (none of the known actions)\n";
    }
    return 0;
}

// A sweep as its child reports it: the count of positions, then each problem.
std::string sweepReport(const actionhost::SweepResult& sweep)
{
    std::string report = std::to_string(sweep.positions) + " fault positions\n";
    for (const std::string& problem : sweep.problems)
        report += problem + "\n";
    return report;
}

// The hidden child command of test --fault-sweep: sweeps one scenario and
// prints what went wrong; exit 0 when nothing did.
int commandSweep(const Arguments& arguments)
{
    const actionhost::SweepResult sweep =
        actionhost::sweepScenario(actionhost::loadScenario(arguments.positional[0]), arguments.library);
    const std::string report = sweepReport(sweep);
    if (arguments.resultFile.empty())
        std::cout << report;
    else
        writeResult(arguments.resultFile, report);
    return sweep.problems.empty() ? 0 : 1;
}

std::vector<std::string> scenarioFiles(const std::vector<std::string>& targets)
{
    std::vector<std::string> files;
    for (const std::string& target : targets) {
        Poco::File file(target);
        if (!file.exists())
            throw UsageError("no such file or folder: " + target);
        if (!file.isDirectory()) {
            files.push_back(target);
            continue;
        }
        std::vector<std::string> found;
        for (Poco::DirectoryIterator it(target), end; it != end; ++it) {
            // Not only regular files: a FIFO or device named *.json is a FAIL of its own.
            if (!it->isDirectory() && Poco::Path(it->path()).getExtension() == "json")
                found.push_back(it->path());
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

std::string selfPath(const char* argv0)
{
    Poco::Path path(argv0);
    if (path.depth() == 0 && !path.isAbsolute()) {
        // Called through PATH: look the program up the way the shell did.
        Poco::Path found;
        if (Poco::Path::find(Poco::Environment::get("PATH", ""), argv0, found))
            return found.toString();
    }
    return path.makeAbsolute().toString();
}

struct TestOptions {
    std::string self;
    std::string library;
    bool faultSweep = false;
    bool inProcess = false;
    double timeout = 60;
};

// The outcome of one scenario under test.
struct TestCase {
    std::string file;
    std::string name;
    std::string folder;
    bool ran = false;
    bool passed = false;
    std::string difference;  // FAIL: what is wrong
    std::string note;        // PASS: shown after the name
    std::string captured;    // FAIL: the tails of the child's output
    std::string run;         // the run as JSON, when it ran to its end
    bool hasExpect = false;
    bool updated = false;
    double seconds = 0;
};

std::string readAndRemove(const std::string& file)
{
    std::string text;
    try {
        Poco::File result(file);
        if (result.exists()) {
            Poco::FileInputStream in(file);
            Poco::StreamCopier::copyToString(in, text);
            in.close();
            result.remove();
        }
    } catch (const Poco::Exception&) {
    }
    return text;
}

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

void judge(const TestOptions& options, const actionhost::Scenario& scenario, TestCase& test,
           const std::string& result, bool passed);

// What a child would have handed over, made in this process instead: the
// sweep's report, or the run as JSON. A scenario the child would refuse with
// a usage error is a bad scenario here too.
bool resultInProcess(const TestOptions& options, const actionhost::Scenario& scenario, TestCase& test,
                     std::string& result, bool& sweepPassed)
{
    try {
        if (options.faultSweep) {
            const actionhost::SweepResult sweep = actionhost::sweepScenario(scenario, options.library);
            result = sweepReport(sweep);
            sweepPassed = sweep.problems.empty();
        } else {
            std::ostringstream json;
            Poco::JSON::Stringifier::stringify(
                actionhost::toJson(actionhost::runScenario(scenario, options.library), true), json);
            result = json.str();
        }
        return true;
    } catch (const std::exception& error) {
        test.difference = "bad scenario: actionhost: " + std::string(error.what());
        return false;
    }
}

// Runs one scenario in a child process, which hands its result over in a
// file (or, with --in-process, in this process), and compares the result
// with the expectations.
void testOne(const TestOptions& options, const actionhost::Scenario& scenario, TestCase& test)
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
    const actionhost::ChildOutcome child = actionhost::runChild(options.self, args, limit);
    test.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // A child that crashed left its scratch registry behind (Windows).
    hosting::removeScratchRegistry(child.processId);
    const std::string result = readAndRemove(resultFile);
    test.ran = true;
    test.captured = showTail("stdout", child.out, child.outCut) + showTail("stderr", child.err, child.errCut);
    std::string errors = child.err;
    while (!errors.empty() && (errors.back() == '\n' || errors.back() == '\r'))
        errors.pop_back();
    switch (child.ending) {
    case actionhost::ChildOutcome::NotStarted:
        test.difference = child.error;
        return;
    case actionhost::ChildOutcome::TimedOut:
        test.difference = "timed out after " + seconds(limit) + " s";
        return;
    case actionhost::ChildOutcome::Interrupted:
        test.difference = "interrupted";
        return;
    case actionhost::ChildOutcome::Crashed:
        test.difference = Poco::Environment::isWindows()
                              ? "the action crashed the host process (exception code " + hexCode(child.code) + ")"
                              : "the action crashed the host process (signal " + std::to_string(child.code) + ")";
        return;
    case actionhost::ChildOutcome::Exited:
        break;
    }
    if (child.code == static_cast<unsigned long>(kExitUsage)) {
        test.difference = "bad scenario: " + errors.substr(errors.rfind('\n') == std::string::npos ? 0 : errors.rfind('\n') + 1);
        return;
    }
    if (child.code != 0 && child.code != 1 && child.code != static_cast<unsigned long>(kExitException)) {
        test.difference = "the action crashed the host process (exit code " + hexCode(child.code) + ")";
        return;
    }
    judge(options, scenario, test, result, child.code == 0);
}

// Compares a scenario's result with what it expects: a sweep's report
// (passed tells whether the sweep found nothing wrong), or the run as JSON.
void judge(const TestOptions& options, const actionhost::Scenario& scenario, TestCase& test,
           const std::string& result, bool passed)
{
    if (options.faultSweep) {
        test.note = " (" + result.substr(0, result.find('\n')) + ")";
        if (passed) {
            test.passed = true;
            return;
        }
        test.difference = "\n  " + result.substr(0, result.size() - (result.empty() ? 0 : 1));
        return;
    }
    try {
        const Poco::JSON::Object::Ptr run = actionhost::parseJsonObject(result, scenario.file + " (run result)");
        test.run = result;
        if (!scenario.expect) {
            test.difference = "no \"expect\" block";
            return;
        }
        test.difference = actionhost::firstDifference(scenario.expect, run);
        if (!test.difference.empty())
            test.captured = actionhost::listDifferences(scenario.expect, run) + test.captured;
    } catch (const std::exception& error) {
        test.difference = error.what();
    }
    test.passed = test.difference.empty();
}

std::string xmlEscaped(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // XML 1.0 has no form for the other control characters.
            if (c < 0x20 && c != '\n' && c != '\t' && c != '\r')
                out += "?";
            else
                out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

// JUnit XML: one testsuite per folder, one testcase per scenario.
void writeJunit(const std::string& file, const std::vector<TestCase>& tests)
{
    std::map<std::string, std::vector<const TestCase*> > suites;
    std::vector<std::string> order;
    for (const TestCase& test : tests) {
        if (suites.count(test.folder) == 0)
            order.push_back(test.folder);
        suites[test.folder].push_back(&test);
    }
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n";
    for (const std::string& folder : order) {
        std::size_t failures = 0, skipped = 0;
        double time = 0;
        for (const TestCase* test : suites[folder]) {
            failures += test->ran && !test->passed;
            skipped += !test->ran;
            time += test->seconds;
        }
        xml << "  <testsuite name=\"" << xmlEscaped(folder) << "\" tests=\"" << suites[folder].size()
            << "\" failures=\"" << failures << "\" skipped=\"" << skipped << "\" time=\"" << time << "\">\n";
        for (const TestCase* test : suites[folder]) {
            xml << "    <testcase classname=\"" << xmlEscaped(folder) << "\" name=\"" << xmlEscaped(test->name)
                << "\" time=\"" << test->seconds << "\"";
            if (test->ran && test->passed) {
                xml << "/>\n";
                continue;
            }
            xml << ">\n";
            if (!test->ran)
                xml << "      <skipped message=\"not run: the run was interrupted\"/>\n";
            else
                xml << "      <failure message=\"" << xmlEscaped(test->difference) << "\">"
                    << xmlEscaped(test->difference + "\n" + test->captured) << "</failure>\n";
            xml << "    </testcase>\n";
        }
        xml << "  </testsuite>\n";
    }
    xml << "</testsuites>\n";
    writeResult(file, xml.str());
}

int commandTest(const Arguments& arguments, const std::string& self)
{
    actionhost::catchInterruptions();
    TestOptions options;
    options.self = self;
    options.library = arguments.library;
    options.faultSweep = arguments.faultSweep;
    options.inProcess = arguments.inProcess;
    options.timeout = arguments.timeout;

    // The scenarios, in order; a file that does not load is one FAIL line.
    std::vector<TestCase> tests;
    std::vector<actionhost::Scenario> scenarios;
    for (const std::string& file : scenarioFiles(arguments.positional)) {
        const Poco::Path path(file);
        if (!arguments.filter.empty() && !Poco::Glob(arguments.filter).match(path.getFileName()))
            continue;
        if (!arguments.exclude.empty() && Poco::Glob(arguments.exclude).match(path.getFileName()))
            continue;
        TestCase test;
        test.file = file;
        test.name = path.getFileName();
        test.folder = Poco::Path(path).makeParent().toString();
        actionhost::Scenario scenario;
        try {
            scenario = actionhost::loadScenario(file);
        } catch (const std::exception& error) {
            test.ran = true;
            test.difference = error.what();
            tests.push_back(test);
            scenarios.emplace_back();
            continue;
        }
        // Without an expect block a scenario is only run to be filled in.
        const bool fill = arguments.update != Arguments::NoUpdate && !arguments.faultSweep;
        if (!scenario.expect && !arguments.faultSweep && !fill)
            continue;
        test.hasExpect = static_cast<bool>(scenario.expect);
        tests.push_back(test);
        scenarios.push_back(scenario);
    }

    // Workers take the scenarios in turn; the lines come out in the
    // scenarios' order, whatever the number of workers.
    // In this process the scenarios take turns: each sets up the process's
    // one world (working directory, drives, registry).
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t wanted = arguments.inProcess ? 1 : (arguments.jobs ? arguments.jobs : cores);
    const std::size_t workers = std::min<std::size_t>(wanted, std::max<std::size_t>(1, tests.size()));
    std::mutex guard;
    std::condition_variable done;
    std::vector<bool> finished(tests.size(), false);
    std::size_t next = 0;
    auto work = [&]() {
        for (;;) {
            std::size_t index;
            {
                std::lock_guard<std::mutex> lock(guard);
                if (next >= tests.size() || actionhost::interrupted())
                    return;
                index = next++;
            }
            if (!tests[index].ran)
                testOne(options, scenarios[index], tests[index]);
            {
                std::lock_guard<std::mutex> lock(guard);
                finished[index] = true;
            }
            done.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (std::size_t i = 0; i < workers; ++i)
        pool.emplace_back(work);
    int passed = 0;
    int failed = 0;
    int notRun = 0;
    for (std::size_t i = 0; i < tests.size(); ++i) {
        {
            std::unique_lock<std::mutex> lock(guard);
            // An interruption notifies nobody: look again now and then.
            while (!done.wait_for(lock, std::chrono::milliseconds(100),
                                  [&] { return finished[i] || (actionhost::interrupted() && i >= next); })) {
            }
        }
        const TestCase& test = tests[i];
        if (!finished[i]) {
            ++notRun;
            continue;
        }
        const bool mayUpdate = arguments.update == Arguments::UpdateFailing ||
                               (arguments.update == Arguments::UpdateNew && !test.hasExpect);
        if (!test.passed && mayUpdate && !arguments.faultSweep && !test.run.empty()) {
            // The observed outcome becomes the expectation.
            try {
                actionhost::writeExpectation(test.file, test.run);
                tests[i].updated = true;
                tests[i].passed = true;
                std::cout << "UPDATED " << test.name << (test.hasExpect ? ": " + test.difference : "") << "\n";
                ++passed;
                continue;
            } catch (const std::exception& error) {
                tests[i].difference = "cannot update: " + std::string(error.what());
            }
        }
        if (test.passed) {
            std::cout << "PASS " << test.name << test.note << "\n";
            ++passed;
        } else {
            std::cout << "FAIL " << test.name << ": " << test.difference << "\n" << test.captured;
            ++failed;
        }
        std::cout.flush();
    }
    for (std::thread& thread : pool)
        thread.join();
    if (!arguments.junit.empty())
        writeJunit(arguments.junit, tests);
    std::cout << passed << " passed, " << failed << " failed\n";
    if (actionhost::interrupted()) {
        std::cout << "interrupted: " << notRun << " scenarios not run\n";
        return 1;
    }
    return failed == 0 ? 0 : 1;
}

} // namespace

namespace {

// The command line, with CLI11: each command's options and its --help come
// from the same definitions.
struct CommandLine {
    CLI::App app{"actionhost: runs installer custom actions on a simulated host described by a scenario file,\n"
                 "shows what they did, and checks it against the scenario's expectations.",
                 "actionhost"};
    Arguments arguments;
    std::string update;
    std::function<int()> command;

    explicit CommandLine(const std::string& self)
    {
        // "/..." is a path, on Windows too, never an option.
        app.allow_windows_style_options(false);
        app.require_subcommand(1);
        app.footer("Run 'actionhost <command> --help' for one command.\n"
                   "Exit status of run and call: the action's result (0 or 1), 3 when an exception left the\n"
                   "action, 2 for a usage error or a bad scenario; of test: 0 when every scenario passed.");

        CLI::App* run = app.add_subcommand("run", "Run one scenario; print the log, the properties written, the "
                                                  "feature states set and the result.");
        run->add_option("scenario", arguments.positional, "the scenario file")->required()->expected(1);
        libraryOption(run);
        outputOptions(run);
        resultFileOption(run);
        run->callback([this] { command = [this] { return commandRun(arguments); }; });

        CLI::App* test = app.add_subcommand(
            "test", "Run every scenario that has an \"expect\" block, each in a process of its own; print PASS or "
                    "FAIL with the differences and the tails of its output, then \"N passed, N failed\".");
        test->add_option("targets", arguments.positional, "scenario files and folders")->required();
        libraryOption(test);
        test->add_flag("--fault-sweep", arguments.faultSweep,
                       "make the host throw at each host call in turn and check that the action handles or passes "
                       "on the fault as it must, and writes nothing after it");
        test->add_option("--timeout", arguments.timeout,
                         "the limit of each scenario in seconds (a scenario may set its own \"timeout\"); the run "
                         "and all it started are killed then")
            ->check(CLI::Range(0.001, 86400.0))
            ->capture_default_str();
        CLI::Option* jobs =
            test->add_option("-j,--jobs", arguments.jobs, "scenarios at once, reported in order (default: one per core)")
                ->check(CLI::Range(1u, 9999u));
        test->add_flag("--in-process", arguments.inProcess,
                       "run the scenarios one after another in this process instead of a process each: no time "
                       "limit, no output captured, and an action that crashes ends the whole run")
            ->excludes(jobs);
        test->add_option("--filter", arguments.filter, "only the scenario files whose name matches the glob");
        test->add_option("--exclude", arguments.exclude, "leave out the scenario files whose name matches the glob");
        test->add_option("--junit", arguments.junit, "also write the outcome as JUnit XML to this file");
        test->add_flag("--update{all}", update,
                       "write the observed outcome into the \"expect\" block of each failing scenario and of those "
                       "without one; --update=new: only the latter")
            ->check(CLI::IsMember({"all", "new"}))
            ->option_text("[=new]");
        test->callback([this, self] {
            arguments.update = update.empty() ? Arguments::NoUpdate
                                              : (update == "new" ? Arguments::UpdateNew : Arguments::UpdateFailing);
            command = [this, self] { return commandTest(arguments, self); };
        });

        CLI::App* call = app.add_subcommand("call", "Run one action without a scenario file.");
        call->add_option("library_action", arguments.positional,
                         "LIBRARY (vantorel, cobrinth or a path) and ACTION")
            ->required()
            ->expected(2);
        call->add_option("--param", arguments.parameterPairs, "a parameter, NAME=VALUE")->take_all();
        call->add_option("--property", arguments.propertyPairs, "a property before the call, NAME=VALUE")->take_all();
        outputOptions(call);
        call->callback([this] { command = [this] { return commandCall(arguments); }; });

        CLI::App* list = app.add_subcommand(
            "list", "The actions a library exports (both libraries when none is named), each with its summary.");
        list->add_option("library", arguments.positional, "vantorel, cobrinth or a path")->expected(0, 1);
        list->callback([this] { command = [this] { return commandList(arguments); }; });

        // The child of test --fault-sweep.
        CLI::App* sweep = app.add_subcommand("sweep", "");
        sweep->group("");
        sweep->add_option("scenario", arguments.positional)->required()->expected(1);
        libraryOption(sweep);
        resultFileOption(sweep);
        sweep->callback([this] { command = [this] { return commandSweep(arguments); }; });
    }

    void libraryOption(CLI::App* command)
    {
        command->add_option("--library", arguments.library,
                            "load this library instead of the one the scenario names");
    }
    void outputOptions(CLI::App* command)
    {
        command->add_flag("--json", arguments.json, "print the run as one JSON document");
        command->add_flag("--transcript", arguments.transcript, "also print every host call in order");
    }
    void resultFileOption(CLI::App* command)
    {
        // The result of a child of test goes to the file its parent names.
        command->add_option("--result-file", arguments.resultFile)->group("");
    }
};

} // namespace

int main(int argc, char** argv)
{
    CommandLine line(selfPath(argv[0]));
    try {
        line.app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return line.app.exit(help);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0)
            return line.app.exit(error);
        std::cerr << "actionhost: " << error.what() << "\n" << "Run 'actionhost --help' for the commands.\n";
        return kExitUsage;
    }
    try {
        return line.command();
    } catch (const UsageError& error) {
        std::cerr << "actionhost: " << error.what() << "\n" << "Run 'actionhost --help' for the commands.\n";
        return kExitUsage;
    } catch (const actionhost::ScenarioError& error) {
        std::cerr << "actionhost: " << error.what() << "\n";
        return kExitUsage;
    } catch (const std::exception& error) {
        std::cerr << "actionhost: " << error.what() << "\n";
        return kExitUsage;
    }
}
