// A patch-level action run with the product DU's and the family DU's
// installed revisions and the installing revision, writing into "R".
#pragma once

#include "ActionTest.h"

namespace testing_support {

inline Outcome patchAction(const std::string& action, const std::wstring& product, const std::wstring& family,
                           const std::wstring& installing = L"")
{
    hosting::HostModel model;
    model.parameters[L"ProductDUID"] = L"prod";
    model.parameters[L"ProductFamilyDUID"] = L"fam";
    model.parameters[L"InstallingRevision"] = installing;
    model.parameters[L"PropertyName"] = L"R";
    if (!product.empty())
        model.properties[L"$du$prod$installedrevision"] = product;
    if (!family.empty())
        model.properties[L"$du$fam$installedrevision"] = family;
    model.properties[L"R"] = L"old";
    return runVantorel(action, model);
}

} // namespace testing_support
