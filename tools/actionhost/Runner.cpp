#include "Runner.h"

#include "hosting/World.h"
#include "platform/RegistryFile.h"

#include <Poco/Environment.h>
#include <Poco/File.h>
#include <Poco/JSON/Array.h>
#include <Poco/JSON/Stringifier.h>
#include <Poco/Path.h>

#include <filesystem>
#include <memory>
#include <set>
#include <sstream>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace actionhost {

namespace {

std::string executableDirectory()
{
#if defined(_WIN32)
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, sizeof(buffer) / sizeof(buffer[0]));
    return Poco::Path(hosting::narrow(std::wstring(buffer, length))).parent().toString();
#else
    char buffer[4096];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0)
        return Poco::Path::current();
    return Poco::Path(std::string(buffer, static_cast<std::size_t>(length))).parent().toString();
#endif
}

std::string libraryFileName(const std::string& name)
{
    return Poco::Environment::isWindows() ? name + ".dll" : "lib" + name + ".so";
}

std::string json(const Poco::Dynamic::Var& value)
{
    std::ostringstream out;
    Poco::JSON::Stringifier::stringify(value, out);
    return out.str();
}

// Shows a log text on one line: quoted with escapes when it holds a line
// break or another control character, or begins or ends with a blank.
void show(std::ostream& out, const std::string& text)
{
    bool plain = !text.empty() && text.front() != ' ' && text.back() != ' ';
    for (unsigned char c : text)
        plain = plain && c >= 0x20 && c != 0x7f;
    if (plain)
        out << text;
    else
        out << json(text);
}

class ScopedWorkingDirectory {
public:
    explicit ScopedWorkingDirectory(const std::string& directory) : old_(std::filesystem::current_path())
    {
        std::filesystem::current_path(std::filesystem::u8path(directory));
    }
    ~ScopedWorkingDirectory()
    {
        std::error_code ignored;
        std::filesystem::current_path(old_, ignored);
    }

private:
    std::filesystem::path old_;
};

} // namespace

std::string resolveLibrary(const std::string& library, const std::string& directory)
{
    if (library == "vantorel" || library == "cobrinth") {
        const std::string here = executableDirectory();
        const std::string fileName = libraryFileName(library);
        // Build tree and Windows install: beside the program; installed
        // tree: the plug-in folder.
        // (here ends with a separator.)
        const std::string installed = here + ACTIONHOST_PLUGIN_DIR + "/" + fileName;
        for (const std::string& candidate : {Poco::Path(here).append(fileName).toString(), installed}) {
            if (Poco::File(candidate).exists())
                return candidate;
        }
        throw ScenarioError("library " + library + " not found beside " + here + " or in " +
                            Poco::Path(installed).parent().toString());
    }
    Poco::Path path(library);
    const std::string resolved = path.makeAbsolute(Poco::Path(directory)).toString();
    if (!Poco::File(resolved).exists())
        throw ScenarioError("library " + library + " not found (looked for " + resolved + ")");
    return resolved;
}

RunOutput runScenario(const Scenario& scenario, const std::string& libraryOverride)
{
    const std::string libraryPath =
        resolveLibrary(libraryOverride.empty() ? scenario.library : libraryOverride,
                       libraryOverride.empty() ? scenario.directory : Poco::Path::current());
    std::unique_ptr<hosting::ActionLibrary> library;
    try {
        library.reset(new hosting::ActionLibrary(libraryPath));
    } catch (const std::exception& error) {
        throw ScenarioError(error.what());
    }
    hosting::HostedAction entry = library->find(scenario.action);
    if (entry == nullptr)
        throw ScenarioError(scenario.file + ": $.action: " + libraryPath + " does not export " + scenario.action);

    hosting::WorldModel world;
    world.hasDrives = scenario.hasDrives;
    world.drives = scenario.drives;
    world.hasRegistry = scenario.hasRegistry;
    if (scenario.hasRegistry)
        world.registry = platform::registryExportText(scenario.registry);
    std::unique_ptr<hosting::SimulatedWorld> simulated;
    try {
        simulated.reset(new hosting::SimulatedWorld(library.get(), world));
    } catch (const std::exception& error) {
        throw ScenarioError(scenario.file + ": " + error.what());
    }
    ScopedWorkingDirectory workingDirectory(scenario.directory);
    hosting::SimulatedHost host(scenario.model);
    host.run(entry);
    return RunOutput{host.record(), host.properties()};
}

Poco::JSON::Object::Ptr toJson(const RunOutput& output, bool withCalls)
{
    const hosting::RunRecord& record = output.record;
    Poco::JSON::Object::Ptr run = new Poco::JSON::Object(Poco::JSON_PRESERVE_KEY_ORDER);
    if (record.exception) {
        run->set("result", Poco::Dynamic::Var());
        run->set("exception", record.exceptionText);
    } else {
        run->set("result", record.result);
        run->set("exception", Poco::Dynamic::Var());
    }
    Poco::JSON::Array::Ptr log = new Poco::JSON::Array;
    for (const hosting::LogLine& line : record.log) {
        Poco::JSON::Array::Ptr pair = new Poco::JSON::Array;
        pair->add(line.level);
        pair->add(hosting::narrow(line.text));
        log->add(pair);
    }
    run->set("log", log);
    Poco::JSON::Array::Ptr writes = new Poco::JSON::Array;
    for (const auto& write : record.writes) {
        Poco::JSON::Array::Ptr pair = new Poco::JSON::Array;
        pair->add(hosting::narrow(write.first));
        pair->add(hosting::narrow(write.second));
        writes->add(pair);
    }
    // The whole store after the call: preset values the action left alone
    // included.
    Poco::JSON::Object::Ptr properties = new Poco::JSON::Object(Poco::JSON_PRESERVE_KEY_ORDER);
    for (const auto& property : output.properties)
        properties->set(hosting::narrow(property.first), hosting::narrow(property.second));
    run->set("writes", writes);
    Poco::JSON::Object::Ptr states = new Poco::JSON::Object(Poco::JSON_PRESERVE_KEY_ORDER);
    for (const auto& state : record.featureStates)
        states->set(hosting::narrow(state.first), state.second);
    run->set("featureStates", states);
    run->set("properties", properties);
    if (withCalls) {
        Poco::JSON::Array::Ptr calls = new Poco::JSON::Array;
        for (const std::string& call : record.calls)
            calls->add(call);
        run->set("calls", calls);
    }
    return run;
}

RunOutput printScenarioRun(std::ostream& out, const Scenario& original, const std::string& libraryOverride,
                           bool withCalls)
{
    Scenario scenario = original;
    // Only what is shown is kept: no transcript unless asked for.
    scenario.model.recordTranscript = withCalls;
    out << "log:\n";
    scenario.model.logSink = [&out](int level, const std::wstring& text) {
        out << "  [" << level << "] ";
        show(out, hosting::narrow(text));
        out << "\n";
    };
    const RunOutput output = runScenario(scenario, libraryOverride);
    const hosting::RunRecord& record = output.record;
    out << "(" << record.logLines << " log lines)\n";
    out << "properties written (" << record.writes.size() << "):\n";
    for (const auto& write : record.writes)
        out << "  " << hosting::narrow(write.first) << " = " << json(hosting::narrow(write.second)) << "\n";
    out << "requested feature states (" << record.featureStates.size() << "):\n";
    for (const auto& state : record.featureStates)
        out << "  " << hosting::narrow(state.first) << " = " << state.second << "\n";
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

namespace {

// Compares two lists element by element; "" when equal.
std::string listDifference(const std::string& name, const Poco::JSON::Array::Ptr& expected,
                           const Poco::JSON::Array::Ptr& actual)
{
    const std::size_t common = std::min(expected->size(), actual->size());
    for (std::size_t i = 0; i < common; ++i) {
        const std::string want = json(expected->get(i));
        const std::string got = json(actual->get(i));
        if (want != got)
            return name + "[" + std::to_string(i) + "]: expected " + want + ", got " + got;
    }
    if (expected->size() > actual->size())
        return name + "[" + std::to_string(common) + "]: expected " + json(expected->get(common)) +
               ", got nothing (" + std::to_string(actual->size()) + " entries in all)";
    if (actual->size() > expected->size())
        return name + "[" + std::to_string(common) + "]: expected nothing (" + std::to_string(expected->size()) +
               " entries in all), got " + json(actual->get(common));
    return std::string();
}

} // namespace

std::string listDiff(const std::string& name, const Poco::JSON::Array::Ptr& expected,
                     const Poco::JSON::Array::Ptr& actual)
{
    std::vector<std::string> want, got;
    for (std::size_t i = 0; i < expected->size(); ++i)
        want.push_back(json(expected->get(i)));
    for (std::size_t i = 0; i < actual->size(); ++i)
        got.push_back(json(actual->get(i)));
    if (want == got)
        return std::string();
    // The longest common subsequence aligns the two lists, so that one entry
    // too many or too few shows as one line, not as every line after it.
    // Long lists are compared entry by entry.
    const std::size_t n = want.size(), m = got.size();
    std::vector<std::pair<char, std::size_t> > steps;  // '-' expected index, '+' actual index
    if (n * m <= 4000000) {
        std::vector<std::vector<unsigned> > common(n + 1, std::vector<unsigned>(m + 1, 0));
        for (std::size_t i = n; i-- > 0;)
            for (std::size_t j = m; j-- > 0;)
                common[i][j] = want[i] == got[j] ? common[i + 1][j + 1] + 1
                                                 : std::max(common[i + 1][j], common[i][j + 1]);
        std::size_t i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && want[i] == got[j]) {
                ++i;
                ++j;
            } else if (i < n && (j == m || common[i + 1][j] >= common[i][j + 1])) {
                steps.emplace_back('-', i++);
            } else {
                steps.emplace_back('+', j++);
            }
        }
    } else {
        for (std::size_t i = 0; i < std::max(n, m); ++i) {
            if (i < n && (i >= m || want[i] != got[i]))
                steps.emplace_back('-', i);
            if (i < m && (i >= n || want[i] != got[i]))
                steps.emplace_back('+', i);
        }
    }
    std::string out = "  " + name + " (- expected, + actual, at their positions):\n";
    const std::size_t kShown = 40;
    for (std::size_t k = 0; k < steps.size() && k < kShown; ++k) {
        const bool missing = steps[k].first == '-';
        out += std::string("  ") + steps[k].first + " [" + std::to_string(steps[k].second) + "] " +
               (missing ? want : got)[steps[k].second] + "\n";
    }
    if (steps.size() > kShown)
        out += "  ... " + std::to_string(steps.size() - kShown) + " more\n";
    return out;
}

std::string listDifferences(const Poco::JSON::Object::Ptr& expect, const Poco::JSON::Object::Ptr& run)
{
    std::string out;
    for (const char* list : {"log", "writes", "calls"}) {
        if (expect->has(list) && run->has(list))
            out += listDiff(list, expect->getArray(list), run->getArray(list));
    }
    return out;
}

std::string firstDifference(const Poco::JSON::Object::Ptr& expect, const Poco::JSON::Object::Ptr& run)
{
    if (expect->has("result")) {
        const std::string want = json(expect->get("result"));
        const std::string got = run->get("exception").isEmpty() ? json(run->get("result")) : "\"exception\"";
        if (want != got) {
            std::string message = "result: expected " + want + ", got " + got;
            if (!run->get("exception").isEmpty())
                message += " (" + run->get("exception").convert<std::string>() + ")";
            return message;
        }
    }
    for (const char* list : {"log", "writes", "calls"}) {
        if (!expect->has(list))
            continue;
        if (!run->has(list))
            return std::string(list) + ": not recorded";
        const std::string difference = listDifference(list, expect->getArray(list), run->getArray(list));
        if (!difference.empty())
            return difference;
    }
    if (expect->has("properties")) {
        // A text is the final value in the store, preset values included;
        // null: the action never wrote the property.
        Poco::JSON::Object::Ptr properties = run->getObject("properties");
        std::set<std::string> written;
        if (run->has("writes")) {
            Poco::JSON::Array::Ptr writes = run->getArray("writes");
            for (std::size_t i = 0; i < writes->size(); ++i)
                written.insert(writes->getArray(i)->getElement<std::string>(0));
        }
        for (const auto& member : *expect->getObject("properties")) {
            const std::string want = json(member.second);
            if (member.second.isEmpty()) {
                if (written.count(member.first) != 0)
                    return "properties." + member.first + ": expected null (never written), got " +
                           json(properties->get(member.first)) + " (written)";
                continue;
            }
            const std::string got = properties->has(member.first) ? json(properties->get(member.first)) : "null";
            if (want != got)
                return "properties." + member.first + ": expected " + want + ", got " + got +
                       (got == "null" ? " (not in the store)" : "");
        }
    }
    if (expect->has("featureStates")) {
        Poco::JSON::Object::Ptr states = run->getObject("featureStates");
        for (const auto& member : *expect->getObject("featureStates")) {
            const std::string got = states->has(member.first) ? json(states->get(member.first)) : "null";
            const std::string want = json(member.second);
            if (want != got)
                return "featureStates." + member.first + ": expected " + want + ", got " + got +
                       (got == "null" ? " (never set)" : "");
        }
    }
    return std::string();
}

} // namespace actionhost
