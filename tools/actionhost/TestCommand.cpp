// actionhost test TARGET...: runs every scenario that has an "expect" block,
// each in a process of its own (or all in this one), reports each in order
// and the summary, and with --update writes observed outcomes back.
#include "ChildProcess.h"
#include "Command.h"
#include "Show.h"
#include "Terminal.h"
#include "TestReport.h"
#include "TestSchedule.h"
#include "Update.h"

#include "hosting/HostedAction.h"

#include <Poco/DirectoryIterator.h>
#include <Poco/Environment.h>
#include <Poco/File.h>
#include <Poco/Glob.h>
#include <Poco/Path.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <thread>
#include <vector>

namespace actionhost {

namespace {

struct Options {
    std::vector<std::string> targets;
    std::string library;
    bool faultSweep = false;
    bool inProcess = false;
    bool strict = false;
    bool noColour = false;
    double timeout = 60;
    unsigned jobs = 0;  // 0: one per core
    std::string filter;
    std::string exclude;
    std::string junit;
    std::string updateWord;
    enum Update { NoUpdate, UpdateFailing, UpdateNew } update = NoUpdate;
};

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

int test(const Options& arguments, const std::string& self)
{
    catchInterruptions();
    TestOptions options;
    options.self = self;
    options.library = arguments.library;
    options.faultSweep = arguments.faultSweep;
    options.inProcess = arguments.inProcess;
    options.strict = arguments.strict;
    options.timeout = arguments.timeout;

    // The scenarios, in order; a file that does not load is one FAIL line.
    std::vector<TestCase> tests;
    std::vector<Scenario> scenarios;
    for (const std::string& file : scenarioFiles(arguments.targets)) {
        const Poco::Path path(file);
        if (!arguments.filter.empty() && !Poco::Glob(arguments.filter).match(path.getFileName()))
            continue;
        if (!arguments.exclude.empty() && Poco::Glob(arguments.exclude).match(path.getFileName()))
            continue;
        TestCase test;
        test.file = file;
        test.name = path.getFileName();
        test.folder = Poco::Path(path).makeParent().toString();
        Scenario scenario;
        try {
            scenario = loadScenario(file, arguments.library);
        } catch (const std::exception& error) {
            test.ran = true;
            test.difference = error.what();
            tests.push_back(test);
            scenarios.emplace_back();
            continue;
        }
        // Without an expect block a scenario is only run to be filled in.
        const bool fill = arguments.update != Options::NoUpdate && !arguments.faultSweep;
        if (!scenario.expect && !arguments.faultSweep && !fill)
            continue;
        test.hasExpect = static_cast<bool>(scenario.expect);
        tests.push_back(test);
        scenarios.push_back(scenario);
    }

    // Where the run is asked to prove which C++ runtime the Visual C++-ABI
    // test host runs on, this process answers first, with its runtime line
    // (or fails with it); each child inherits the request and checks again
    // when it loads the test host, failing its scenario otherwise.
    if (Poco::Environment::has("ACTIONS_EXPECT_RUNTIME")) {
        const std::string runtime = hosting::hostRuntime();
        if (!runtime.empty())
            std::cout << runtime << std::endl;
    }

    // In this process the scenarios take turns: each sets up the process's
    // one world (working directory, drives, registry).
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t wanted = arguments.inProcess ? 1 : (arguments.jobs ? arguments.jobs : cores);
    const std::size_t workers = std::min<std::size_t>(wanted, std::max<std::size_t>(1, tests.size()));
    int passed = 0;
    int failed = 0;
    int notRun = 0;
    const bool colour = useColour(arguments.noColour);
    runInOrder(tests, scenarios, options, workers, [&](std::size_t i, bool finished) {
        TestCase& test = tests[i];
        if (!finished) {
            ++notRun;
            return;
        }
        const bool mayUpdate = arguments.update == Options::UpdateFailing ||
                               (arguments.update == Options::UpdateNew && !test.hasExpect);
        if (!test.passed && mayUpdate && !arguments.faultSweep && !test.run.empty()) {
            // The observed outcome becomes the expectation.
            try {
                writeExpectation(test.file, test.run);
                test.updated = true;
                test.passed = true;
                printUpdated(std::cout, test);
                ++passed;
                return;
            } catch (const std::exception& error) {
                test.difference = "cannot update: " + std::string(error.what());
            }
        }
        printOutcome(std::cout, test, colour);
        if (test.passed)
            ++passed;
        else
            ++failed;
    });
    if (!arguments.junit.empty())
        writeJunit(arguments.junit, tests);
    printSummary(std::cout, passed, failed);
    if (interrupted()) {
        printInterrupted(std::cout, notRun);
        return 1;
    }
    return failed == 0 ? 0 : 1;
}

} // namespace

void addTestCommand(CLI::App& app, CommandBody& chosen, const std::string& self)
{
    auto options = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand(
        "test", "Run every scenario that has an \"expect\" block, each in a process of its own; print PASS or "
                "FAIL with the differences and the tails of its output, then \"N passed, N failed\".");
    command->add_option("targets", options->targets, "scenario files and folders")->required();
    addLibraryOption(command, options->library);
    command->add_flag("--fault-sweep", options->faultSweep,
                      "make the host throw at each host call in turn and check that the action handles or passes "
                      "on the fault as it must, and writes nothing after it");
    command->add_option("--timeout", options->timeout,
                        "the limit of each scenario in seconds (a scenario may set its own \"timeout\"); the run "
                        "and all it started are killed then")
        ->check(CLI::Range(0.001, 86400.0))
        ->capture_default_str();
    CLI::Option* jobs =
        command->add_option("-j,--jobs", options->jobs, "scenarios at once, reported in order (default: one per core)")
            ->check(CLI::Range(1u, 9999u));
    command->add_flag("--in-process", options->inProcess,
                      "run the scenarios one after another in this process instead of a process each: no time "
                      "limit, no output captured, and an action that crashes ends the whole run")
        ->excludes(jobs);
    command->add_flag("--strict", options->strict,
                      "fail a scenario that gives a parameter its action never reads on any path (a misspelt name, "
                      "most often) or a fault that fired at no call; for a library given by path, any parameter "
                      "not read in the run");
    command->add_flag("--no-color", options->noColour, "no colour, also on a terminal (as with NO_COLOR set)");
    command->add_option("--filter", options->filter, "only the scenario files whose name matches the glob");
    command->add_option("--exclude", options->exclude, "leave out the scenario files whose name matches the glob");
    command->add_option("--junit", options->junit, "also write the outcome as JUnit XML to this file");
    command->add_flag("--update{all}", options->updateWord,
                      "write the observed outcome into the \"expect\" block of each failing scenario and of those "
                      "without one; --update=new: only the latter")
        ->check(CLI::IsMember({"all", "new"}))
        ->option_text("[=new]");
    command->callback([options, self, &chosen] {
        options->update = options->updateWord.empty()
                              ? Options::NoUpdate
                              : (options->updateWord == "new" ? Options::UpdateNew : Options::UpdateFailing);
        chosen = [options, self] { return test(*options, self); };
    });
}

} // namespace actionhost
