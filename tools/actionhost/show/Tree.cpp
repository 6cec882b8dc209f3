// Drawing the feature tree, with what the action requested and the nodes it never reached.
#include "show/Tree.h"

#include "show/RunDisplay.h"
#include "catalogue/States.h"
#include "os/Terminal.h"

#include <set>
#include <string>

namespace actionhost {

namespace {

// 1 is on by default; anything else is off.
std::string defaultWord(int code)
{
    if (code == 1)
        return "on";
    return code == 0 ? "off" : "off (" + std::to_string(code) + ")";
}

// The identifiers the transcript names: "ID.Operation" for a known ID (an
// identifier may hold dots itself).
std::set<std::string> reachedNodes(const hosting::FeatureModel& root, const hosting::RunRecord& record)
{
    std::set<std::string> ids;
    std::vector<const hosting::FeatureModel*> pending{&root};
    while (!pending.empty()) {
        const hosting::FeatureModel* node = pending.back();
        pending.pop_back();
        ids.insert(hosting::narrow(node->id));
        for (const hosting::FeatureModel& child : node->children)
            pending.push_back(&child);
    }
    std::set<std::string> reached;
    for (const std::string& call : record.calls) {
        for (std::size_t dot = call.find('.'); dot != std::string::npos; dot = call.find('.', dot + 1)) {
            if (ids.count(call.substr(0, dot)) != 0) {
                reached.insert(call.substr(0, dot));
                break;
            }
        }
    }
    return reached;
}

const Colour kLevelColours[] = {Colour::Cyan, Colour::Blue, Colour::Magenta, Colour::Yellow};

void printNode(std::ostream& out, const hosting::FeatureModel& node, const hosting::RunRecord& record,
               const std::set<std::string>& reached, bool colour, const std::string& lead, const std::string& branch,
               std::size_t depth)
{
    const std::string id = hosting::narrow(node.id);
    const bool wasReached = reached.count(id) != 0;
    std::string line = lead + branch + coloured(colour, kLevelColours[depth % 4], oneLine(id));
    std::string facts = std::string(node.enabled ? "enabled" : "disabled") +
                        ", installed: " + stateWord(installedStates(), node.installed) +
                        ", installing: " + stateWord(installingStates(), node.installing) +
                        ", default: " + defaultWord(node.defaultState);
    if (node.marker != 0)
        facts += ", marker: " + std::to_string(node.marker);
    line += "  " + (wasReached ? facts : coloured(colour, Colour::Dim, facts));
    const auto state = record.featureStates.find(node.id);
    if (state != record.featureStates.end())
        line += "  " + coloured(colour, Colour::Green, "=> requested: " + requestedStateWord(state->second) + " (" +
                                                           std::to_string(state->second) + ")");
    if (!wasReached)
        line += "  " + coloured(colour, Colour::Dim, "(not reached)");
    out << line << "\n";
    const std::string childLead = lead + (branch.empty() ? "" : (branch == "`-- " ? "    " : "|   "));
    for (std::size_t i = 0; i < node.children.size(); ++i)
        printNode(out, node.children[i], record, reached, colour, childLead,
                  i + 1 == node.children.size() ? "`-- " : "|-- ", depth + 1);
}

} // namespace

void printTree(std::ostream& out, const hosting::FeatureModel& root, const hosting::RunRecord& record, bool colour)
{
    out << "feature tree (as before the call; what the action requested, and the nodes it never reached):\n";
    printNode(out, root, record, reachedNodes(root, record), colour, "  ", "", 0);
}

} // namespace actionhost
