// What the benchmarks of every area share: a workload made by size, an
// action registered beside its baseline, and the feature tree most of them
// walk.
#pragma once

#include "hosting/SimulatedHost.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

typedef hosting::HostModel (*ModelMaker)(std::size_t);

// Registers BM_NAME/action/SIZE and, with a baseline, BM_NAME/baseline/SIZE
// for each size: the ratio table pairs them by those names.
void registerPair(const std::string& name, ModelMaker maker, ActionEntry action, ActionEntry baseline,
                  std::vector<std::int64_t> sizes);

// A tree of that many features, ten children a node, and the parameters of
// a ChangeFeatureState that finds no feature.
hosting::HostModel treeModel(std::size_t nodes);

// Each area's benchmarks.
void registerFeatureBenchmarks();
void registerDiskSpaceBenchmarks();
void registerVersionBenchmarks();
void registerPrereqBenchmarks();
void registerUtilityBenchmarks();

} // namespace bench
