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
#include <Poco/Exception.h>
#include <Poco/Environment.h>
#include <Poco/File.h>
#include <Poco/Path.h>
#include <Poco/String.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <iostream>
#include <set>
#include <thread>

namespace actionhost {

namespace {

// A file or folder as one, whatever path or link leads to it.
std::string identityOf(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::weakly_canonical(std::filesystem::u8path(path), ignored).u8string();
}

bool hiddenOrPackages(const std::string& name)
{
    return (!name.empty() && name[0] == '.') || name == "node_modules";
}

// A folder's scenario files and those of its subfolders, by sorted name; a
// folder reached again (through a link) is not searched twice.
void collect(const std::string& folder, const std::string& below, std::set<std::string>& searched,
             std::vector<ScenarioFile>& files)
{
    if (!searched.insert(identityOf(folder)).second)
        return;
    std::vector<std::string> names;
    for (Poco::DirectoryIterator it(folder), end; it != end; ++it)
        names.push_back(it.name());
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = Poco::Path(folder).makeDirectory().setFileName(name).toString();
        bool isFolder = false;
        try {
            isFolder = Poco::File(path).isDirectory();
        } catch (const Poco::Exception&) {
            // A dangling link: a file whose load fails, if it is named *.json.
        }
        if (isFolder) {
            if (!hiddenOrPackages(name))
                collect(path, below + name + "/", searched, files);
        } else if (Poco::Path(path).getExtension() == "json") {
            // Not only regular files: a FIFO or device named *.json is a FAIL of its own.
            files.push_back({path, below + name, false});
        }
    }
}

// pattern against text: "*" any run of characters but "/", "**" any run at
// all ("**/" also none), "?" one character but "/".
bool globMatches(const char* pattern, const char* text)
{
    while (*pattern != '\0') {
        if (pattern[0] == '*' && pattern[1] == '*') {
            const char* rest = pattern + 2;
            if (*rest == '/' && globMatches(rest + 1, text))
                return true;
            for (const char* at = text;; ++at) {
                if (globMatches(rest, at))
                    return true;
                if (*at == '\0')
                    return false;
            }
        }
        if (*pattern == '*') {
            for (const char* at = text;; ++at) {
                if (globMatches(pattern + 1, at))
                    return true;
                if (*at == '\0' || *at == '/')
                    return false;
            }
        }
        if (*text == '\0' || (*pattern == '?' ? *text == '/' : *pattern != *text))
            return false;
        ++pattern;
        ++text;
    }
    return *text == '\0';
}

} // namespace

bool pathGlobMatches(const std::string& pattern, const std::string& path)
{
    return globMatches(pattern.c_str(), path.c_str());
}

std::vector<ScenarioFile> scenarioFiles(const std::vector<std::string>& targets)
{
    std::vector<ScenarioFile> files;
    std::set<std::string> searched;
    for (const std::string& target : targets) {
        Poco::File file(target);
        if (!file.exists())
            throw UsageError("no such file or folder: " + target);
        if (file.isDirectory())
            collect(target, "", searched, files);
        else
            files.push_back({target, Poco::Path(target).getFileName(), true});
    }
    // Each file once, where it was first found; named, if it was named anywhere.
    std::map<std::string, std::size_t> seen;
    std::vector<ScenarioFile> once;
    for (const ScenarioFile& found : files) {
        const std::string identity = identityOf(found.path);
        const auto known = seen.find(identity);
        if (known == seen.end()) {
            seen[identity] = once.size();
            once.push_back(found);
        } else if (found.named) {
            once[known->second].named = true;
        }
    }
    return once;
}

int runSuite(const SuiteOptions& arguments)
{
    catchInterruptions();
    const TestOptions& options = arguments.cases;

    // The scenarios, in order; a file that does not load is one FAIL line.
    std::vector<TestCase> tests;
    std::vector<Scenario> scenarios;
    const std::vector<ScenarioFile> files = scenarioFiles(arguments.targets);
    for (const ScenarioFile& file : files) {
        if (!file.named && ((!arguments.filter.empty() && !pathGlobMatches(arguments.filter, file.below)) ||
                            std::any_of(arguments.exclude.begin(), arguments.exclude.end(),
                                        [&file](const std::string& glob) { return pathGlobMatches(glob, file.below); })))
            continue;
        const Poco::Path path(file.path);
        TestCase test;
        test.file = file.path;
        test.name = file.below;
        test.folder = Poco::Path(path).makeParent().toString();
        // The folder as a name, without its last separator.
        while (test.folder.size() > 1 && (test.folder.back() == '/' || test.folder.back() == '\\'))
            test.folder.pop_back();
        Scenario scenario;
        try {
            scenario = loadScenario(file.path, options.library);
        } catch (const std::exception& error) {
            test.ran = true;
            test.error = true;
            test.difference = error.what();
            tests.push_back(test);
            scenarios.emplace_back();
            continue;
        }
        // Without an expect block a scenario is only run to be filled in.
        const bool fill = arguments.update != SuiteOptions::NoUpdate && !options.faultSweep;
        if (scenario.expect.is_null() && !options.faultSweep && !fill) {
            test.skipped = true;
            test.difference = "no \"expect\" block (actionhost test --update=new fills it)";
        }
        test.hasExpect = !scenario.expect.is_null();
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
    RunCounts counts;
    int notRun = 0;
    const bool colour = useColour(arguments.noColour);
    runInOrder(tests, scenarios, options, workers, [&](std::size_t i, bool finished) {
        TestCase& test = tests[i];
        if (!finished) {
            ++notRun;
            return;
        }
        if (test.skipped) {
            printSkipped(std::cout, test, colour);
            ++counts.skipped;
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
                test.error = false;
                printUpdated(std::cout, test);
                ++counts.passed;
                return;
            } catch (const std::exception& error) {
                test.difference = "cannot update: " + std::string(error.what());
            }
        }
        printOutcome(std::cout, test, colour);
        if (test.passed)
            ++counts.passed;
        else
            ++counts.failed;
    });
    if (!arguments.junit.empty())
        writeJunit(arguments.junit, tests);
    printSummary(std::cout, counts);
    if (interrupted()) {
        printInterrupted(std::cout, notRun);
        return 1;
    }
    if (counts.failed != 0)
        return 1;
    if (counts.passed == 0) {
        // Never green on nothing.
        std::string why;
        if (files.empty())
            why = "no scenario file (*.json) was found in " + Poco::cat(std::string(", "), arguments.targets.begin(),
                                                                      arguments.targets.end());
        else if (tests.empty())
            why = "--filter and --exclude left out all " + std::to_string(files.size()) + " scenario files";
        else
            why = "none of the " + std::to_string(tests.size()) +
                  " scenario files has an \"expect\" block (actionhost test --update=new fills them)";
        std::cout << "no scenario ran: " << why << "\n";
        return arguments.noTestsIsError ? kExitNoTests : 0;
    }
    return 0;
}

} // namespace actionhost
