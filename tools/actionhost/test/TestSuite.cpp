// Running a whole suite of scenarios: finding and filtering the files,
// loading each, the workers, --update, JUnit and the summary.
#include "test/TestSuite.h"

#include "hosting/HostedAction.h"
#include "os/ChildProcess.h"
#include "os/Terminal.h"
#include "run/Exit.h"
#include "test/TestReport.h"
#include "test/TestSchedule.h"
#include "test/Update.h"

#include <Poco/DirectoryIterator.h>
#include <Poco/Environment.h>
#include <Poco/File.h>
#include <Poco/Glob.h>
#include <Poco/Path.h>

#include <algorithm>
#include <iostream>
#include <thread>

namespace actionhost {

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

int runSuite(const SuiteOptions& arguments)
{
    catchInterruptions();
    const TestOptions& options = arguments.cases;

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
            scenario = loadScenario(file, options.library);
        } catch (const std::exception& error) {
            test.ran = true;
            test.difference = error.what();
            tests.push_back(test);
            scenarios.emplace_back();
            continue;
        }
        // Without an expect block a scenario is only run to be filled in.
        const bool fill = arguments.update != SuiteOptions::NoUpdate && !options.faultSweep;
        if (!scenario.expect && !options.faultSweep && !fill)
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
    const std::size_t wanted = options.inProcess ? 1 : (arguments.jobs ? arguments.jobs : cores);
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
        const bool mayUpdate = arguments.update == SuiteOptions::UpdateFailing ||
                               (arguments.update == SuiteOptions::UpdateNew && !test.hasExpect);
        if (!test.passed && mayUpdate && !options.faultSweep && !test.run.empty()) {
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

} // namespace actionhost
