// The exception guard around each host call, and what a caught Visual C++ exception becomes.
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
//
// What the guard catches, and who destroys the host's object. A catch of
// the host's runtime owns the object it is handling: the runtime destroys it
// when that catch block ends, and also when an unwind leaves the block. The
// guard is the last catch of every other object it meets, and destroys it
// itself. In each case the guard copies the object before the unwind, while
// it certainly lives (as Visual C++ builds its catch objects before it
// unwinds), and the original is destroyed after the unwind, when it is the
// guard's to destroy.
//
// - A plain throw inside a host operation: the record holds the object and
//   its throw information. No catch owns the object: the guard destroys it.
// - A rethrow (`throw;`) in a catch block of a host operation. Visual C++'s
//   runtime raises it as a record whose object and throw information are
//   null, and the handler that runs the catch block takes the object from the
//   runtime's per-thread current exception.
//   * Under Wine (seen; Wine's msvcrt, except_i386.c): the handler of the
//     catch block's frame rewrites the record in place into a copy of the
//     original's, and the search goes on to the guard with it. When the
//     guard's unwind leaves the catch block, that handler destroys the
//     original, unless a catch still running holds it. So an object that is
//     the runtime's current exception belongs to that catch: the guard
//     copies it and must not destroy it (before this rule it destroyed it a
//     second time, after copying it from a destroyed object).
//   * Under Microsoft's runtime (seen with its x86 DLL on Wine's
//     dispatcher, and as its x86 sources describe it, frame.cpp): the
//     catch block runs under a __try whose filter (ExFilterRethrow) takes
//     every null record, leaves the catch block without destroying the
//     object, and returns to the search of the original exception, which
//     goes on to the guard with the original record. The runtime's current
//     exception is the enclosing catch's again by then (or none), so the
//     guard owns the object, as after a plain throw.
// - A catch block that throws another exception: the guard sees the new one
//   and owns it; the runtime destroys the one its catch was handling as the
//   unwind leaves the block (both runtimes, seen; Microsoft's in the
//   __finally of the same __try).
// - A null record that reaches the guard: a `throw;` (or a raise of that
//   record) outside any catch block between the host operation and the
//   guard, while the host runs the action from inside a catch block of its
//   own. The object is the runtime's current exception, found through
//   vcruntime140.dll's __current_exception(), and it belongs to the host's
//   catch: the guard copies it and leaves it. A host linked /MT has no such
//   export: the guard finds no object, and the action sees an exception it
//   could not copy (the host gets std::exception).
struct GuardRecord {
    GuardRecord* previous;
    void* handler;
    void* framePointer;
    boundary::Capture* capture;
};

extern "C" {
EXCEPTION_DISPOSITION boundary_guardHandler(EXCEPTION_RECORD* record, GuardRecord* frame, CONTEXT*, void*);
[[noreturn]] void boundary_unwindAndResume(GuardRecord* frame, EXCEPTION_RECORD* record, void* owned);
void boundary_destroyAfterUnwind(void* owned, const boundary::ThrowInfo* info);
// RtlUnwind, called from the assembly below.
void* boundary_rtlUnwind = reinterpret_cast<void*>(&::RtlUnwind);
}

// RtlUnwind does not keep ebx, esi, edi or ebp; the resume path takes them
// from the guard's own frame instead of trusting them after the call.
// Between the unwind and the resume, still on the dispatcher's stack (so the
// thrower's frame, which holds the thrown object, is intact), the object the
// guard owns is destroyed: the dispatch is over by then, and the host's
// destructor runs under a guard of its own.
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
    // boundary_unwindAndResume(frame, record, owned)
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
    "    movl 4(%esp), %eax\n"      // the frame
    "    movl 12(%eax), %eax\n"     // its capture
    "    pushl 4(%eax)\n"           // capture->info
    "    pushl 16(%esp)\n"          // owned
    "    call _boundary_destroyAfterUnwind\n"
    "    addl $8, %esp\n"
    "    movl 4(%esp), %eax\n"
    "    movl 8(%eax), %ebp\n"
    "    jmp boundary_guardCaught\n");

namespace boundary {

namespace {

bool isCxxException(const EXCEPTION_RECORD& record)
{
    if (record.ExceptionCode != kCxxExceptionCode || record.NumberParameters < kCxxParameterCount)
        return false;
    const ULONG_PTR magic = record.ExceptionInformation[kCxxMagicParameter];
    return magic == kCxxMagic1993 || magic == kCxxMagic1994 || magic == kCxxMagic2005;
}

void* thrownObject(const EXCEPTION_RECORD& record)
{
    return reinterpret_cast<void*>(record.ExceptionInformation[kCxxObjectParameter]);
}

const ThrowInfo* thrownInfo(const EXCEPTION_RECORD& record)
{
    return reinterpret_cast<const ThrowInfo*>(record.ExceptionInformation[kCxxThrowInfoParameter]);
}

// The exception that a catch block of the host's runtime (vcruntime140.dll,
// a host linked /MD) is handling on this thread, or null.
const EXCEPTION_RECORD* currentHostException()
{
    typedef void**(__cdecl * CurrentException)();
    static const CurrentException current = [] {
        HMODULE runtime = ::GetModuleHandleW(L"vcruntime140.dll");
        return runtime != nullptr ? reinterpret_cast<CurrentException>(
                                        reinterpret_cast<void*>(::GetProcAddress(runtime, "__current_exception")))
                                  : nullptr;
    }();
    void** slot = current != nullptr ? current() : nullptr;
    const EXCEPTION_RECORD* record = slot != nullptr ? static_cast<const EXCEPTION_RECORD*>(*slot) : nullptr;
    return record != nullptr && isCxxException(*record) && thrownInfo(*record) != nullptr ? record : nullptr;
}

// The object the record stands for, with its throw information, copied into
// the DLL's own memory. Returns the original when the guard owns it (see
// the model above), null when a catch of the host's runtime does.
void* capture(const EXCEPTION_RECORD& record, Capture& capture)
{
    void* original = thrownObject(record);
    const ThrowInfo* info = thrownInfo(record);
    bool owned = true;
    const EXCEPTION_RECORD* current = currentHostException();
    if (original == nullptr && info == nullptr) {
        // A rethrow the runtime did not resolve: the current exception.
        owned = false;
        if (current != nullptr) {
            original = thrownObject(*current);
            info = thrownInfo(*current);
        }
    } else if (current != nullptr && thrownObject(*current) == original) {
        // Wine's rethrow, rewritten into the catch's own record.
        owned = false;
    }
    capture.object = nullptr;
    capture.info = info;
    if (original == nullptr || info == nullptr || info->catchableTypes == nullptr ||
        info->catchableTypes->count < 1)
        return owned ? original : nullptr;
    const CatchableType& type = *info->catchableTypes->types[0];
    void* copy = std::malloc(type.size > 0 ? static_cast<std::size_t>(type.size) : 1);
    if (copy != nullptr && !callHostQuietly([&] { copyConstruct(type, copy, original); })) {
        std::free(copy);
        copy = nullptr;
    }
    capture.object = copy;
    return owned ? original : nullptr;
}

} // namespace

} // namespace boundary

extern "C" EXCEPTION_DISPOSITION boundary_guardHandler(EXCEPTION_RECORD* record, GuardRecord* frame, CONTEXT*, void*)
{
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0 ||
        !boundary::isCxxException(*record))
        return ExceptionContinueSearch;
    void* owned = boundary::capture(*record, *frame->capture);
    boundary_unwindAndResume(frame, record, owned);
}

// The original, as the host's catch would have destroyed it after its
// handler.
extern "C" void boundary_destroyAfterUnwind(void* owned, const boundary::ThrowInfo* info)
{
    if (owned != nullptr && info != nullptr)
        boundary::callHostQuietly([&] { boundary::destroyObject(*info, owned); });
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
    callHost([&] { message = reinterpret_cast<ThiscallWhat>((*static_cast<void* const* const*>(base))[kStdExceptionWhat])(base); });
    throw HostStdException(held, message != nullptr ? message : "");
}

} // namespace boundary
