#include "ActionTest.h"

#include <Poco/File.h>
#include <Poco/Path.h>
#include <Poco/TemporaryFile.h>

#include <fstream>
#include <map>
#include <memory>

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

Outcome runAction(const char* library, const std::string& action, const hosting::HostModel& model)
{
    static std::map<std::string, std::unique_ptr<hosting::ActionLibrary> > loaded;
    std::unique_ptr<hosting::ActionLibrary>& slot = loaded[library];
    if (!slot)
        slot.reset(new hosting::ActionLibrary(library));
    ActionEntry entry = slot->find(action);
    if (entry == nullptr)
        throw std::runtime_error(std::string(library) + " does not export " + action);
    hosting::SimulatedHost host(model);
    host.run(entry);
    return Outcome{host.record(), host.properties()};
}

hosting::FeatureModel feature(const std::wstring& id, std::vector<hosting::FeatureModel> children)
{
    hosting::FeatureModel node;
    node.id = id;
    node.children = std::move(children);
    return node;
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
    std::ofstream out(file, std::ios::binary);
    out << content;
    return file;
}

} // namespace testing_support
