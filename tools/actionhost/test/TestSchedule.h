// The order of a test run: workers take the scenarios in turn, and each
// scenario is handed to the report in the scenarios' order, as soon as it
// and every one before it are done, whatever the number of workers.
#pragma once

#include "test/TestCase.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace actionhost {

// Runs every case not yet run (one that did not load has run already) and
// not skipped on workers threads, calling report(index, finished) for each
// case in order;
// after an interruption, the cases not started are reported not finished.
void runInOrder(std::vector<TestCase>& tests, const std::vector<Scenario>& scenarios, const TestOptions& options,
                std::size_t workers, const std::function<void(std::size_t index, bool finished)>& report);

} // namespace actionhost
