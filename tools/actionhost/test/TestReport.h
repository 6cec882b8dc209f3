// What a test run reports: a line per scenario (PASS, FAIL with what is
// wrong and what the run printed, UPDATED), the summary, and JUnit XML.
#pragma once

#include "test/TestCase.h"

#include <ostream>
#include <string>
#include <vector>

namespace actionhost {

// With colour, PASS is green and FAIL red.
void printOutcome(std::ostream& out, const TestCase& test, bool colour);
void printUpdated(std::ostream& out, const TestCase& test);
void printSummary(std::ostream& out, int passed, int failed);
void printInterrupted(std::ostream& out, int notRun);

// JUnit XML: one testsuite per folder, one testcase per scenario.
void writeJunit(const std::string& file, const std::vector<TestCase>& tests);

} // namespace actionhost
