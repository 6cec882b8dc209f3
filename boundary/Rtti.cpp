// dynamic_cast to the complete object, read from the host's run-time type information.
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

void* findBase(void* object, TypeNameMatch match)
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
        if (!match(base->type->name))
            continue;
        char* candidate = subobject(complete, base->where);
        // A base found at two places is ambiguous: the cast fails.
        if (found != nullptr && found != candidate)
            return nullptr;
        found = candidate;
    }
    return found;
}

bool isProductContextName(const char* decoratedName)
{
    // ".?AU" (struct) or ".?AV" (class), the class's own name, then its
    // enclosing scopes innermost first, each closed by '@' (or a one-digit
    // back reference to a name used before), and the closing '@'.
    static const char kName[] = "IProductContext@";
    if (std::strncmp(decoratedName, ".?A", 3) != 0 || (decoratedName[3] != 'U' && decoratedName[3] != 'V'))
        return false;
    const char* rest = decoratedName + 4;
    if (std::strncmp(rest, kName, sizeof(kName) - 1) != 0)
        return false;
    rest += sizeof(kName) - 1;
    const std::size_t length = std::strlen(rest);
    return length > 0 && rest[length - 1] == '@';
}

void* findProductContext(void* object)
{
    return findBase(object, &isProductContextName);
}

} // namespace boundary
