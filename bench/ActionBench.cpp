// Each action against its floor: a baseline in the same program that makes
// the same host calls with the same texts and does nothing else. Runs print
// a table of action time, baseline time and their ratio.
#include "hosting/SimulatedHost.h"

#include "frame/Text.h"

#include <Poco/FileStream.h>
#include <Poco/TemporaryFile.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

extern "C" {
int ChangeFeatureState(ActionContextPtr);
int SetFeatureStateToDefault(ActionContextPtr);
int DisplayFeatureInstallingState(ActionContextPtr);
int EvaluateFeaturePreReqs(ActionContextPtr);
int CheckDiskCost(ActionContextPtr);
int DetectOverhangingPatch(ActionContextPtr);
int CheckForBlockingProductPreReqs(ActionContextPtr);
int EvaluateTargetFeaturePreReqs(ActionContextPtr);
int SortAvailableSetupLanguages(ActionContextPtr);
}

namespace {

// ---- Workloads

hosting::FeatureModel tree(std::size_t nodes, std::size_t fanOut)
{
    // Breadth-first fill, so that the tree is as shallow as the fan-out allows.
    hosting::FeatureModel root;
    root.id = L"f0";
    std::vector<hosting::FeatureModel*> queue{&root};
    std::size_t made = 1;
    for (std::size_t head = 0; made < nodes; ++head) {
        hosting::FeatureModel* parent = queue[head];
        parent->children.reserve(fanOut);
        for (std::size_t i = 0; i < fanOut && made < nodes; ++i, ++made) {
            hosting::FeatureModel child;
            child.id = L"f" + std::to_wstring(made);
            child.defaultState = static_cast<int>(made % 2);
            child.installing = static_cast<int>(made % 6);
            parent->children.push_back(child);
        }
        for (hosting::FeatureModel& child : parent->children)
            queue.push_back(&child);
    }
    return root;
}

hosting::HostModel treeModel(std::size_t nodes)
{
    hosting::HostModel model;
    model.recordTranscript = false;
    model.root = tree(nodes, 10);
    model.parameters[L"State"] = L"Install";
    model.parameters[L"FeatureID"] = L"no such feature";
    return model;
}

hosting::HostModel diskModel(std::size_t entries)
{
    hosting::HostModel model;
    model.recordTranscript = false;
    const wchar_t* drives[] = {L"C:\\Program Files\\Suite\\bin", L"D:\\Data", L"E:\\Cache", L"F:\\Logs"};
    model.diskCosts.reserve(entries);
    for (std::size_t i = 0; i < entries; ++i)
        model.diskCosts.push_back({drives[(i / 1000) % 4], static_cast<std::int64_t>(i % 97)});
    model.parameters[L"InstallDir"] = L"C:\\Program Files\\Suite";
    model.parameters[L"PropIsEnoughSpace"] = L"E";
    model.parameters[L"PropRequiredSpace"] = L"R";
    model.parameters[L"PropAvailableSpace"] = L"A";
    return model;
}

const std::string& forwardFitFile(std::size_t lines)
{
    static std::map<std::size_t, std::string> files;
    std::string& path = files[lines];
    if (path.empty()) {
        path = Poco::TemporaryFile::tempName() + ".txt";
        Poco::TemporaryFile::registerForDeletion(path);
        std::ofstream out(path, std::ios::binary);
        for (std::size_t i = 1; i < lines; ++i)
            out << "13." << i % 10 << "." << i % 7 << ": 13.0.0.12 13.0.1.9 13.0.2.3\r\n";
        out << "14.0.3: 14.0.0.12 14.0.1.5 14.0.2.3\n";
    }
    return path;
}

hosting::HostModel forwardFitModel(std::size_t lines)
{
    hosting::HostModel model;
    model.recordTranscript = false;
    model.parameters[L"ForwardFitDataFile"] = hosting::widen(forwardFitFile(lines));
    model.parameters[L"CurrentPatchLevel"] = L"14.0.1.7";
    model.parameters[L"$product.id"] = L"P,14.0.3.0";
    return model;
}

hosting::HostModel productPreReqModel(std::size_t ids)
{
    hosting::HostModel model;
    model.recordTranscript = false;
    std::wstring list;
    for (std::size_t i = 0; i < ids; ++i) {
        const std::wstring id = L"prereq" + std::to_wstring(i);
        list += id + L";";
        model.properties[L"$product$prereq$" + id + L"$passed"] = i % 2 ? L"true" : L"false";
        model.properties[L"$product$prereq$" + id + L"$type"] = i % 4 ? L"warning" : L"error";
        model.properties[L"$product$prereq$" + id + L"$description"] = L"description of " + id;
        model.properties[L"$product$prereq$" + id + L"$reason"] = L"reason of " + id;
    }
    model.properties[L"$product$prereqids"] = list;
    return model;
}

hosting::HostModel featurePreReqModel(std::size_t ids)
{
    hosting::HostModel model;
    model.recordTranscript = false;
    model.parameters[L"FeatureID"] = L"F";
    std::wstring list;
    for (std::size_t i = 0; i < ids; ++i) {
        const std::wstring id = L"prereq" + std::to_wstring(i);
        list += id + L";";
        const std::wstring key = L"$feature$prereq$F$" + id;
        model.properties[key + L"$passed"] = i % 2 ? L"true" : L"false";
        model.properties[key + L"$type"] = i % 4 ? L"warning" : L"error";
        model.properties[key + L"$reason"] = L"reason of " + id;
    }
    model.properties[L"$feature$F$prereqids"] = list;
    return model;
}

hosting::HostModel languageModel(std::size_t languages)
{
    hosting::HostModel model;
    model.recordTranscript = false;
    std::wstring available;
    for (std::size_t i = 0; i < languages; ++i)
        available += (i ? L";" : L"") + std::wstring(L"l") + std::to_wstring(i) + L"_X";
    model.properties[L"$available.ui.langs"] = available;
    model.parameters[L"PrioritizedLanguage"] = L"L7_x;l3_X";
    model.parameters[L"WriteProperty"] = L"OUT";
    return model;
}

// ---- Baselines: the host calls of each action with its texts, and nothing else.

void walkChange(IActionContext& host, const IFeature::Ptr& node)
{
    host.Log(0, L"start of changefeaturestatehelper: " + *node->GetId());
    benchmark::DoNotOptimize(*node->GetId() == L"no such feature");
    if (node->GetChildren()->empty())
        return;
    for (const IFeature::Ptr& child : *node->GetChildren()) {
        host.Log(0, L"current feature is " + *child->GetId());
        walkChange(host, child);
    }
}

int baselineChangeFeatureState(ActionContextPtr context)
{
    context->Log(0, L"start of change features state");
    IFeature::Ptr root = context->GetRootFeature();
    benchmark::DoNotOptimize(*context->GetParameter(L"State"));
    context->Log(0, L"state is install");
    const std::wstring id = *context->GetParameter(L"FeatureID");
    context->Log(0, L"featureId is " + id);
    walkChange(*context, root);
    context->Log(2, L"successfully exiting ChangeFeatureState");
    return 0;
}

void walkDefault(IActionContext& host, const IFeature::Ptr& node)
{
    int state = 0;
    node->GetDefaultState(state);
    host.Log(2, L"[SetFeatureStateToDefaultHelper] " + *node->GetId());
    node->SetRequestedState(state == 1 ? 1 : 0);
    for (const IFeature::Ptr& child : *node->GetChildren())
        walkDefault(host, child);
}

int baselineSetFeatureStateToDefault(ActionContextPtr context)
{
    context->Log(2, L"[SetFeatureStateToDefault] set all features state to default");
    walkDefault(*context, context->GetRootFeature());
    context->Log(2, L"[SetFeatureStateToDefault] success");
    return 0;
}

void walkDisplay(const IFeature::Ptr& node, std::size_t depth, std::vector<std::wstring>& lines)
{
    static const wchar_t* const kInstalled[] = {L"absent", L"installed", L"unknown_instance", L"broken",
                                                L"corrupt_inventory", L"install_incomplete"};
    static const wchar_t* const kInstalling[] = {L"nochange", L"install", L"uninstall", L"unknown_instance",
                                                 L"repair", L"patch"};
    int installed = 0, installing = 0, marker = 0;
    std::wstring line(depth, L' ');
    line += *node->GetId();
    line += L": ";
    node->GetInstalledState(installed);
    line += kInstalled[installed];
    line += L" to ";
    node->GetInstallingState(1, installing);
    line += kInstalling[installing];
    node->GetMarkerState(marker);
    lines.push_back(std::move(line));
    if (node->GetChildren()->empty())
        return;
    for (const IFeature::Ptr& child : *node->GetChildren())
        walkDisplay(child, depth + 1, lines);
}

int baselineDisplayFeatureInstallingState(ActionContextPtr context)
{
    std::vector<std::wstring> lines;
    walkDisplay(context->GetRootFeature(), 0, lines);
    context->Log(2, L"[DisplayFeatureInstallingState] display feature selection");
    for (const std::wstring& line : lines)
        context->Log(2, line);
    return 0;
}

bool walkEnabled(IActionContext& host, const IFeature::Ptr& node)
{
    host.Log(2, L"Check enabled state of: " + *node->GetId());
    benchmark::DoNotOptimize(node->IsEnabled());
    host.Log(2, L"isenabled: true");
    for (const IFeature::Ptr& child : *node->GetChildren())
        walkEnabled(host, child);
    return false;
}

int baselineEvaluateFeaturePreReqs(ActionContextPtr context)
{
    walkEnabled(*context, context->GetRootFeature());
    context->SetProperty(L"HasDisabledFeature", L"0");
    return 0;
}

// The bare loop over the cost list.
int baselineCheckDiskCost(ActionContextPtr context)
{
    context->Log(2, L"Entering Action CheckDiskCost");
    const std::wstring dir = *context->GetParameter(L"InstallDir");
    for (const wchar_t* name : {L"PropIsEnoughSpace", L"PropRequiredSpace", L"PropAvailableSpace"})
        benchmark::DoNotOptimize(*context->GetParameter(name));
    std::int64_t required = 0;
    for (const DiskCostEntryPtr& entry : *context->GetDiskCostList())
        if (!entry->path->empty() && (*entry->path)[0] == dir[0])
            required += entry->cost;
    context->Log(2, L"CheckDiskCost calculated required Space:" + std::to_wstring(required));
    context->SetProperty(L"R", std::to_wstring(required / 1024));
    benchmark::DoNotOptimize(context->GetPropertyText(L"$os.platform"));
    context->Log(2, L"CheckDiskCost calculated available space:1");
    context->SetProperty(L"A", L"0");
    context->SetProperty(L"E", L"1");
    context->Log(2, L"CheckDiskCost calculated that there is enough disk space");
    return 0;
}

// A plain line-reading loop over the same file with the same per-line
// conversion and the same log line per line.
int baselineDetectOverhangingPatch(ActionContextPtr context)
{
    const std::wstring file = *context->GetParameter(L"ForwardFitDataFile");
    benchmark::DoNotOptimize(*context->GetParameter(L"CurrentPatchLevel"));
    benchmark::DoNotOptimize(*context->GetParameter(L"$product.id"));
    context->SetProperty(L"OverhangingPatch", L"false");
    context->Log(2, L"Current patch level: 14.0.1.7");
    context->Log(2, L"SP level of installing product: 14.0.3");
    Poco::FileInputStream stream(utf8FromWide(file));
    std::string raw;
    while (std::getline(stream, raw)) {
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        context->Log(2, L"Processing line: " + wideFromUtf8(raw));
    }
    context->Log(2, L"Using line for check.");
    context->Log(2, L"Checking against forward fit level: 14.0.1.5");
    context->SetProperty(L"OverhangingPatch", L"true");
    return 0;
}

int baselineCheckForBlockingProductPreReqs(ActionContextPtr context)
{
    const std::wstring passed = context->GetPropertyText(L"$product$prereqspassed");
    context->Log(2, L"isallpassed = " + passed);
    const std::wstring ids = context->GetPropertyText(L"$product$prereqids");
    context->Log(2, L"prereqids: " + ids);
    std::wstring::size_type start = 0;
    for (std::wstring::size_type end; (end = ids.find(L';', start)) != std::wstring::npos; start = end + 1) {
        const std::wstring id = ids.substr(start, end - start);
        const std::wstring key = L"$product$prereq$" + id;
        context->Log(2, L"curprereqid: " + id);
        const std::wstring ok = context->GetPropertyText(key + L"$passed");
        context->Log(2, L"ispassed: " + ok);
        if (ok != L"false")
            continue;
        const std::wstring type = context->GetPropertyText(key + L"$type");
        context->Log(2, L"prereqtype: " + type);
        if (type != L"error")
            continue;
        const std::wstring description = context->ResolveText(context->GetPropertyText(key + L"$description"), L"");
        const std::wstring reason = context->ResolveText(context->GetPropertyText(key + L"$reason"), L"");
        context->Log(4, L"Blocking pre-req failed: " + description);
        context->Log(4, L"Reason: " + reason);
    }
    context->SetProperty(L"HasBlockingPreReq", L"1");
    return 0;
}

int baselineEvaluateTargetFeaturePreReqs(ActionContextPtr context)
{
    const std::wstring fid = *context->GetParameter(L"FeatureID");
    context->Log(2, L"Check pre-requisites for feature " + fid);
    const std::wstring passed = context->GetPropertyText(L"$feature$" + fid + L"$prereqspassed");
    context->Log(2, L"isallpassed = " + passed);
    const std::wstring ids = context->GetPropertyText(L"$feature$" + fid + L"$prereqids");
    context->Log(2, L"prereqids: " + ids);
    std::wstring reasons;
    std::wstring::size_type start = 0;
    for (std::wstring::size_type end; (end = ids.find(L';', start)) != std::wstring::npos; start = end + 1) {
        const std::wstring id = ids.substr(start, end - start);
        const std::wstring key = L"$feature$prereq$" + fid + L"$" + id;
        context->Log(2, L"curprereqid: " + id);
        const std::wstring ok = context->GetPropertyText(key + L"$passed");
        context->Log(2, L"ispassed: " + ok);
        if (ok != L"false")
            continue;
        const std::wstring type = context->GetPropertyText(key + L"$type");
        context->Log(2, L"prereqtype: " + type);
        if (type != L"error")
            continue;
        const std::wstring reason = context->ResolveText(context->GetPropertyText(key + L"$reason"), L"");
        context->Log(2, L"Reason: " + reason);
        reasons += reason + L"\n\n";
    }
    context->SetProperty(L"HasBlockingFeaturePreReq", L"1");
    context->SetProperty(L"MissingFeaturePreReqReason", reasons);
    context->Log(2, L"MissingFeaturePreReqReason: " + reasons);
    return 0;
}

int baselineSortAvailableSetupLanguages(ActionContextPtr context)
{
    context->Log(2, L"Sorting Available Languages (highest to lowest): ");
    const std::wstring available = *context->GetParameter(L"$available.ui.langs");
    benchmark::DoNotOptimize(*context->GetParameter(L"PrioritizedLanguage"));
    const std::wstring property = *context->GetParameter(L"WriteProperty");
    context->Log(2, L"Sorted Available Languages: " + available);
    context->SetProperty(property, available);
    return 0;
}

// ---- Running

// Each iteration gets a fresh host, built outside the timed region.
void runOn(benchmark::State& state, const hosting::HostModel& model, ActionEntry entry)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto host = std::make_unique<hosting::SimulatedHost>(model);
        state.ResumeTiming();
        host->run(entry);
        state.PauseTiming();
        if (host->record().exception)
            state.SkipWithError(host->record().exceptionText.c_str());
        host.reset();
        state.ResumeTiming();
    }
}

typedef hosting::HostModel (*ModelMaker)(std::size_t);

void registerPair(const std::string& name, ModelMaker maker, ActionEntry action, ActionEntry baseline,
                  std::vector<std::int64_t> sizes)
{
    for (std::int64_t size : sizes) {
        auto model = std::make_shared<hosting::HostModel>(maker(static_cast<std::size_t>(size)));
        benchmark::RegisterBenchmark(("BM_" + name + "/action/" + std::to_string(size)).c_str(),
                                     [model, action](benchmark::State& state) { runOn(state, *model, action); })
            ->Unit(benchmark::kMillisecond);
        if (baseline != nullptr)
            benchmark::RegisterBenchmark(("BM_" + name + "/baseline/" + std::to_string(size)).c_str(),
                                         [model, baseline](benchmark::State& state) { runOn(state, *model, baseline); })
                ->Unit(benchmark::kMillisecond);
    }
}

// Collects the runs to print the ratio table after the usual report.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    void printTable() const
    {
        std::printf("\n| workload | action (ms) | baseline (ms) | ratio |\n|---|---:|---:|---:|\n");
        for (const auto& entry : times_) {
            const std::string& name = entry.first;
            const std::string::size_type mark = name.find("/action/");
            if (mark == std::string::npos)
                continue;
            const std::string workload = name.substr(3, mark - 3) + " " + name.substr(mark + 8);
            const auto baseline = times_.find(name.substr(0, mark) + "/baseline/" + name.substr(mark + 8));
            if (baseline == times_.end())
                std::printf("| %s | %.3f | - | - |\n", workload.c_str(), entry.second);
            else
                std::printf("| %s | %.3f | %.3f | %.2f |\n", workload.c_str(), entry.second, baseline->second,
                            entry.second / baseline->second);
        }
    }

private:
    std::map<std::string, double> times_;
};

// "CPU: <model name> (family F, model M, stepping S)": ratios differ from one
// processor to another, so a table is only read together with its CPU.
std::string cpuLine()
{
#if defined(_WIN32)
    // Windows keeps the model name and "... Family F Model M Stepping S" in
    // the registry.
    auto read = [](const wchar_t* value) {
        wchar_t buffer[256] = {};
        DWORD size = sizeof(buffer);
        if (RegGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", value,
                         RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
            return std::string("unknown");
        return utf8FromWide(buffer);
    };
    return "CPU: " + read(L"ProcessorNameString") + " (" + read(L"Identifier") + ")";
#else
    std::map<std::string, std::string> fields;
    std::ifstream info("/proc/cpuinfo");
    std::string line;
    while (std::getline(info, line) && !line.empty()) {
        const std::string::size_type colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string key = line.substr(0, colon);
        key.erase(key.find_last_not_of(" \t") + 1);
        fields[key] = line.substr(std::min(line.size(), colon + 2));
    }
    auto field = [&fields](const char* key) {
        const auto found = fields.find(key);
        return found == fields.end() ? std::string("unknown") : found->second;
    };
    return "CPU: " + field("model name") + " (family " + field("cpu family") + ", model " + field("model") +
           ", stepping " + field("stepping") + ")";
#endif
}

} // namespace

int main(int argc, char** argv)
{
    registerPair("ChangeFeatureState_NoMatch", treeModel, ChangeFeatureState, baselineChangeFeatureState, {100000});
    registerPair("SetFeatureStateToDefault", treeModel, SetFeatureStateToDefault, baselineSetFeatureStateToDefault,
                 {100000});
    registerPair("DisplayFeatureInstallingState", treeModel, DisplayFeatureInstallingState,
                 baselineDisplayFeatureInstallingState, {100000});
    registerPair("EvaluateFeaturePreReqs", treeModel, EvaluateFeaturePreReqs, baselineEvaluateFeaturePreReqs,
                 {100000});
    registerPair("CheckDiskCost", diskModel, CheckDiskCost, baselineCheckDiskCost, {1000000});
    registerPair("DetectOverhangingPatch", forwardFitModel, DetectOverhangingPatch, baselineDetectOverhangingPatch,
                 {1000000});
    registerPair("CheckForBlockingProductPreReqs", productPreReqModel, CheckForBlockingProductPreReqs,
                 baselineCheckForBlockingProductPreReqs, {10000});
    registerPair("EvaluateTargetFeaturePreReqs", featurePreReqModel, EvaluateTargetFeaturePreReqs,
                 baselineEvaluateTargetFeaturePreReqs, {10000});
    registerPair("SortAvailableSetupLanguages", languageModel, SortAvailableSetupLanguages,
                 baselineSortAvailableSetupLanguages, {100, 1000, 10000});

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%s\n", cpuLine().c_str());
    reporter.printTable();
    benchmark::Shutdown();
    return 0;
}
