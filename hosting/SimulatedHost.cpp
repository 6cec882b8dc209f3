// The simulated host: its action context, feature tree and transcript of every call.
#include "hosting/SimulatedHost.h"

#include "host/ContextSides.h"

#include <Poco/UnicodeConverter.h>

#include <boost/make_shared.hpp>

#include <algorithm>
#include <stdexcept>

namespace hosting {

std::string narrow(const std::wstring& text)
{
    std::string out;
    Poco::UnicodeConverter::convert(text, out);
    return out;
}

std::wstring widen(const std::string& text)
{
    std::wstring out;
    Poco::UnicodeConverter::convert(text, out);
    return out;
}

namespace {

[[noreturn]] void unsupported(const char* operation)
{
    throw std::logic_error(std::string("the simulated host does not serve ") + operation);
}

} // namespace

class SimulatedHost::Impl final : public ActionContextSide, public ProductContextSide {
public:
    struct Node;

    // The two views of one node: the current feature layout and the earlier one.
    class CurrentFeature final : public IFeature {
    public:
        CurrentFeature(Impl& host, Node& node) : host_(host), node_(node) {}

        WideTextPtr GetId() override
        {
            host_.enter(node_, "GetId");
            return node_.id;
        }
        void ReservedFeature1() override { unsupported("IFeature slot 2"); }
        void ReservedFeature2() override { unsupported("IFeature slot 3"); }
        void ReservedFeature3() override { unsupported("IFeature slot 4"); }
        ListPtr GetChildren() override
        {
            host_.enter(node_, "GetChildren");
            return node_.children;
        }
        bool IsEnabled() override
        {
            host_.enter(node_, "IsEnabled");
            return node_.model->enabled;
        }
        void GetInstalledState(int& state) override
        {
            host_.enter(node_, "GetInstalledState");
            state = node_.model->installed;
        }
        void GetInstallingState(int flag, int& state) override
        {
            host_.enter(node_, "GetInstallingState", flag);
            state = node_.model->installing;
        }
        void SetRequestedState(const int& state) override { host_.setRequestedState(node_, state); }
        void GetMarkerState(int& state) override
        {
            host_.enter(node_, "GetMarkerState");
            state = node_.model->marker;
        }
        void GetDefaultState(int& state) override
        {
            host_.enter(node_, "GetDefaultState");
            state = node_.model->defaultState;
        }

    private:
        Impl& host_;
        Node& node_;
    };

    class CoreFeature final : public setupcore::IFeature {
    public:
        CoreFeature(Impl& host, Node& node) : host_(host), node_(node) {}

        WideTextPtr GetId() override
        {
            host_.enter(node_, "GetId");
            return node_.id;
        }
        void ReservedFeature1() override { unsupported("IFeature slot 2"); }
        void ReservedFeature2() override { unsupported("IFeature slot 3"); }
        ListPtr GetChildren() override
        {
            host_.enter(node_, "GetChildren");
            return node_.coreChildren;
        }
        void ReservedFeature4() override { unsupported("IFeature slot 5"); }
        void ReservedFeature5() override { unsupported("IFeature slot 6"); }
        void ReservedFeature6() override { unsupported("IFeature slot 7"); }
        void SetRequestedState(const int& state) override { host_.setRequestedState(node_, state); }

    private:
        Impl& host_;
        Node& node_;
    };

    struct Node {
        const FeatureModel* model = nullptr;
        std::string idUtf8;
        WideTextPtr id;
        IFeature::Ptr current;
        setupcore::IFeature::Ptr core;
        IFeature::ListPtr children;
        setupcore::IFeature::ListPtr coreChildren;
        std::vector<boost::shared_ptr<Node> > owned;
    };

    explicit Impl(const HostModel& model) : model_(model), properties_(model.properties)
    {
        root_ = build(model_.root);
        diskCosts_ = boost::make_shared<std::vector<DiskCostEntryPtr> >();
        diskCosts_->reserve(model_.diskCosts.size());
        for (const DiskCostModel& cost : model_.diskCosts) {
            DiskCostEntryPtr entry = boost::make_shared<DiskCostEntry>();
            entry->path = boost::make_shared<std::wstring>(cost.path);
            entry->cost = cost.cost;
            diskCosts_->push_back(entry);
        }
    }

    boost::shared_ptr<Node> build(const FeatureModel& model)
    {
        boost::shared_ptr<Node> node = boost::make_shared<Node>();
        node->model = &model;
        node->id = boost::make_shared<std::wstring>(model.id);
        node->current = boost::make_shared<CurrentFeature>(*this, *node);
        node->core = boost::make_shared<CoreFeature>(*this, *node);
        node->children = boost::make_shared<std::vector<IFeature::Ptr> >();
        node->coreChildren = boost::make_shared<std::vector<setupcore::IFeature::Ptr> >();
        node->children->reserve(model.children.size());
        node->coreChildren->reserve(model.children.size());
        for (const FeatureModel& child : model.children) {
            boost::shared_ptr<Node> built = build(child);
            node->children->push_back(built->current);
            node->coreChildren->push_back(built->core);
            node->owned.push_back(built);
        }
        return node;
    }

    // True, after counting the call, when no call needs a name: nothing is
    // recorded and no fault is armed (the cheap host of the benchmarks).
    bool untracked()
    {
        if (model_.recordTranscript || !faults_.empty() || model_.failAtCall >= 0)
            return false;
        ++callCount_;
        return true;
    }

    // Records one call and throws when a fault is due at it.
    void enter(const char* operation, const std::wstring* argument = nullptr)
    {
        if (untracked())
            return;
        std::string call(operation);
        if (argument != nullptr)
            call += ":" + narrow(*argument);
        admit(call);
    }

    void enterLevel(int level)
    {
        if (untracked())
            return;
        admit("Log:" + std::to_string(level));
    }

    void enter(Node& node, const char* operation, long argument = -1)
    {
        if (untracked())
            return;
        // The UTF-8 form of the identifier is made at the node's first named call.
        if (node.idUtf8.empty() && !node.id->empty())
            node.idUtf8 = narrow(*node.id);
        std::string call = node.idUtf8 + "." + operation;
        if (argument >= 0)
            call += ":" + std::to_string(argument);
        admit(call);
    }

    void admit(const std::string& call)
    {
        const std::size_t position = callCount_++;
        if (model_.recordTranscript)
            record_.calls.push_back(call);
        const bool atPosition = model_.failAtCall >= 0 && static_cast<std::size_t>(model_.failAtCall) == position;
        // The plan is asked at every call, so that an entry is consumed where
        // a replay of the transcript would consume it.
        const bool planned = !faults_.empty() && faults_.fire(call);
        if (atPosition || planned) {
            record_.faultPositions.push_back(position);
            throw std::runtime_error("simulated host fault at " + call);
        }
    }

    void setRequestedState(Node& node, int state)
    {
        enter(node, "SetRequestedState", state);
        record_.featureStates[*node.id] = state;
    }

    // IActionHost
    void Log(int level, const std::wstring& text) override
    {
        enterLevel(level);
        ++record_.logLines;
        if (model_.logSink)
            model_.logSink(level, text);
        else
            record_.log.push_back(LogLine{level, text});
    }
    WideTextPtr GetParameter(const std::wstring& name) override
    {
        enter("GetParameter", &name);
        if (model_.recordParametersAsked &&
            std::find(record_.parametersAsked.begin(), record_.parametersAsked.end(), name) ==
                record_.parametersAsked.end())
            record_.parametersAsked.push_back(name);
        auto parameter = model_.parameters.find(name);
        if (parameter != model_.parameters.end())
            return boost::make_shared<std::wstring>(parameter->second);
        auto property = properties_.find(name);
        if (property != properties_.end())
            return boost::make_shared<std::wstring>(property->second);
        return boost::make_shared<std::wstring>();
    }
    void SetProperty(const std::wstring& name, const std::wstring& value) override
    {
        enter("SetProperty", &name);
        record_.writes.emplace_back(name, value);
        properties_[name] = value;
    }
    void ReservedHost1() override { unsupported("IActionContext slot 4"); }
    void ReservedHost2() override { unsupported("IActionContext slot 5"); }
    void ReservedHost3() override { unsupported("IActionContext slot 6"); }
    IFeature::Ptr actionRootFeature() override
    {
        enter("GetRootFeature");
        return root_->current;
    }
    void ReservedHost4() override { unsupported("IActionContext slot 8"); }
    void ReservedHost5() override { unsupported("IActionContext slot 9"); }
    DiskCostListPtr GetDiskCostList() override
    {
        enter("GetDiskCostList");
        return diskCosts_;
    }
    std::wstring ResolveText(const std::wstring& text, const std::wstring&) override
    {
        enter("ResolveText");
        auto resolved = model_.resolve.find(text);
        return resolved != model_.resolve.end() ? resolved->second : text;
    }

    // IPropertyHost
    void ReservedProperty1() override { unsupported("property interface slot 1"); }
    void ReservedProperty2() override { unsupported("property interface slot 2"); }
    void ReservedProperty3() override { unsupported("property interface slot 3"); }
    std::wstring GetPropertyText(const std::wstring& name) override
    {
        enter("GetPropertyText", &name);
        auto property = properties_.find(name);
        return property != properties_.end() ? property->second : std::wstring();
    }

    // setupcore::IProductContext
    void ReservedProduct1() override { unsupported("product context slot 1"); }
    void ReservedProduct2() override { unsupported("product context slot 2"); }
    void ReservedProduct3() override { unsupported("product context slot 3"); }
    void ReservedProduct4() override { unsupported("product context slot 4"); }
    void ReservedProduct5() override { unsupported("product context slot 5"); }
    void ReservedProduct6() override { unsupported("product context slot 6"); }
    void ReservedProduct7() override { unsupported("product context slot 7"); }
    void ReservedProduct8() override { unsupported("product context slot 8"); }
    setupcore::IFeature::Ptr productRootFeature() override
    {
        enter("GetRootFeature");
        return root_->core;
    }

    HostModel model_;
    std::map<std::wstring, std::wstring> properties_;
    boost::shared_ptr<Node> root_;
    DiskCostListPtr diskCosts_;
    FaultPlan faults_{model_.faults};
    std::size_t callCount_ = 0;
    RunRecord record_;
};

bool FaultEntry::matches(const std::string& transcriptEntry) const
{
    return call == transcriptEntry ||
           (call.find(':') == std::string::npos && transcriptEntry.size() > call.size() &&
            transcriptEntry.compare(0, call.size(), call) == 0 && transcriptEntry[call.size()] == ':');
}

std::string FaultEntry::shown() const
{
    return "\"" + call + "\"" + (occurrence == 0 ? "" : " (occurrence " + std::to_string(occurrence) + ")");
}

FaultPlan::FaultPlan(std::vector<FaultEntry> faults)
    : faults_(std::move(faults)), fired_(faults_.size(), false), matched_(faults_.size(), 0)
{
}

bool FaultPlan::fire(const std::string& call)
{
    bool taken = false;
    for (std::size_t i = 0; i < faults_.size(); ++i) {
        if (fired_[i] || !faults_[i].matches(call))
            continue;
        // Every entry counts the calls that match it, taken or not.
        const std::size_t seen = ++matched_[i];
        const bool due = faults_[i].occurrence == 0 || faults_[i].occurrence == seen;
        // Taken by an earlier entry, a plain one waits for the next match.
        if (due && !taken) {
            fired_[i] = true;
            taken = true;
        }
    }
    return taken;
}

std::vector<std::pair<FaultEntry, std::size_t> > FaultPlan::unfired() const
{
    std::vector<std::pair<FaultEntry, std::size_t> > out;
    for (std::size_t i = 0; i < faults_.size(); ++i) {
        if (!fired_[i])
            out.emplace_back(faults_[i], matched_[i]);
    }
    return out;
}

std::vector<std::pair<FaultEntry, std::size_t> > unfiredFaults(const std::vector<FaultEntry>& faults,
                                                               const std::vector<std::string>& calls)
{
    FaultPlan plan(faults);
    for (const std::string& call : calls)
        plan.fire(call);
    return plan.unfired();
}

SimulatedHost::SimulatedHost(const HostModel& model) : impl_(boost::make_shared<Impl>(model)) {}

SimulatedHost::~SimulatedHost() {}

ActionContextPtr SimulatedHost::context()
{
    // The context shares ownership of the host's state without owning the
    // SimulatedHost object itself.
    return ActionContextPtr(impl_, static_cast<IActionContext*>(impl_.get()));
}

void SimulatedHost::run(const HostedAction& action)
{
    RunRecord& record = impl_->record_;
    try {
        record.result = action(context());
    } catch (const std::exception& error) {
        record.exception = true;
        record.exceptionText = error.what();
    } catch (...) {
        record.exception = true;
        record.exceptionText = "exception of unknown type";
    }
}

const RunRecord& SimulatedHost::record() const
{
    return impl_->record_;
}

const std::map<std::wstring, std::wstring>& SimulatedHost::properties() const
{
    return impl_->properties_;
}

} // namespace hosting
