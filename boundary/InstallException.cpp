// InstallException as a Visual C++ host sees it: std::exception's layout
// (vtable, message, owns-message flag) with the code at offset 12, members
// exported under Visual C++'s decorated names (see vantorel's export list),
// and run-time type information that lets a host catch it as
// InstallException& and as std::exception&. Also the std::exception the
// libraries' own exceptions are raised as.
#include "boundary/ExceptionTypes.h"

#include "boundary/HostHeap.h"
#include "boundary/Thiscall.h"

#include <cstddef>
#include <cstring>

namespace boundary {

// A vtable with its complete object locator in the slot before it.
struct LocatedVtable {
    const CompleteObjectLocator* locator;
    const void* slots[2];  // deleting destructor, what
};

namespace {

template <std::size_t N>
struct NamedTypeDescriptor {
    // type_info's vtable: no one calls through it (a type_info is never
    // deleted), and the DLL imports nothing of the host's runtime.
    const void* typeInfoVtable;
    // type_info::name() of the host's runtime computes the readable name on
    // its first call and stores it here, as Visual C++ does in the
    // descriptors it emits (so they lie in writable data).
    char* undecoratedName;
    char name[N];
};

// Not const: the host's runtime writes into them (see above).
NamedTypeDescriptor<20> stdExceptionType = {nullptr, nullptr, ".?AVexception@std@@"};
NamedTypeDescriptor<23> installExceptionType = {nullptr, nullptr, ".?AVInstallException@@"};

static_assert(offsetof(NamedTypeDescriptor<20>, undecoratedName) == offsetof(TypeDescriptor, spare) &&
                  offsetof(NamedTypeDescriptor<20>, name) == offsetof(TypeDescriptor, name),
              "a type descriptor's layout");

const TypeDescriptor* descriptor(const void* named)
{
    return static_cast<const TypeDescriptor*>(named);
}

char* copyMessage(const char* message)
{
    if (message == nullptr)
        return nullptr;
    const std::size_t bytes = std::strlen(message) + 1;
    char* copy = static_cast<char*>(hostAllocate(bytes));
    if (copy != nullptr)
        std::memcpy(copy, message, bytes);
    return copy;
}

// std::exception's own members, as the host's runtime implements them.
void copyStdBase(StdException* self, const StdException* other)
{
    if (other->doFree && other->what != nullptr) {
        self->what = copyMessage(other->what);
        self->doFree = self->what != nullptr;
    } else {
        self->what = other->what;
        self->doFree = false;
    }
}

void destroyStdBase(StdException* self)
{
    if (self->doFree)
        hostFree(const_cast<char*>(self->what));
    self->what = nullptr;
    self->doFree = false;
}

} // namespace

} // namespace boundary

using boundary::InstallExceptionObject;
using boundary::StdException;

// The members, thiscall, under plain names that the export list maps to the
// decorated ones.
extern "C" {

BOUNDARY_THISCALL StdException* boundary_StdException_copy(StdException* self, const StdException* other);
BOUNDARY_THISCALL void boundary_StdException_destroy(StdException* self);
BOUNDARY_THISCALL StdException* boundary_StdException_deletingDestroy(StdException* self, unsigned flags);
BOUNDARY_THISCALL const char* boundary_StdException_what(const StdException* self);

BOUNDARY_THISCALL InstallExceptionObject* boundary_InstallException_construct(InstallExceptionObject* self, int code);
BOUNDARY_THISCALL InstallExceptionObject* boundary_InstallException_copy(InstallExceptionObject* self,
                                                                        const InstallExceptionObject* other);
BOUNDARY_THISCALL InstallExceptionObject* boundary_InstallException_assign(InstallExceptionObject* self,
                                                                          const InstallExceptionObject* other);
BOUNDARY_THISCALL void boundary_InstallException_destroy(InstallExceptionObject* self);
BOUNDARY_THISCALL InstallExceptionObject* boundary_InstallException_deletingDestroy(InstallExceptionObject* self,
                                                                                   unsigned flags);
BOUNDARY_THISCALL const char* boundary_InstallException_what(const InstallExceptionObject* self);

} // extern "C"

namespace boundary {

namespace {

const MemberDisplacement kAtStart = {0, -1, 0};

// std::exception: one class, no bases.
extern const ClassHierarchyDescriptor kStdExceptionHierarchy;
const BaseClassDescriptor kStdExceptionBase = {descriptor(&stdExceptionType), 0, kAtStart, kBaseHasHierarchy,
                                               &kStdExceptionHierarchy};
const BaseClassDescriptor* const kStdExceptionBases[] = {&kStdExceptionBase};
const ClassHierarchyDescriptor kStdExceptionHierarchy = {0, 0, 1, kStdExceptionBases};
const CompleteObjectLocator kStdExceptionLocator = {0, 0, 0, descriptor(&stdExceptionType),
                                                    &kStdExceptionHierarchy};

// InstallException: itself, then std::exception at offset 0.
extern const ClassHierarchyDescriptor kInstallExceptionHierarchy;
const BaseClassDescriptor kInstallExceptionSelf = {descriptor(&installExceptionType), 1, kAtStart, kBaseHasHierarchy,
                                                   &kInstallExceptionHierarchy};
const BaseClassDescriptor* const kInstallExceptionBases[] = {&kInstallExceptionSelf, &kStdExceptionBase};
const ClassHierarchyDescriptor kInstallExceptionHierarchy = {0, 0, 2, kInstallExceptionBases};
const CompleteObjectLocator kInstallExceptionLocator = {0, 0, 0, descriptor(&installExceptionType),
                                                        &kInstallExceptionHierarchy};

const LocatedVtable kStdExceptionVtable = {
    &kStdExceptionLocator,
    {reinterpret_cast<const void*>(&boundary_StdException_deletingDestroy),
     reinterpret_cast<const void*>(&boundary_StdException_what)}};

const CatchableType kStdExceptionCatchable = {0, descriptor(&stdExceptionType), kAtStart,
                                              sizeof(StdException),
                                              reinterpret_cast<void*>(&boundary_StdException_copy)};
const CatchableType kInstallExceptionCatchable = {0, descriptor(&installExceptionType), kAtStart,
                                                  sizeof(InstallExceptionObject),
                                                  reinterpret_cast<void*>(&boundary_InstallException_copy)};

struct TwoCatchableTypes {
    std::int32_t count;
    const CatchableType* types[2];
};
const TwoCatchableTypes kInstallExceptionCatchables = {2, {&kInstallExceptionCatchable, &kStdExceptionCatchable}};
const CatchableTypeArray kStdExceptionCatchables = {1, {&kStdExceptionCatchable}};

} // namespace

const ThrowInfo kInstallExceptionThrowInfo = {
    0, reinterpret_cast<void*>(&boundary_InstallException_destroy), nullptr,
    reinterpret_cast<const CatchableTypeArray*>(&kInstallExceptionCatchables)};
const ThrowInfo kStdExceptionThrowInfo = {0, reinterpret_cast<void*>(&boundary_StdException_destroy), nullptr,
                                          &kStdExceptionCatchables};

void constructInstallException(InstallExceptionObject* self, int code)
{
    boundary_InstallException_construct(self, code);
}

void constructStdException(StdException* self, const char* message)
{
    self->vtable = kStdExceptionVtable.slots;
    self->what = copyMessage(message);
    self->doFree = self->what != nullptr;
}

} // namespace boundary

extern "C" {

// InstallException's vtable, exported as its vftable: the slot before it
// holds the complete object locator.
extern const boundary::LocatedVtable boundary_InstallException_vtableWithLocator;
const boundary::LocatedVtable boundary_InstallException_vtableWithLocator = {
    &boundary::kInstallExceptionLocator,
    {reinterpret_cast<const void*>(&boundary_InstallException_deletingDestroy),
     reinterpret_cast<const void*>(&boundary_InstallException_what)}};

StdException* boundary_StdException_copy(StdException* self, const StdException* other)
{
    self->vtable = boundary::kStdExceptionVtable.slots;
    boundary::copyStdBase(self, other);
    return self;
}

void boundary_StdException_destroy(StdException* self)
{
    boundary::destroyStdBase(self);
}

StdException* boundary_StdException_deletingDestroy(StdException* self, unsigned flags)
{
    boundary::destroyStdBase(self);
    // Objects the host deletes came from the host's heap.
    if ((flags & 1) != 0)
        boundary::hostFree(self);
    return self;
}

const char* boundary_StdException_what(const StdException* self)
{
    return self->what != nullptr ? self->what : "Unknown exception";
}

InstallExceptionObject* boundary_InstallException_construct(InstallExceptionObject* self, int code)
{
    self->base.vtable = boundary_InstallException_vtableWithLocator.slots;
    self->base.what = nullptr;
    self->base.doFree = false;
    self->code = code;
    return self;
}

InstallExceptionObject* boundary_InstallException_copy(InstallExceptionObject* self,
                                                       const InstallExceptionObject* other)
{
    self->base.vtable = boundary_InstallException_vtableWithLocator.slots;
    boundary::copyStdBase(&self->base, &other->base);
    self->code = other->code;
    return self;
}

InstallExceptionObject* boundary_InstallException_assign(InstallExceptionObject* self,
                                                         const InstallExceptionObject* other)
{
    if (self != other) {
        boundary::destroyStdBase(&self->base);
        boundary::copyStdBase(&self->base, &other->base);
    }
    self->code = other->code;
    return self;
}

void boundary_InstallException_destroy(InstallExceptionObject* self)
{
    boundary::destroyStdBase(&self->base);
}

InstallExceptionObject* boundary_InstallException_deletingDestroy(InstallExceptionObject* self, unsigned flags)
{
    boundary_InstallException_destroy(self);
    if ((flags & 1) != 0)
        boundary::hostFree(self);
    return self;
}

const char* boundary_InstallException_what(const InstallExceptionObject*)
{
    return "InstallException thrown";
}

} // extern "C"

// The exported vftable symbol: the vtable proper, after the locator slot.
__asm__(".globl _boundary_InstallException_vftable\n"
        ".set _boundary_InstallException_vftable, _boundary_InstallException_vtableWithLocator+4\n");
