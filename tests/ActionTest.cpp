#include "ActionTest.h"

#include "catalogue/Catalogue.h"

#include <Poco/File.h>
#include <Poco/Path.h>
#include <Poco/TemporaryFile.h>

#include "platform/Platform.h"

#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>

namespace testing_support {

Log Outcome::log() const
{
    Log lines;
    for (const hosting::LogLine& line : record.log)
        lines.emplace_back(line.level, line.text);
    return lines;
}

std::vector<std::wstring> Outcome::logTexts() const
{
    std::vector<std::wstring> texts;
    for (const hosting::LogLine& line : record.log)
        texts.push_back(line.text);
    return texts;
}

std::wstring Outcome::property(const std::wstring& name) const
{
    auto found = properties.find(name);
    return found == properties.end() ? L"<unset>" : found->second;
}

hosting::ActionLibrary& loadedLibrary(const char* path)
{
    static std::mutex guard;
    static std::map<std::string, std::unique_ptr<hosting::ActionLibrary> > loaded;
    std::lock_guard<std::mutex> lock(guard);
    std::unique_ptr<hosting::ActionLibrary>& slot = loaded[path];
    if (!slot)
        slot.reset(new hosting::ActionLibrary(path));
    return *slot;
}

Outcome runAction(const char* library, const std::string& action, const hosting::HostModel& model,
                  const hosting::WorldModel& world)
{
    hosting::ActionLibrary* libraryHandle = &loadedLibrary(library);
    hosting::HostedAction entry = libraryHandle->find(action);
    if (entry == nullptr)
        throw std::runtime_error(std::string(library) + " does not export " + action);
    std::unique_ptr<hosting::SimulatedWorld> simulated;
    if (world.hasDrives || world.hasRegistry)
        simulated.reset(new hosting::SimulatedWorld(libraryHandle, world));
    hosting::SimulatedHost host(model);
    host.run(entry);
    expectParametersInCatalogue(library, action, host.record().calls);
    return Outcome{host.record(), host.properties()};
}

void expectParametersInCatalogue(const char* library, const std::string& action, const std::vector<std::string>& calls)
{
    // test --strict fails a scenario for a parameter its action's entry
    // lacks, so every parameter any test sees an action ask for must be there.
    const std::string name = std::string(library) == VANTOREL_LIBRARY   ? "vantorel"
                             : std::string(library) == COBRINTH_LIBRARY ? "cobrinth"
                                                                        : "";
    if (name.empty())
        return;
    const actionhost::KnownAction* known = actionhost::findKnownAction(name, action);
    ASSERT_NE(nullptr, known) << name << " " << action << " has no catalogue entry";
    static const std::string kAsk = "GetParameter:";
    for (const std::string& call : calls) {
        if (call.compare(0, kAsk.size(), kAsk) == 0) {
            EXPECT_TRUE(known->readsParameter(hosting::widen(call.substr(kAsk.size()))))
                << action << " asked for the parameter " << call.substr(kAsk.size())
                << ", which its catalogue entry lacks";
        }
    }
}

hosting::FeatureModel feature(const std::wstring& id, std::vector<hosting::FeatureModel> children)
{
    hosting::FeatureModel node;
    node.id = id;
    node.children = std::move(children);
    return node;
}

void setEnvironment(const std::string& name, const std::string& value)
{
#if defined(_WIN32)
    _putenv_s(name.c_str(), value.c_str());
#else
    setenv(name.c_str(), value.c_str(), 1);
#endif
}

void unsetEnvironment(const std::string& name)
{
#if defined(_WIN32)
    _putenv_s(name.c_str(), "");
#else
    unsetenv(name.c_str());
#endif
}

bool usesStandIns()
{
    return !platform::usesExtendedLengthPaths();
}

ScratchDirectory::ScratchDirectory() : path_(Poco::TemporaryFile::tempName())
{
    Poco::File(path_).createDirectories();
}

ScratchDirectory::~ScratchDirectory()
{
    try {
        Poco::File(path_).remove(true);
    } catch (...) {
    }
}

std::string ScratchDirectory::write(const std::string& name, const std::string& content) const
{
    const std::string file = Poco::Path(path_).append(name).toString();
    std::ofstream out(std::filesystem::u8path(file), std::ios::binary);
    out << content;
    return file;
}

} // namespace testing_support
