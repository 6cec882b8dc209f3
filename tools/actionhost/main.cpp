// actionhost: runs installer custom actions from scenario files on a
// simulated host, shows what they did and checks it against expectations.
#include "Catalogue.h"
#include "FaultSweep.h"
#include "Runner.h"
#include "Scenario.h"

#include "hosting/World.h"

#include <Poco/DirectoryIterator.h>
#include <Poco/Environment.h>
#include <Poco/File.h>
#include <Poco/JSON/Stringifier.h>
#include <Poco/Path.h>
#include <Poco/Pipe.h>
#include <Poco/PipeStream.h>
#include <Poco/Process.h>
#include <Poco/StreamCopier.h>

#include <algorithm>
#include <iostream>
#include <vector>

namespace {

const int kExitUsage = 2;
const int kExitException = 3;

const char kUsage[] =
    "usage: actionhost <command> [options]\n"
    "\n"
    "commands:\n"
    "  run SCENARIO.json [--library PATH] [--json] [--transcript]\n"
    "      Run one scenario; print the log, the properties written, the feature\n"
    "      states set and the result. Exit status: the action's result (0 or 1),\n"
    "      3 when an exception left the action, 2 for a usage error or a bad scenario.\n"
    "  test SCENARIO.json|DIR ... [--library PATH] [--fault-sweep]\n"
    "      Run every scenario that has an \"expect\" block, each in a process of its\n"
    "      own; print PASS or FAIL with the first difference, then \"N passed, N failed\".\n"
    "      --fault-sweep: instead, make the host throw at each of the scenario's host\n"
    "      calls in turn and check that the action handles or passes on the fault as\n"
    "      it must, and writes nothing after it.\n"
    "  call LIBRARY ACTION [--param NAME=VALUE]... [--property NAME=VALUE]... [--json] [--transcript]\n"
    "      Run one action without a scenario file. LIBRARY is vantorel, cobrinth or a path.\n"
    "  list [LIBRARY]\n"
    "      The actions a library exports (both libraries when none is named), each\n"
    "      with its summary.\n"
    "\n"
    "Run 'actionhost <command> --help' for one command.\n";

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
    bool help = false;
    bool faultSweep = false;
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

// Options are accepted as "--name value" and "--name=value".
Arguments parseArguments(const std::vector<std::string>& words, const std::vector<std::string>& allowed)
{
    Arguments arguments;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        if (word == "--help" || word == "-h") {
            arguments.help = true;
            continue;
        }
        if (word.size() < 2 || word.compare(0, 2, "--") != 0) {
            arguments.positional.push_back(word);
            continue;
        }
        std::string value;
        bool hasValue = false;
        const std::string::size_type equals = word.find('=');
        if (equals != std::string::npos) {
            value = word.substr(equals + 1);
            word.erase(equals);
            hasValue = true;
        }
        if (std::find(allowed.begin(), allowed.end(), word) == allowed.end())
            throw UsageError("unknown option " + word);
        const bool takesValue = word == "--library" || word == "--param" || word == "--property";
        if (takesValue && !hasValue) {
            if (i + 1 >= words.size())
                throw UsageError(word + " needs a value");
            value = words[++i];
        } else if (!takesValue && hasValue) {
            throw UsageError(word + " takes no value");
        }
        if (word == "--library")
            arguments.library = value;
        else if (word == "--json")
            arguments.json = true;
        else if (word == "--transcript")
            arguments.transcript = true;
        else if (word == "--fault-sweep")
            arguments.faultSweep = true;
        else if (word == "--param")
            addPair(arguments.parameters, word, value);
        else if (word == "--property")
            addPair(arguments.properties, word, value);
    }
    return arguments;
}

int exitStatusOf(const actionhost::RunOutput& output)
{
    return output.record.exception ? kExitException : output.record.result;
}

int show(const actionhost::Scenario& scenario, const Arguments& arguments)
{
    if (arguments.json) {
        const actionhost::RunOutput output = actionhost::runScenario(scenario, arguments.library);
        Poco::JSON::Stringifier::stringify(actionhost::toJson(output, arguments.transcript), std::cout, 2);
        std::cout << "\n";
        return exitStatusOf(output);
    }
    std::cout << "scenario: " << scenario.name << " (" << scenario.action << ")\n";
    return exitStatusOf(actionhost::printScenarioRun(std::cout, scenario, arguments.library, arguments.transcript));
}

int commandRun(const std::vector<std::string>& words)
{
    const Arguments arguments = parseArguments(words, {"--library", "--json", "--transcript"});
    if (arguments.help) {
        std::cout << "usage: actionhost run SCENARIO.json [--library PATH] [--json] [--transcript]\n";
        return 0;
    }
    if (arguments.positional.size() != 1)
        throw UsageError("run takes one scenario file");
    return show(actionhost::loadScenario(arguments.positional[0]), arguments);
}

int commandCall(const std::vector<std::string>& words)
{
    const Arguments arguments = parseArguments(words, {"--param", "--property", "--json", "--transcript"});
    if (arguments.help) {
        std::cout << "usage: actionhost call LIBRARY ACTION [--param NAME=VALUE]... [--property NAME=VALUE]... "
                     "[--json] [--transcript]\n";
        return 0;
    }
    if (arguments.positional.size() != 2)
        throw UsageError("call takes a library and an action");
    return show(actionhost::adHocScenario(arguments.positional[0], arguments.positional[1], arguments.parameters,
                                          arguments.properties),
                arguments);
}

int commandList(const std::vector<std::string>& words)
{
    const Arguments arguments = parseArguments(words, {});
    if (arguments.help) {
        std::cout << "usage: actionhost list [LIBRARY]\n";
        return 0;
    }
    if (arguments.positional.size() > 1)
        throw UsageError("list takes at most one library");
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

// The hidden child command of test --fault-sweep: sweeps one scenario and
// prints what went wrong; exit 0 when nothing did.
int commandSweep(const std::vector<std::string>& words)
{
    const Arguments arguments = parseArguments(words, {"--library"});
    if (arguments.positional.size() != 1)
        throw UsageError("sweep takes one scenario file");
    const actionhost::SweepResult sweep =
        actionhost::sweepScenario(actionhost::loadScenario(arguments.positional[0]), arguments.library);
    std::cout << sweep.positions << " fault positions\n";
    for (const std::string& problem : sweep.problems)
        std::cout << problem << "\n";
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
            if (it->isFile() && Poco::Path(it->path()).getExtension() == "json")
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

// Runs one scenario in a child process and compares its output with the
// expectations; returns the difference, or "" on success.
std::string testOne(const std::string& self, const actionhost::Scenario& scenario, const std::string& library,
                    bool faultSweep, std::string& note)
{
    Poco::Process::Args args{"run", scenario.file, "--json", "--transcript"};
    if (faultSweep)
        args = {"sweep", scenario.file};
    if (!library.empty()) {
        args.push_back("--library");
        args.push_back(library);
    }
    Poco::Pipe outPipe;
    Poco::Pipe errPipe;
    Poco::ProcessHandle child = Poco::Process::launch(self, args, nullptr, &outPipe, &errPipe);
    Poco::PipeInputStream out(outPipe);
    Poco::PipeInputStream err(errPipe);
    std::string output, errors;
    Poco::StreamCopier::copyToString(out, output);
    Poco::StreamCopier::copyToString(err, errors);
    const int status = child.wait();
    // A child that crashed left its scratch registry behind (Windows).
    hosting::removeScratchRegistry(static_cast<unsigned long>(child.id()));
    while (!errors.empty() && (errors.back() == '\n' || errors.back() == '\r'))
        errors.pop_back();
    if (status == kExitUsage)
        return "bad scenario: " + errors;
    if (status != 0 && status != 1 && status != kExitException) {
        if (!Poco::Environment::isWindows() && status > 256)
            return "the action crashed the host process (signal " + std::to_string(status - 256) + ")";
        char code[32];
        std::snprintf(code, sizeof(code), "0x%08X", static_cast<unsigned>(status));
        return std::string("the action crashed the host process (exit code ") + code + ")";
    }
    if (faultSweep) {
        note = " (" + output.substr(0, output.find('\n')) + ")";
        if (status == 0)
            return std::string();
        return "\n  " + output.substr(0, output.size() - (output.empty() ? 0 : 1));
    }
    Poco::JSON::Object::Ptr run;
    try {
        run = actionhost::parseJsonObject(output, scenario.file + " (run output)");
    } catch (const std::exception& error) {
        return error.what();
    }
    return actionhost::firstDifference(scenario.expect, run);
}

int commandTest(const std::vector<std::string>& words, const std::string& self)
{
    const Arguments arguments = parseArguments(words, {"--library", "--fault-sweep"});
    if (arguments.help) {
        std::cout << "usage: actionhost test SCENARIO.json|DIR ... [--library PATH] [--fault-sweep]\n";
        return 0;
    }
    if (arguments.positional.empty())
        throw UsageError("test takes scenario files or folders");
    int passed = 0;
    int failed = 0;
    for (const std::string& file : scenarioFiles(arguments.positional)) {
        actionhost::Scenario scenario;
        try {
            scenario = actionhost::loadScenario(file);
        } catch (const actionhost::ScenarioError& error) {
            std::cout << "FAIL " << Poco::Path(file).getFileName() << ": " << error.what() << "\n";
            ++failed;
            continue;
        }
        if (!scenario.expect && !arguments.faultSweep)
            continue;
        std::string note;
        const std::string difference = testOne(self, scenario, arguments.library, arguments.faultSweep, note);
        if (difference.empty()) {
            std::cout << "PASS " << scenario.name << note << "\n";
            ++passed;
        } else {
            std::cout << "FAIL " << scenario.name << ": " << difference << "\n";
            ++failed;
        }
    }
    std::cout << passed << " passed, " << failed << " failed\n";
    return failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::cerr << kUsage;
        return kExitUsage;
    }
    const std::string command = words.front();
    words.erase(words.begin());
    try {
        if (command == "--help" || command == "-h" || command == "help") {
            std::cout << kUsage;
            return 0;
        }
        if (command == "run")
            return commandRun(words);
        if (command == "call")
            return commandCall(words);
        if (command == "test")
            return commandTest(words, selfPath(argv[0]));
        if (command == "sweep")
            return commandSweep(words);
        if (command == "list")
            return commandList(words);
        throw UsageError("unknown command " + command);
    } catch (const UsageError& error) {
        std::cerr << "actionhost: " << error.what() << "\n\n" << kUsage;
        return kExitUsage;
    } catch (const actionhost::ScenarioError& error) {
        std::cerr << "actionhost: " << error.what() << "\n";
        return kExitUsage;
    } catch (const std::exception& error) {
        std::cerr << "actionhost: " << error.what() << "\n";
        return kExitUsage;
    }
}
