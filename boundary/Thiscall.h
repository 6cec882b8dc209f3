// The shapes of the host's member functions as GCC calls them: Visual C++'s
// thiscall (this in ECX, arguments on the stack from right to left, popped by
// the callee), with a class result returned through a hidden pointer passed
// as the first stack argument.
#pragma once

#define BOUNDARY_THISCALL __attribute__((thiscall))

namespace boundary {

struct SharedPtr;
struct WString;

typedef void(BOUNDARY_THISCALL* ThiscallVoid)(void* self);
typedef void(BOUNDARY_THISCALL* ThiscallCopy)(void* self, const void* source);
typedef void(BOUNDARY_THISCALL* ThiscallCopyWithBases)(void* self, const void* source, int constructBases);
typedef const char*(BOUNDARY_THISCALL* ThiscallWhat)(void* self);

// The host's own member functions, by vtable slot.
typedef void(BOUNDARY_THISCALL* LogCall)(void* self, int level, const WString* text);
typedef SharedPtr*(BOUNDARY_THISCALL* SharedResultCall)(void* self, SharedPtr* result);
typedef SharedPtr*(BOUNDARY_THISCALL* SharedResultOfTextCall)(void* self, SharedPtr* result, const WString* text);
typedef void(BOUNDARY_THISCALL* TwoTextsCall)(void* self, const WString* first, const WString* second);
typedef WString*(BOUNDARY_THISCALL* TextResultOfTextCall)(void* self, WString* result, const WString* text);
typedef WString*(BOUNDARY_THISCALL* TextResultOfTwoTextsCall)(void* self, WString* result, const WString* text,
                                                             const WString* context);
typedef bool(BOUNDARY_THISCALL* BoolCall)(void* self);
typedef void(BOUNDARY_THISCALL* IntOutCall)(void* self, int* out);
typedef void(BOUNDARY_THISCALL* IntInIntOutCall)(void* self, int flag, int* out);
typedef void(BOUNDARY_THISCALL* IntRefInCall)(void* self, const int* in);

// The function in slot of the object's vtable.
template <typename Function>
Function slotOf(void* object, int slot)
{
    return reinterpret_cast<Function>((*static_cast<void* const* const*>(object))[slot]);
}

} // namespace boundary
