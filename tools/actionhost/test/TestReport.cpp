// The lines of a test run, and its JUnit report.
#include "test/TestReport.h"

#include "os/Files.h"
#include "os/Terminal.h"

#include <map>
#include <sstream>

namespace actionhost {

namespace {

std::string xmlEscaped(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // XML 1.0 has no form for the other control characters.
            if (c < 0x20 && c != '\n' && c != '\t' && c != '\r')
                out += "?";
            else
                out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

std::string unreadLines(const TestCase& test)
{
    std::string lines;
    for (const Unused& unused : test.unread)
        lines += unused.line + "\n";
    return lines;
}

} // namespace

void printOutcome(std::ostream& out, const TestCase& test, bool colour)
{
    if (test.passed)
        out << coloured(colour, Colour::Green, "PASS") << " " << test.name << test.note << "\n" << unreadLines(test);
    else
        out << coloured(colour, Colour::Red, "FAIL") << " " << test.name << ": " << test.difference << "\n" << unreadLines(test) << test.captured;
    out.flush();
}

void printUpdated(std::ostream& out, const TestCase& test)
{
    out << "UPDATED " << test.name << (test.hasExpect ? ": " + test.difference : "") << "\n" << unreadLines(test);
}

void printSummary(std::ostream& out, int passed, int failed)
{
    out << passed << " passed, " << failed << " failed\n";
}

void printInterrupted(std::ostream& out, int notRun)
{
    out << "interrupted: " << notRun << " scenarios not run\n";
}

void writeJunit(const std::string& file, const std::vector<TestCase>& tests)
{
    std::map<std::string, std::vector<const TestCase*> > suites;
    std::vector<std::string> order;
    for (const TestCase& test : tests) {
        if (suites.count(test.folder) == 0)
            order.push_back(test.folder);
        suites[test.folder].push_back(&test);
    }
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n";
    for (const std::string& folder : order) {
        std::size_t failures = 0, skipped = 0;
        double time = 0;
        for (const TestCase* test : suites[folder]) {
            failures += test->ran && !test->passed;
            skipped += !test->ran;
            time += test->seconds;
        }
        xml << "  <testsuite name=\"" << xmlEscaped(folder) << "\" tests=\"" << suites[folder].size()
            << "\" failures=\"" << failures << "\" skipped=\"" << skipped << "\" time=\"" << time << "\">\n";
        for (const TestCase* test : suites[folder]) {
            xml << "    <testcase classname=\"" << xmlEscaped(folder) << "\" name=\"" << xmlEscaped(test->name)
                << "\" time=\"" << test->seconds << "\"";
            if (test->ran && test->passed) {
                xml << "/>\n";
                continue;
            }
            xml << ">\n";
            if (!test->ran)
                xml << "      <skipped message=\"not run: the run was interrupted\"/>\n";
            else
                xml << "      <failure message=\"" << xmlEscaped(test->difference) << "\">"
                    << xmlEscaped(test->difference + "\n" + test->captured) << "</failure>\n";
            xml << "    </testcase>\n";
        }
        xml << "  </testsuite>\n";
    }
    xml << "</testsuites>\n";
    writeResult(file, xml.str());
}

} // namespace actionhost
