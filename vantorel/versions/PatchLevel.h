// What the four patch-level actions share: the positions of a revision's
// components, and the first steps of each, which read the parameters and
// choose the installed revision from the product DU and the product-family
// DU. A component that must be a number and is not raises POCO's syntax
// exception out of the action, before any property is written.
#pragma once

#include "host/ActionContext.h"

#include <cstddef>
#include <string>

namespace patchlevel {

const std::size_t kMajor = 0;
const std::size_t kMinor = 1;
const std::size_t kSp = 2;
const std::size_t kPatch = 3;

// The component at position of revision, as a number.
int component(const std::wstring& revision, std::size_t position);

struct Inputs {
    std::wstring installingRevision;
    std::wstring propertyName;
    std::wstring installed;
};

// The parameters in order ("ProductDUID", "ProductFamilyDUID", with
// withInstallingRevision "InstallingRevision", "PropertyName"), then the two
// installed revisions, and the one chosen of them.
Inputs readInputs(IActionContext& host, bool withInstallingRevision);

} // namespace patchlevel
