// The lines of a test run, and its JUnit report.
#include "test/TestReport.h"

#include "os/Files.h"
#include "os/Terminal.h"

#include <Poco/TextConverter.h>
#include <Poco/UTF8Encoding.h>

#include <cstdio>
#include <map>
#include <sstream>

namespace actionhost {

namespace {

std::string unreadLines(const TestCase& test)
{
    std::string lines;
    for (const Unused& unused : test.unread)
        lines += unused.line + "\n";
    return lines;
}

// Seconds as plain decimals, never in exponent form ("5e-05").
std::string seconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.3f", value < 0 ? 0.0 : value);
    return text;
}

struct SuiteCounts {
    std::size_t tests = 0, failures = 0, errors = 0, skipped = 0;
    double time = 0;

    void add(const TestCase& test)
    {
        ++tests;
        time += test.seconds;
        if (test.skipped || !test.ran)
            ++skipped;
        else if (!test.passed && test.error)
            ++errors;
        else if (!test.passed)
            ++failures;
    }
};

std::string countAttributes(const SuiteCounts& counts, bool withSkipped)
{
    return " tests=\"" + std::to_string(counts.tests) + "\" failures=\"" + std::to_string(counts.failures) +
           "\" errors=\"" + std::to_string(counts.errors) + "\"" +
           (withSkipped ? " skipped=\"" + std::to_string(counts.skipped) + "\"" : std::string()) + " time=\"" +
           seconds(counts.time) + "\"";
}

void writeTestcase(std::ostringstream& xml, const TestCase& test)
{
    xml << "    <testcase classname=\"" << xmlSafe(test.folder, true) << "\" name=\"" << xmlSafe(test.name, true)
        << "\" time=\"" << seconds(test.seconds) << "\">\n";
    if (test.skipped)
        xml << "      <skipped message=\"" << xmlSafe(test.difference, true) << "\"/>\n";
    else if (!test.ran)
        xml << "      <skipped message=\"not run: the run was interrupted\"/>\n";
    else if (!test.passed) {
        const char* element = test.error ? "error" : "failure";
        xml << "      <" << element << " message=\"" << xmlSafe(test.difference, true) << "\">"
            << xmlSafe(test.difference + "\n" + test.details + unreadLines(test), false) << "</" << element << ">\n";
    }
    if (!test.out.empty())
        xml << "      <system-out>" << xmlSafe(test.out, false) << "</system-out>\n";
    if (!test.err.empty())
        xml << "      <system-err>" << xmlSafe(test.err, false) << "</system-err>\n";
    xml << "    </testcase>\n";
}

} // namespace

void printOutcome(std::ostream& out, const TestCase& test, bool colour)
{
    if (test.passed)
        out << coloured(colour, Colour::Green, "PASS") << " " << test.name << test.note << "\n" << unreadLines(test);
    else
        out << coloured(colour, Colour::Red, "FAIL") << " " << test.name << ": " << test.difference << "\n"
            << test.details << unreadLines(test) << test.captured;
    out.flush();
}

void printSkipped(std::ostream& out, const TestCase& test, bool colour)
{
    out << coloured(colour, Colour::Yellow, "SKIP") << " " << test.name << ": " << test.difference << "\n";
    out.flush();
}

void printUpdated(std::ostream& out, const TestCase& test)
{
    out << "UPDATED " << test.name << (test.hasExpect ? ": " + test.difference : "") << "\n" << unreadLines(test);
}

void printSummary(std::ostream& out, const RunCounts& counts)
{
    out << counts.passed << " passed, " << counts.failed << " failed";
    if (counts.skipped > 0)
        out << ", " << counts.skipped << " skipped";
    out << "\n";
}

void printInterrupted(std::ostream& out, int notRun)
{
    out << "interrupted: " << notRun << " scenarios not run\n";
}

std::string xmlSafe(const std::string& text, bool attribute)
{
    Poco::UTF8Encoding utf8;
    Poco::TextConverter repair(utf8, utf8, 0xFFFD);
    std::string repaired;
    repair.convert(text, repaired);
    std::string out;
    for (std::size_t i = 0; i < repaired.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(repaired[i]);
        switch (c) {
        case '&': out += "&amp;"; continue;
        case '<': out += "&lt;"; continue;
        case '>': out += "&gt;"; continue;
        case '"': out += "&quot;"; continue;
        case '\n': out += attribute ? "&#10;" : "\n"; continue;
        case '\r': out += attribute ? "&#13;" : "\r"; continue;
        case '\t': out += attribute ? "&#9;" : "\t"; continue;
        default: break;
        }
        char escape[8];
        if (c < 0x20) {
            std::snprintf(escape, sizeof(escape), "\\u%04X", c);
            out += escape;
        } else if (c == 0xEF && i + 2 < repaired.size() && static_cast<unsigned char>(repaired[i + 1]) == 0xBF &&
                   (static_cast<unsigned char>(repaired[i + 2]) == 0xBE ||
                    static_cast<unsigned char>(repaired[i + 2]) == 0xBF)) {
            // U+FFFE and U+FFFF, which XML 1.0 has no room for either.
            out += static_cast<unsigned char>(repaired[i + 2]) == 0xBE ? "\\uFFFE" : "\\uFFFF";
            i += 2;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

void writeJunit(const std::string& file, const std::vector<TestCase>& tests)
{
    std::map<std::string, std::vector<const TestCase*> > suites;
    std::vector<std::string> order;
    SuiteCounts total;
    for (const TestCase& test : tests) {
        if (suites.count(test.folder) == 0)
            order.push_back(test.folder);
        suites[test.folder].push_back(&test);
        total.add(test);
    }
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"actionhost test\"" << countAttributes(total, false)
        << ">\n";
    for (const std::string& folder : order) {
        SuiteCounts counts;
        for (const TestCase* test : suites[folder])
            counts.add(*test);
        xml << "  <testsuite name=\"" << xmlSafe(folder, true) << "\"" << countAttributes(counts, true) << ">\n";
        for (const TestCase* test : suites[folder])
            writeTestcase(xml, *test);
        xml << "  </testsuite>\n";
    }
    xml << "</testsuites>\n";
    writeResult(file, xml.str());
}

} // namespace actionhost
