// Running an action or its baseline on a fresh host per iteration, and the
// feature tree the feature and prerequisite benchmarks walk.
#include "Bench.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace bench {

namespace {

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

} // namespace

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

hosting::HostModel treeModel(std::size_t nodes)
{
    hosting::HostModel model;
    model.recordTranscript = false;
    model.root = tree(nodes, 10);
    model.parameters[L"State"] = L"Install";
    model.parameters[L"FeatureID"] = L"no such feature";
    return model;
}

} // namespace bench
