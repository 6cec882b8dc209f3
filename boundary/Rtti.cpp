#include "boundary/Rtti.h"

#include "boundary/Layout.h"

#include <cstring>

namespace boundary {

namespace {

char* subobject(char* complete, const MemberDisplacement& where)
{
    std::int32_t offset = where.mdisp;
    if (where.pdisp >= 0) {
        // A virtual base: its offset lies in the vbtable.
        const char* vbtable = *reinterpret_cast<char* const*>(complete + where.pdisp);
        offset += where.pdisp + *reinterpret_cast<const std::int32_t*>(vbtable + where.vdisp);
    }
    return complete + offset;
}

} // namespace

void* findBase(void* object, const char* name)
{
    if (object == nullptr)
        return nullptr;
    void* const* vtable = *static_cast<void* const* const*>(object);
    const CompleteObjectLocator* locator = static_cast<const CompleteObjectLocator*>(vtable[-1]);
    if (locator == nullptr || locator->signature != 0 || locator->hierarchy == nullptr)
        return nullptr;
    char* complete = static_cast<char*>(object) - locator->offset;
    const ClassHierarchyDescriptor& hierarchy = *locator->hierarchy;
    char* found = nullptr;
    for (std::uint32_t i = 0; i < hierarchy.baseCount; ++i) {
        const BaseClassDescriptor* base = hierarchy.bases[i];
        if (base == nullptr || base->type == nullptr || (base->attributes & (kBaseNotVisible | kBaseAmbiguous)) != 0)
            continue;
        if (std::strcmp(base->type->name, name) != 0)
            continue;
        char* candidate = subobject(complete, base->where);
        // A base found at two places is ambiguous: the cast fails.
        if (found != nullptr && found != candidate)
            return nullptr;
        found = candidate;
    }
    return found;
}

void* findProductContext(void* object)
{
    if (void* product = findBase(object, ".?AUIProductContext@setupcore@@"))
        return product;
    return findBase(object, ".?AVIProductContext@setupcore@@");
}

} // namespace boundary
