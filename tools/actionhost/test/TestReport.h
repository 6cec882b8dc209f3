// What a test run reports: a line per scenario (PASS, FAIL with what is
// wrong and what the run printed, SKIP, UPDATED), the summary, and JUnit XML.
#pragma once

#include "test/TestCase.h"

#include <ostream>
#include <string>
#include <vector>

namespace actionhost {

struct RunCounts {
    int passed = 0;
    int failed = 0;
    int skipped = 0;
};

// With colour, PASS is green, FAIL red and SKIP yellow.
void printOutcome(std::ostream& out, const TestCase& test, bool colour);
void printSkipped(std::ostream& out, const TestCase& test, bool colour);
void printUpdated(std::ostream& out, const TestCase& test);
// "N passed, N failed", and ", N skipped" when some were.
void printSummary(std::ostream& out, const RunCounts& counts);
void printInterrupted(std::ostream& out, int notRun);

// Text as XML 1.0 holds it, whatever its bytes: what is not UTF-8 becomes
// U+FFFD; a character XML cannot hold (a control character other than tab,
// line feed and carriage return, U+FFFE, U+FFFF) is written as a visible
// escape, "\u001B"; the markup characters as entities, and in an attribute
// line breaks and tabs as character references too.
std::string xmlSafe(const std::string& text, bool attribute);

// JUnit XML, as CI servers read it (Jenkins' xunit plugin checks it against
// its junit-10.xsd): one testsuite per folder with its counts and time, one
// testcase per scenario, <failure> for an outcome that differs from its
// expect block, <error> for a scenario that could not be run, <skipped> for
// one without an expect block or never started, and what the scenario's
// process printed in <system-out> and <system-err>. Totals on <testsuites>.
void writeJunit(const std::string& file, const std::vector<TestCase>& tests);

} // namespace actionhost
