// The catalogue of the actions against what the actions do, the action
// reference and the examples.
#include "ActionTest.h"

#include "catalogue/Catalogue.h"
#include "scenario/NewScenario.h"
#include "run/Runner.h"
#include "scenario/Scenario.h"
#include "run/Unread.h"

#include <Poco/DirectoryIterator.h>
#include <Poco/FileStream.h>
#include <Poco/Path.h>
#include <Poco/StreamCopier.h>

#include <filesystem>
#include <regex>
#include <set>

namespace {

std::vector<actionhost::Scenario> examples()
{
    std::vector<actionhost::Scenario> found;
    for (Poco::DirectoryIterator it(std::string(SOURCE_DIR) + "/examples"), end; it != end; ++it) {
        if (it->isFile() && Poco::Path(it->path()).getExtension() == "json")
            found.push_back(actionhost::loadScenario(it->path()));
    }
    return found;
}

std::string referenceText()
{
    std::string reference;
    Poco::FileInputStream in(std::string(SOURCE_DIR) + "/docs/actions.md");
    Poco::StreamCopier::copyToString(in, reference);
    return reference;
}

// An action's section of the action reference, from its heading to the next.
std::string sectionOf(const std::string& reference, const actionhost::KnownAction& action)
{
    const bool core = action.library == "cobrinth" && action.name != "SetPathRelatedProperties";
    const std::string heading = "## " + action.name + (core ? " (setup core)" : "") + "\n";
    const std::size_t start = reference.find(heading);
    if (start == std::string::npos)
        return std::string();
    return reference.substr(start, reference.find("\n#", start + heading.size()) - start);
}

// Every shipped action has its entry in the action reference, which names
// every parameter and property the catalogue lists, and an example scenario
// with expectations.
TEST(ActionReference, EveryActionHasAnEntryNamingItsParametersAndACheckedExample)
{
    const std::string reference = referenceText();
    std::set<std::pair<std::string, std::string> > checked;
    for (const actionhost::Scenario& scenario : examples()) {
        if (!scenario.expect.is_null())
            checked.insert({scenario.library, scenario.action});
    }
    for (const actionhost::KnownAction& action : actionhost::knownActions()) {
        const std::string section = sectionOf(reference, action);
        ASSERT_FALSE(section.empty()) << action.library << " " << action.name;
        std::vector<std::wstring> named = action.writes;
        for (const actionhost::KnownParameter& parameter : action.parameters) {
            if (!parameter.isFamily())
                named.push_back(parameter.name);
        }
        for (const std::wstring& read : action.reads) {
            if (read.find(L'<') == std::wstring::npos)
                named.push_back(read);
        }
        for (const std::wstring& name : named)
            EXPECT_NE(std::string::npos, section.find("`" + hosting::narrow(name) + "`"))
                << action.name << " does not name " << hosting::narrow(name);
        if (action.parameters.empty()) {
            EXPECT_NE(std::string::npos, section.find("- Parameters: none.")) << action.name;
        }
        EXPECT_EQ(1u, checked.count({action.library, action.name})) << action.library << " " << action.name;
    }
}

// Every parameter an example's action asks for is one the catalogue lists
// for that action, and every example's action is in the catalogue.
TEST(Catalogue, EveryParameterTheExamplesAskForIsListed)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::set<std::string> seen;
    for (const actionhost::Scenario& scenario : examples()) {
        const actionhost::KnownAction* action = actionhost::findKnownAction(scenario.library, scenario.action);
        ASSERT_NE(nullptr, action) << scenario.name;
        std::filesystem::current_path(std::filesystem::u8path(scenario.directory));
        const actionhost::RunOutput run = actionhost::runScenario(
            scenario, scenario.library == "cobrinth" ? COBRINTH_LIBRARY : VANTOREL_LIBRARY);
        for (const std::string& call : run.record.calls) {
            if (call.compare(0, 13, "GetParameter:") != 0)
                continue;
            const std::string name = call.substr(13);
            EXPECT_TRUE(action->readsParameter(hosting::widen(name))) << scenario.name << " asked for " << name;
            seen.insert(scenario.library + "." + scenario.action + "." + name);
        }
    }
    std::filesystem::current_path(previous);
    // The families are matched too: the patch-level examples read installed revisions.
    EXPECT_EQ(1u, seen.count("vantorel.GetProductPatchLevel.$du$suite$installedrevision"))
        << "the patch-level example no longer reads the DU it names";
}

TEST(Catalogue, FamiliesMatchOnlyTheirOwnShape)
{
    const actionhost::KnownAction* action = actionhost::findKnownAction("vantorel", "CheckValidMinorRelease");
    ASSERT_NE(nullptr, action);
    EXPECT_TRUE(action->readsParameter(L"$du$X$installedrevision"));
    EXPECT_TRUE(action->readsParameter(L"$du$$installedrevision"));
    EXPECT_TRUE(action->readsParameter(L"InstallingRevision"));
    EXPECT_FALSE(action->readsParameter(L"$du$installedrevision"));
    EXPECT_FALSE(action->readsParameter(L"$du$X$installedrevisions"));
    EXPECT_FALSE(action->readsParameter(L"installingrevision"));
    EXPECT_EQ("$du$<DU id>$installedrevision", action->parameters.back().shown());
    EXPECT_EQ(nullptr, actionhost::findKnownAction("cobrinth", "CompareVersion"));
    EXPECT_EQ(22u, actionhost::knownActions().size());
}

// The source file of an action: ACTION.cpp under its library's folder.
std::string actionSource(const actionhost::KnownAction& action)
{
    namespace fs = std::filesystem;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(SOURCE_DIR) / action.library)) {
        if (entry.path().filename() == action.name + ".cpp") {
            std::string text;
            Poco::FileInputStream in(entry.path().string());
            Poco::StreamCopier::copyToString(in, text);
            return text;
        }
    }
    return std::string();
}

// The fault sweep judges an action by the handling its catalogue entry
// gives; that must be the handler the action's source has, with its texts.
TEST(Catalogue, FaultHandlingIsTheHandlerInTheActionsSource)
{
    const std::regex catchAll("runWithCatchAll\\([^,]+,\\s*([0-9]+),\\s*L\"([^\"]*)\"");
    for (const actionhost::KnownAction& action : actionhost::knownActions()) {
        SCOPED_TRACE(action.library + " " + action.name);
        const std::string source = actionSource(action);
        ASSERT_FALSE(source.empty());
        const actionhost::FaultHandling& handling = action.handling;
        std::smatch handler;
        const bool hasCatchAll = std::regex_search(source, handler, catchAll);
        EXPECT_EQ(hasCatchAll, handling.kind == actionhost::FaultHandling::CatchAll);
        if (hasCatchAll) {
            EXPECT_EQ(std::to_string(handling.crashLevel), handler[1].str());
            EXPECT_EQ(hosting::narrow(handling.crashLine), handler[2].str());
        }
        const bool readsInHandler = source.find("catch (const std::exception&") != std::string::npos;
        EXPECT_EQ(readsInHandler, handling.kind == actionhost::FaultHandling::ReadingHandler);
        if (handling.kind == actionhost::FaultHandling::ReadingHandler) {
            for (const std::wstring& text : {handling.errorPrefix, handling.readingAfter, handling.readingSkipped})
                EXPECT_NE(source.find("L\"" + hosting::narrow(text)), std::string::npos) << hosting::narrow(text);
        }
    }
}

} // namespace

// A scenario new makes runs its action's ordinary success path as it is:
// result 0, no error line, every property the action writes under a fixed
// name written, none without a name, and nothing given that the run did
// not read.
TEST(NewScenario, EveryStarterRunsItsActionsSuccessPath)
{
    testing_support::ScratchDirectory directory;
    for (const actionhost::KnownAction& action : actionhost::knownActions()) {
        const std::string what = action.library + " " + action.name;
        const actionhost::Scenario scenario = actionhost::loadScenario(
            directory.write(action.name + ".json", actionhost::newScenario(action, "scenario.schema.json")));
        const actionhost::RunOutput run = actionhost::runScenario(
            scenario, action.library == "cobrinth" ? COBRINTH_LIBRARY : VANTOREL_LIBRARY);
        EXPECT_FALSE(run.record.exception) << what << ": " << run.record.exceptionText;
        EXPECT_EQ(0, run.record.result) << what;
        for (const hosting::LogLine& line : run.record.log)
            EXPECT_NE(4, line.level) << what << ": " << hosting::narrow(line.text);
        std::set<std::wstring> written;
        for (const auto& write : run.record.writes) {
            EXPECT_FALSE(write.first.empty()) << what << " wrote a property without a name";
            written.insert(write.first);
        }
        for (const std::wstring& name : action.writes)
            EXPECT_EQ(1u, written.count(name)) << what << " did not write " << hosting::narrow(name);
        EXPECT_TRUE(actionhost::unreadParameters(scenario, run.record.calls).empty()) << what;
        EXPECT_TRUE(actionhost::unfiredFaultLines(scenario, run.record.calls).empty()) << what;
    }
}
