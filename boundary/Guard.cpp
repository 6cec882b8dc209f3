#include "boundary/Guard.h"

#include "boundary/Thiscall.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

// The guard's frame: a registration record on the stack, linked at fs:[0]
// for the call and unlinked after it, as a Visual C++ __try frame is. Its
// handler catches Visual C++ C++ exceptions only; anything else (an access
// violation, say) goes on to the host's handlers.
//
//   record + 0   previous record        record + 8   the guard's frame pointer
//   record + 4   handler                record + 12  the Capture to fill
struct GuardRecord {
    GuardRecord* previous;
    void* handler;
    void* framePointer;
    boundary::Capture* capture;
};

extern "C" {
EXCEPTION_DISPOSITION boundary_guardHandler(EXCEPTION_RECORD* record, GuardRecord* frame, CONTEXT*, void*);
[[noreturn]] void boundary_unwindAndResume(GuardRecord* frame, EXCEPTION_RECORD* record);
void boundary_holdAfterUnwind(GuardRecord* frame, const EXCEPTION_RECORD* record);
// RtlUnwind, called from the assembly below.
void* boundary_rtlUnwind = reinterpret_cast<void*>(&::RtlUnwind);
}

// RtlUnwind does not keep ebx, esi, edi or ebp; the resume path takes them
// from the guard's own frame instead of trusting them after the call.
// Between the unwind and the resume, still on the dispatcher's stack (so the
// thrower's frame, which holds the thrown object, is intact), the object is
// copied and destroyed: the dispatch is over by then, and the host's copy
// constructor and destructor run under guards of their own.
__asm__(
    ".text\n"
    ".globl _boundary_guardedCall\n"
    "_boundary_guardedCall:\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    pushl %ebx\n"
    "    pushl %esi\n"
    "    pushl %edi\n"
    "    pushl 16(%ebp)\n"  // record + 12: capture
    "    pushl %ebp\n"      // record + 8: frame pointer
    "    pushl $_boundary_guardHandler\n"
    "    pushl %fs:0\n"
    "    movl %esp, %fs:0\n"
    "    pushl 12(%ebp)\n"
    "    call *8(%ebp)\n"
    "    addl $4, %esp\n"
    "    xorl %eax, %eax\n"
    "boundary_guardLeave:\n"
    "    movl -28(%ebp), %ecx\n"  // the record lies at ebp - 28
    "    movl %ecx, %fs:0\n"
    "    leal -12(%ebp), %esp\n"
    "    popl %edi\n"
    "    popl %esi\n"
    "    popl %ebx\n"
    "    popl %ebp\n"
    "    ret\n"
    "boundary_guardCaught:\n"
    "    movl $1, %eax\n"
    "    jmp boundary_guardLeave\n"
    "\n"
    ".globl _boundary_unwindAndResume\n"
    "_boundary_unwindAndResume:\n"
    "    movl 4(%esp), %eax\n"
    "    movl 8(%esp), %edx\n"
    "    pushl $0\n"
    "    pushl %edx\n"
    "    pushl $boundary_unwound\n"
    "    pushl %eax\n"
    "    call *_boundary_rtlUnwind\n"
    "boundary_unwound:\n"
    "    pushl 8(%esp)\n"
    "    pushl 8(%esp)\n"
    "    call _boundary_holdAfterUnwind\n"
    "    addl $8, %esp\n"
    "    movl 4(%esp), %eax\n"
    "    movl 8(%eax), %ebp\n"
    "    jmp boundary_guardCaught\n");

namespace boundary {

namespace {

bool isCxxException(const EXCEPTION_RECORD& record)
{
    if (record.ExceptionCode != kCxxExceptionCode || record.NumberParameters < 3)
        return false;
    const ULONG_PTR magic = record.ExceptionInformation[0];
    return magic == kCxxMagic1993 || magic == kCxxMagic1994 || magic == kCxxMagic2005;
}

// A copy of the thrown object in the DLL's own memory, then the original
// destroyed, as the host's catch would have destroyed it after its handler.
// An object that cannot be copied leaves the capture without one.
void hold(const EXCEPTION_RECORD& record, Capture& capture)
{
    void* original = reinterpret_cast<void*>(record.ExceptionInformation[1]);
    const ThrowInfo* info = reinterpret_cast<const ThrowInfo*>(record.ExceptionInformation[2]);
    capture.object = nullptr;
    capture.info = info;
    if (original == nullptr || info == nullptr || info->catchableTypes == nullptr ||
        info->catchableTypes->count < 1)
        return;
    const CatchableType& type = *info->catchableTypes->types[0];
    void* copy = std::malloc(type.size > 0 ? static_cast<std::size_t>(type.size) : 1);
    if (copy != nullptr && !callHostQuietly([&] { copyConstruct(type, copy, original); })) {
        std::free(copy);
        copy = nullptr;
    }
    callHostQuietly([&] { destroyObject(*info, original); });
    capture.object = copy;
}

} // namespace

} // namespace boundary

extern "C" EXCEPTION_DISPOSITION boundary_guardHandler(EXCEPTION_RECORD* record, GuardRecord* frame, CONTEXT*, void*)
{
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0 ||
        !boundary::isCxxException(*record))
        return ExceptionContinueSearch;
    boundary_unwindAndResume(frame, record);
}

extern "C" void boundary_holdAfterUnwind(GuardRecord* frame, const EXCEPTION_RECORD* record)
{
    boundary::hold(*record, *frame->capture);
}

namespace boundary {

HeldException::~HeldException()
{
    if (object_ == nullptr)
        return;
    // The host's destructor of its own object; an exception from it has
    // nowhere to go and ends here.
    callHostQuietly([this] { destroyObject(*info_, object_); });
    std::free(object_);
}

void* HeldException::release()
{
    void* object = object_;
    object_ = nullptr;
    return object;
}

void discard(const Capture& capture)
{
    if (capture.object == nullptr)
        return;
    // A second exception, from this destructor, is dropped with its copy.
    Capture again = {nullptr, nullptr};
    auto destroy = [&capture] { destroyObject(*capture.info, capture.object); };
    boundary_guardedCall(&GuardedThunk<decltype(destroy)&>::run, &destroy, &again);
    std::free(capture.object);
}

const CatchableType* HeldException::catchable(const char* name) const
{
    const CatchableTypeArray* types = info_ ? info_->catchableTypes : nullptr;
    for (std::int32_t i = 0; types != nullptr && i < types->count; ++i) {
        const CatchableType* type = types->types[i];
        if (type != nullptr && type->type != nullptr && std::strcmp(type->type->name, name) == 0)
            return type;
    }
    return nullptr;
}

void copyConstruct(const CatchableType& type, void* target, const void* source)
{
    if ((type.properties & kCatchableSimpleType) != 0 || type.copyFunction == nullptr) {
        std::memcpy(target, source, static_cast<std::size_t>(type.size));
    } else if ((type.properties & kCatchableHasVirtualBase) != 0) {
        // Constructors of classes with virtual bases take "construct the
        // virtual bases too" as an extra argument.
        reinterpret_cast<ThiscallCopyWithBases>(type.copyFunction)(target, source, 1);
    } else {
        reinterpret_cast<ThiscallCopy>(type.copyFunction)(target, source);
    }
}

void destroyObject(const ThrowInfo& info, void* object)
{
    if (info.destructor != nullptr)
        reinterpret_cast<ThiscallVoid>(info.destructor)(object);
}

void throwCaptured(const Capture& capture)
{
    HeldExceptionPtr held;
    if (capture.object != nullptr) {
        try {
            held.reset(new HeldException(capture.object, capture.info));
        } catch (...) {
            discard(capture);
            throw;
        }
    }
    static const char kStdException[] = ".?AVexception@std@@";
    const CatchableType* standard = held ? held->catchable(kStdException) : nullptr;
    if (standard == nullptr || standard->thisDisplacement.pdisp >= 0)
        throw HostException(held);
    // what() of the host's object, slot 1 of its std::exception subobject.
    void* base = static_cast<char*>(held->object()) + standard->thisDisplacement.mdisp;
    const char* message = nullptr;
    callHost([&] { message = reinterpret_cast<ThiscallWhat>((*static_cast<void* const* const*>(base))[1])(base); });
    throw HostStdException(held, message != nullptr ? message : "");
}

} // namespace boundary
