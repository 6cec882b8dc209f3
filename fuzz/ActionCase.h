// A host and an action call built from bytes, for the structure-aware
// action fuzzer, and the same bytes written from a scenario (its seeds).
//
// Layout: action (1 byte, an index into kActions), fault position (2 bytes;
// 0xFFFF: none), parameters, properties and ResolveText answers (a count
// byte, then name and value texts), the feature tree (depth and fan-out
// bounded), disk costs (a count byte, then path text and 8-byte cost). A
// text is a 2-byte length and that many UTF-8 bytes. Missing bytes read as
// zeros, so every input is a case.
#pragma once

#include "hosting/SimulatedHost.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzing {

struct ActionName {
    const char* library;
    const char* action;
};

// Every action but vantorel's SleepCommand, which always waits a second or more.
const ActionName kActions[] = {
    {"vantorel", "ChangeFeatureState"},       {"vantorel", "SetFeatureStateToDefault"},
    {"vantorel", "DisplayFeatureInstallingState"}, {"vantorel", "CheckDiskCost"},
    {"vantorel", "CompareVersion"},           {"vantorel", "DetectOverhangingPatch"},
    {"vantorel", "GetProductPatchLevel"},     {"vantorel", "CheckValidMinorRelease"},
    {"vantorel", "DetectPatchOnLowerSP"},     {"vantorel", "DetectPatchOrSPOnHigherRevision"},
    {"vantorel", "CheckForBlockingProductPreReqs"}, {"vantorel", "EvaluateFeaturePreReqs"},
    {"vantorel", "EvaluateTargetFeaturePreReqs"}, {"vantorel", "SortAvailableSetupLanguages"},
    {"vantorel", "CheckIfContainSubstring"},  {"vantorel", "SetVexaName"},
    {"vantorel", "RunCommandAndSetReturnCode"}, {"vantorel", "RunCommandAndSetProperty"},
    {"cobrinth", "SetPathRelatedProperties"}, {"cobrinth", "ChangeFeatureState"},
    {"cobrinth", "SleepCommand"},
};
const std::size_t kActionCount = sizeof(kActions) / sizeof(kActions[0]);

const std::size_t kMaxDepth = 6;
const std::size_t kMaxFanOut = 5;
const std::size_t kMaxNodes = 128;

struct ActionCase {
    std::size_t action = 0;
    long failAt = -1;  // a position in the run's transcript, taken modulo its length
    hosting::HostModel model;
};

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint64_t number(std::size_t bytes)
    {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            value |= static_cast<std::uint64_t>(pos_ < size_ ? data_[pos_++] : 0) << (8 * i);
        return value;
    }
    std::wstring text()
    {
        const std::size_t length = static_cast<std::size_t>(number(2));
        const std::size_t taken = length < size_ - pos_ ? length : size_ - pos_;
        const std::string bytes(reinterpret_cast<const char*>(data_ + pos_), taken);
        pos_ += taken;
        return hosting::widen(bytes);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class Writer {
public:
    void number(std::uint64_t value, std::size_t bytes)
    {
        for (std::size_t i = 0; i < bytes; ++i)
            bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    void text(const std::wstring& wide)
    {
        const std::string utf8 = hosting::narrow(wide).substr(0, 0xFFFF);
        number(utf8.size(), 2);
        bytes_ += utf8;
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

inline void readTable(Reader& in, std::map<std::wstring, std::wstring>& table)
{
    const std::size_t count = static_cast<std::size_t>(in.number(1));
    for (std::size_t i = 0; i < count; ++i) {
        const std::wstring name = in.text();
        table[name] = in.text();
    }
}

inline void writeTable(Writer& out, const std::map<std::wstring, std::wstring>& table)
{
    const std::size_t count = table.size() < 255 ? table.size() : 255;
    out.number(count, 1);
    std::size_t written = 0;
    for (auto it = table.begin(); written < count; ++it, ++written) {
        out.text(it->first);
        out.text(it->second);
    }
}

inline void readFeature(Reader& in, hosting::FeatureModel& node, std::size_t depth, std::size_t& nodes)
{
    ++nodes;
    node.id = in.text();
    node.enabled = (in.number(1) & 1) != 0;
    node.defaultState = static_cast<int>(static_cast<std::int32_t>(in.number(4)));
    node.installed = static_cast<int>(static_cast<std::int32_t>(in.number(4)));
    node.installing = static_cast<int>(static_cast<std::int32_t>(in.number(4)));
    node.marker = static_cast<int>(static_cast<std::int32_t>(in.number(4)));
    std::size_t children = static_cast<std::size_t>(in.number(1)) % (kMaxFanOut + 1);
    if (depth >= kMaxDepth)
        children = 0;
    for (std::size_t i = 0; i < children && nodes < kMaxNodes; ++i) {
        node.children.emplace_back();
        readFeature(in, node.children.back(), depth + 1, nodes);
    }
}

inline void writeFeature(Writer& out, const hosting::FeatureModel& node, std::size_t depth)
{
    out.text(node.id);
    out.number(node.enabled ? 1 : 0, 1);
    for (int state : {node.defaultState, node.installed, node.installing, node.marker})
        out.number(static_cast<std::uint32_t>(state), 4);
    const std::size_t children =
        depth >= kMaxDepth ? 0 : (node.children.size() < kMaxFanOut ? node.children.size() : kMaxFanOut);
    out.number(children, 1);
    for (std::size_t i = 0; i < children; ++i)
        writeFeature(out, node.children[i], depth + 1);
}

inline ActionCase readCase(const std::uint8_t* data, std::size_t size)
{
    Reader in(data, size);
    ActionCase one;
    one.action = static_cast<std::size_t>(in.number(1)) % kActionCount;
    const std::uint64_t fault = in.number(2);
    one.failAt = fault == 0xFFFF ? -1 : static_cast<long>(fault);
    readTable(in, one.model.parameters);
    readTable(in, one.model.properties);
    readTable(in, one.model.resolve);
    std::size_t nodes = 0;
    readFeature(in, one.model.root, 0, nodes);
    const std::size_t costs = static_cast<std::size_t>(in.number(1)) % 65;
    for (std::size_t i = 0; i < costs; ++i) {
        hosting::DiskCostModel cost;
        cost.path = in.text();
        cost.cost = static_cast<std::int64_t>(in.number(8));
        one.model.diskCosts.push_back(cost);
    }
    return one;
}

inline std::string writeCase(const ActionCase& one)
{
    Writer out;
    out.number(one.action, 1);
    out.number(one.failAt < 0 ? 0xFFFF : static_cast<std::uint64_t>(one.failAt), 2);
    writeTable(out, one.model.parameters);
    writeTable(out, one.model.properties);
    writeTable(out, one.model.resolve);
    writeFeature(out, one.model.root, 0);
    const std::size_t costs = one.model.diskCosts.size() < 64 ? one.model.diskCosts.size() : 64;
    out.number(costs, 1);
    for (std::size_t i = 0; i < costs; ++i) {
        out.text(one.model.diskCosts[i].path);
        out.number(static_cast<std::uint64_t>(one.model.diskCosts[i].cost), 8);
    }
    return out.bytes();
}

} // namespace fuzzing
