// actionhost test --update on authors' files: each case of the update folder
// is run, its expect block rewritten, and the text compared byte for byte
// with the case's .updated file; outside the block nothing may differ, and a
// block keeps the keys its author chose.
#include "ActionTest.h"
#include "os/Files.h"
#include "run/Runner.h"
#include "scenario/Json.h"
#include "scenario/Scenario.h"
#include "scenario/StrictJson.h"
#include "test/Update.h"

#include <Poco/DirectoryIterator.h>
#include <Poco/File.h>
#include <Poco/Path.h>

#include <nlohmann/json.hpp>

#include <set>
#include <stdexcept>

namespace {

const std::string kCases = std::string(SOURCE_DIR) + "/tests/scenarios/update";

// The names a block's objects list, and its keys: what an update keeps.
std::set<std::string> shapeOf(const std::string& text)
{
    std::set<std::string> shape;
    const nlohmann::ordered_json scenario = nlohmann::ordered_json::parse(text);
    if (!scenario.contains("expect"))
        return shape;
    for (const auto& member : scenario["expect"].items()) {
        shape.insert(member.key());
        if (member.value().is_object())
            for (const auto& name : member.value().items())
                shape.insert(member.key() + "." + name.key());
    }
    return shape;
}

TEST(Update, ChangesOnlyTheExpectBlockAndKeepsItsKeys)
{
    std::size_t cases = 0;
    for (Poco::DirectoryIterator it(kCases), end; it != end; ++it) {
        if (Poco::Path(it->path()).getExtension() != "json")
            continue;
        ++cases;
        SCOPED_TRACE(it->path());
        const std::string original = actionhost::readFile(it->path());
        const actionhost::Scenario scenario = actionhost::loadScenario(it->path());
        const std::string run = actionhost::jsonText(actionhost::toJson(actionhost::runScenario(scenario, ""), false));
        const std::string updated = actionhost::updatedScenarioText(original, run);

        Poco::Path expectedPath(it->path());
        expectedPath.setExtension("updated");
        EXPECT_EQ(actionhost::readFile(expectedPath.toString()), updated);

        // Outside the block, byte for byte the author's; inside, the keys
        // and names the author listed (and "result").
        const actionhost::StrictDocument before = actionhost::readStrictJson(original);
        const actionhost::StrictDocument after = actionhost::readStrictJson(updated);
        ASSERT_FALSE(before.error || after.error);
        ASSERT_EQ(1u, after.spans.count("$.expect"));
        if (before.spans.count("$.expect") != 0) {
            const actionhost::DocumentSpan& was = before.spans.at("$.expect");
            const actionhost::DocumentSpan& is = after.spans.at("$.expect");
            EXPECT_EQ(original.substr(0, was.begin), updated.substr(0, is.begin));
            EXPECT_EQ(original.substr(was.end), updated.substr(is.end));
            std::set<std::string> shape = shapeOf(original);
            shape.insert("result");
            EXPECT_EQ(shape, shapeOf(updated));
        } else {
            // Added after the last member: what stood before and after stays.
            const std::size_t at = original.find_last_not_of(" \t\r\n", before.spans.at("$").end - 2) + 1;
            EXPECT_EQ(original.substr(0, at), updated.substr(0, at));
            const std::string tail = original.substr(at);
            EXPECT_EQ(tail, updated.substr(updated.size() - tail.size()));
        }
        // Updated again from the same run, the text stays.
        EXPECT_EQ(updated, actionhost::updatedScenarioText(updated, run));
    }
    EXPECT_EQ(4u, cases);
}

// A write that ends between the temporary file and its rename leaves the
// scenario as it was, and no temporary file beside it.
TEST(Update, AnUpdateEndedBeforeTheRenameLeavesTheFileWhole)
{
    testing_support::ScratchDirectory directory;
    const std::string original = "{\r\n\t\"action\": \"SetVexaName\"\r\n}\r\n";
    const std::string file = directory.write("s.json", original);
    EXPECT_THROW(actionhost::replaceFile(file, "{}", [] { throw std::runtime_error("ended"); }), std::runtime_error);
    EXPECT_EQ(original, actionhost::readFile(file));
    std::size_t files = 0;
    for (Poco::DirectoryIterator it(directory.path()), end; it != end; ++it)
        ++files;
    EXPECT_EQ(1u, files);
    actionhost::replaceFile(file, "{}");
    EXPECT_EQ("{}", actionhost::readFile(file));
}

} // namespace
