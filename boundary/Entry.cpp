// The one entry of every export: the host's context taken in, the action called, every way out mapped.
#include "boundary/Entry.h"

#include "boundary/ExceptionTypes.h"
#include "boundary/Guard.h"
#include "boundary/HostCalls.h"
#include "boundary/Rtti.h"
#include "host/InstallException.h"

#include <windows.h>

#include <cstring>
#include <typeinfo>

namespace boundary {

namespace {

// How the action ended, in plain data: nothing of it needs a destructor
// when the entry raises (the frame is left for good then).
struct Outcome {
    enum Kind { kReturned, kHost, kInstall, kLibrary } kind = kReturned;
    int result = 0;
    HeldExceptionPtr held;
    int code = 0;
    char message[512] = {};
};

void setMessage(Outcome& outcome, const char* message)
{
    outcome.kind = Outcome::kLibrary;
    std::strncpy(outcome.message, message != nullptr ? message : "", sizeof(outcome.message) - 1);
}

void run(void* object, CountBlock* counts, ActionBody body, bool productContext, Outcome& outcome) noexcept
{
    try {
        void* product = productContext ? findProductContext(object) : nullptr;
        ActionContextPtr context = makeContext(object, counts, product);
        // The action's parameter holds the only reference, so that the host's
        // reference goes when the action releases its context.
        outcome.result = body(std::move(context));
    } catch (const HostException& error) {
        if (error.held()) {
            outcome.kind = Outcome::kHost;
            outcome.held = error.held();
        } else {
            setMessage(outcome, "an exception of the host that could not be copied");
        }
    } catch (const std::exception& error) {
        // InstallException is recognised by its type's name: cobrinth has the
        // class's declaration but not its definition.
        if (std::strcmp(typeid(error).name(), "16InstallException") == 0) {
            outcome.kind = Outcome::kInstall;
            outcome.code = static_cast<const InstallException&>(error).code();
        } else {
            setMessage(outcome, error.what());
        }
    } catch (...) {
        setMessage(outcome, "exception of unknown type");
    }
}

[[noreturn]] void raise(void* object, const ThrowInfo* info)
{
    ULONG_PTR arguments[kCxxParameterCount];
    arguments[kCxxMagicParameter] = kCxxMagic1993;
    arguments[kCxxObjectParameter] = reinterpret_cast<ULONG_PTR>(object);
    arguments[kCxxThrowInfoParameter] = reinterpret_cast<ULONG_PTR>(info);
    ::RaiseException(kCxxExceptionCode, EXCEPTION_NONCONTINUABLE, kCxxParameterCount, arguments);
    __builtin_unreachable();
}

// The objects raised below live in the raising function's frame: the host's
// catch runs while that frame still stands, and its runtime destroys the
// object afterwards with the throw information's destructor.
[[noreturn]] __attribute__((noinline)) void raiseHeld(HeldExceptionPtr& held)
{
    const ThrowInfo* info = held->info();
    const CatchableType& type = *info->catchableTypes->types[0];
    void* copy = __builtin_alloca(static_cast<std::size_t>(type.size));
    if (callHostQuietly([&] { copyConstruct(type, copy, held->object()); })) {
        held.reset();
        raise(copy, info);
    }
    // The copy failed: the held object itself goes, and its block is left to
    // no one once the host's runtime has destroyed it.
    void* object = held->release();
    held.reset();
    raise(object, info);
}

[[noreturn]] __attribute__((noinline)) void raiseInstallException(int code)
{
    InstallExceptionObject object;
    constructInstallException(&object, code);
    raise(&object, &kInstallExceptionThrowInfo);
}

[[noreturn]] __attribute__((noinline)) void raiseStdException(const char* message)
{
    StdException object;
    constructStdException(&object, message);
    raise(&object, &kStdExceptionThrowInfo);
}

} // namespace

int enterAction(void* object, CountBlock* counts, ActionBody body, bool productContext)
{
    Outcome outcome;
    run(object, counts, body, productContext, outcome);
    switch (outcome.kind) {
    case Outcome::kReturned:
        return outcome.result;
    case Outcome::kHost:
        raiseHeld(outcome.held);
    case Outcome::kInstall:
        raiseInstallException(outcome.code);
    case Outcome::kLibrary:
        break;
    }
    raiseStdException(outcome.message);
}

} // namespace boundary
