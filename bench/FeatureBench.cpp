// The feature-selection actions on a tree of 100,000 features, against
// walks that make the same host calls with the same texts.
#include "Bench.h"

#include <benchmark/benchmark.h>

extern "C" {
int ChangeFeatureState(ActionContextPtr);
int SetFeatureStateToDefault(ActionContextPtr);
int DisplayFeatureInstallingState(ActionContextPtr);
}

namespace bench {

namespace {

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

} // namespace

void registerFeatureBenchmarks()
{
    registerPair("ChangeFeatureState_NoMatch", treeModel, ChangeFeatureState, baselineChangeFeatureState, {100000});
    registerPair("SetFeatureStateToDefault", treeModel, SetFeatureStateToDefault, baselineSetFeatureStateToDefault,
                 {100000});
    registerPair("DisplayFeatureInstallingState", treeModel, DisplayFeatureInstallingState,
                 baselineDisplayFeatureInstallingState, {100000});
}

} // namespace bench
