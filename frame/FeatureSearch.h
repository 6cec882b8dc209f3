// The depth-first feature search of ChangeFeatureState, shared by both
// libraries over their two feature layouts.
#pragma once

#include "host/ActionContext.h"

#include <string>

// A name the "State" parameter may take, the requested-state code it stands
// for and the level-0 line that reports it.
struct StateName {
    const wchar_t* name;
    int code;
    const wchar_t* line;
};

// Searches node's subtree in pre-order for the first feature whose
// identifier equals featureId exactly and sets its requested state to code.
// Returns true when it did. Every step is logged at level 0; per visited node
// the host sees GetId (for the log), GetId (for the comparison), then
// SetRequestedState on a match, else GetChildren once (no children) or twice.
template <typename Feature>
bool ChangeFeatureStateHelper(boost::shared_ptr<Feature> node, std::wstring featureId, int code,
                              IActionContext& context)
{
    context.Log(0, L"start of changefeaturestatehelper: " + *node->GetId());
    if (*node->GetId() == featureId) {
        node->SetRequestedState(code);
        context.Log(0, L"changed state of " + featureId);
        return true;
    }
    {
        typename Feature::ListPtr children = node->GetChildren();
        if (!children || children->empty())
            return false;
    }
    typename Feature::ListPtr children = node->GetChildren();
    for (const boost::shared_ptr<Feature>& child : *children) {
        context.Log(0, L"current feature is " + *child->GetId());
        if (ChangeFeatureStateHelper(child, featureId, code, context)) {
            context.Log(0, L"changed state of" + featureId);
            return true;
        }
    }
    return false;
}
