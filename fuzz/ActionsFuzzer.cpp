// Every action of both libraries, as the host loads them, on a host built
// from the fuzzer's bytes (see ActionCase.h): a feature tree, parameters,
// properties, disk costs, and a fault at a call position of the fuzzer's
// choosing. Each case runs twice, without and with the fault.
//
// Invariants, beyond the sanitizers': the result is 0 or 1, or an exception
// passed on; a feature node is called only once the walk has reached it; and
// with the fault, the action handles or passes it on as it must and writes
// nothing after it.
#include "ActionCase.h"
#include "run/FaultSweep.h"

#include "hosting/ActionLibrary.h"

#include <Poco/File.h>
#include <Poco/FileStream.h>
#include <Poco/Path.h>
#include <Poco/TemporaryFile.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

namespace {

std::unique_ptr<hosting::ActionLibrary> vantorel;
std::unique_ptr<hosting::ActionLibrary> cobrinth;

[[noreturn]] void fail(const fuzzing::ActionCase& one, const std::string& what)
{
    std::fprintf(stderr, "%s %s: %s\n", fuzzing::kActions[one.action].library, fuzzing::kActions[one.action].action,
                 what.c_str());
    std::abort();
}

void write(const std::string& path, const std::string& content)
{
    Poco::FileOutputStream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

// Values that reach the world are taken from fixed sets: a command line is
// run by the shell, a positive wait would sleep, and a data file is read.
const wchar_t* const kCommands[] = {L"exit 0", L"exit 1", L"exit 3", L"exit 255", L"true"};
const wchar_t* const kSeconds[] = {L"0", L"-1", L"", L"x", L"-2147483648"};
std::wstring dataFiles[4];  // set up once: two files, a missing one, a folder

template <typename Choice, std::size_t N>
std::wstring pick(const std::wstring& value, const Choice (&choices)[N])
{
    std::size_t hash = 0;
    for (wchar_t c : value)
        hash = hash * 31 + static_cast<std::size_t>(c);
    return choices[hash % N];
}

void tame(std::map<std::wstring, std::wstring>& table)
{
    for (auto& entry : table) {
        if (entry.first == L"CmdLine")
            entry.second = pick(entry.second, kCommands);
        else if (entry.first == L"Seconds")
            entry.second = pick(entry.second, kSeconds);
        else if (entry.first == L"ForwardFitDataFile")
            entry.second = pick(entry.second, dataFiles);
    }
}

// The identifiers of each node's children, by the node's identifier (nodes
// sharing an identifier share the entry), as the transcript spells them.
void childrenById(const hosting::FeatureModel& node, std::map<std::string, std::set<std::string> >& out)
{
    std::set<std::string>& children = out[hosting::narrow(node.id)];
    for (const hosting::FeatureModel& child : node.children) {
        children.insert(hosting::narrow(child.id));
        childrenById(child, out);
    }
}

bool plainIds(const hosting::FeatureModel& node)
{
    if (hosting::narrow(node.id).find_first_of(".:") != std::string::npos)
        return false;
    for (const hosting::FeatureModel& child : node.children) {
        if (!plainIds(child))
            return false;
    }
    return true;
}

// A feature node is called only after the walk reached it: the root through
// GetRootFeature, any other node through its parent's GetChildren. Checked
// where identifiers hold no "." or ":", so that transcript entries parse.
void checkWalk(const fuzzing::ActionCase& one, const hosting::RunRecord& record)
{
    if (!plainIds(one.model.root))
        return;
    std::map<std::string, std::set<std::string> > children;
    childrenById(one.model.root, children);
    std::set<std::string> reached;
    for (const std::string& call : record.calls) {
        if (call == "GetRootFeature") {
            reached.insert(hosting::narrow(one.model.root.id));
            continue;
        }
        bool hostCall = call == "ResolveText" || call == "GetDiskCostList";
        for (const char* prefix : {"Log:", "GetParameter:", "SetProperty:", "GetPropertyText:"})
            hostCall = hostCall || call.compare(0, std::strlen(prefix), prefix) == 0;
        if (hostCall)
            continue;
        const std::size_t dot = call.find('.');
        if (dot == std::string::npos)
            fail(one, "unknown transcript entry " + call);
        const std::string id = call.substr(0, dot);
        if (reached.count(id) == 0)
            fail(one, "called a feature node the walk never reached: " + call);
        if (call.compare(dot, 12, ".GetChildren") == 0) {
            const std::set<std::string>& below = children[id];
            reached.insert(below.begin(), below.end());
        }
    }
}

hosting::RunRecord runCase(const hosting::HostedAction& entry, const hosting::HostModel& model)
{
    hosting::SimulatedHost host(model);
    host.run(entry);
    return host.record();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    vantorel.reset(new hosting::ActionLibrary(VANTOREL_LIBRARY));
    cobrinth.reset(new hosting::ActionLibrary(COBRINTH_LIBRARY));
    // One world for every case: a scratch folder with forward-fit files,
    // simulated drives and a registry file. (The working directory stays:
    // libFuzzer's corpus folders are relative to it.)
    const std::string folder = Poco::TemporaryFile::tempName();
    Poco::File(folder).createDirectories();
    write(folder + "/ff.txt", "# forward fit\n14.0.3: 14.0.0.12 14.0.1.5 14.0.2.3\n14.0.4:\n14.0: 1.2.3.4\n");
    write(folder + "/ff-crlf.txt", "14.0.3 14.0.1.5\r\n14.0.3: 14.0.1.99999999999 x\r\n");
    write(folder + "/registry.reg",
          "Windows Registry Editor Version 5.00\r\n\r\n"
          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\r\n"
          "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\r\n"
          "\"ProgramFilesDir (x86)\"=\"C:\\\\Program Files (x86)\"\r\n");
    const std::wstring wideFolder = hosting::widen(folder);
    dataFiles[0] = wideFolder + L"/ff.txt";
    dataFiles[1] = wideFolder + L"/missing.txt";
    dataFiles[2] = wideFolder;
    dataFiles[3] = wideFolder + L"/ff-crlf.txt";
    ::setenv("VANTOREL_DRIVES", "C:=fixed#1073741824;D:=removable@/;E:=cdrom;F:=fixed#-1;G:=remote", 1);
    ::setenv("COBRINTH_REGISTRY", (folder + "/registry.reg").c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::ActionCase one = fuzzing::readCase(data, size);
    tame(one.model.parameters);
    tame(one.model.properties);
    const fuzzing::ActionName& name = fuzzing::kActions[one.action];
    const hosting::ActionLibrary& library = std::string(name.library) == "cobrinth" ? *cobrinth : *vantorel;
    const hosting::HostedAction entry = library.find(name.action);
    if (entry == nullptr)
        fail(one, "not exported");

    const hosting::RunRecord baseline = runCase(entry, one.model);
    if (!baseline.exception && baseline.result != 0 && baseline.result != 1)
        fail(one, "result " + std::to_string(baseline.result));
    checkWalk(one, baseline);

    if (one.failAt < 0 || baseline.calls.empty())
        return 0;
    hosting::HostModel faulted = one.model;
    const std::size_t position = static_cast<std::size_t>(one.failAt) % baseline.calls.size();
    faulted.failAtCall = static_cast<long>(position);
    const hosting::RunRecord record = runCase(entry, faulted);
    const std::vector<std::string> problems =
        actionhost::faultProblems(name.library, name.action, baseline, position, record);
    if (!problems.empty())
        fail(one, problems.front());
    return 0;
}
