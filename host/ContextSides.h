// For a class that serves both the action context and the setup-core
// library's product context: the two interfaces declare GetRootFeature with
// different results, so each is overridden in a side class of its own, which
// hands it on under a name of its own.
#pragma once

#include "host/ActionContext.h"

struct ActionContextSide : IActionContext {
    IFeature::Ptr GetRootFeature() override { return actionRootFeature(); }
    virtual IFeature::Ptr actionRootFeature() = 0;

protected:
    ~ActionContextSide() {}
};

struct ProductContextSide : setupcore::IProductContext {
    setupcore::IFeature::Ptr GetRootFeature() override { return productRootFeature(); }
    virtual setupcore::IFeature::Ptr productRootFeature() = 0;

protected:
    ~ProductContextSide() {}
};
