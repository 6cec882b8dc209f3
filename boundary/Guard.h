// The exception guard of every call into the host. A Visual C++ exception
// that leaves a host call is caught right at the call by a structured
// exception frame of the DLL's own: the DLL keeps a copy of the host's
// object (made by the object's own copy constructor), lets the host's frames
// unwind (their destructors run), destroys the original when no catch of the
// host's runtime owns it (Guard.cpp tells who does), and throws a C++
// exception of its own in its place. The action then sees an ordinary
// exception: its catch-all catches it, a handler of std::exception catches
// it when the host's object derives from std::exception, and otherwise the
// entry raises the host's object again, as itself, to the host.
#pragma once

#include "boundary/Layout.h"

#include <boost/shared_ptr.hpp>

#include <exception>
#include <type_traits>
#include <string>

namespace boundary {

// A copy of a host exception object, destroyed with the host's destructor.
class HeldException {
public:
    // Takes over storage, a block of the DLL's own holding a constructed copy.
    HeldException(void* storage, const ThrowInfo* info) : object_(storage), info_(info) {}
    ~HeldException();
    HeldException(const HeldException&) = delete;
    HeldException& operator=(const HeldException&) = delete;

    void* object() const { return object_; }
    const ThrowInfo* info() const { return info_; }
    // Gives the object up: it is neither destroyed nor freed here.
    void* release();
    // The catchable type of that name (".?AVexception@std@@"), or null.
    const CatchableType* catchable(const char* name) const;

private:
    void* object_;
    const ThrowInfo* info_;
};

typedef boost::shared_ptr<HeldException> HeldExceptionPtr;

// What the actions see of a host exception. held() is null for an exception
// the guard could not copy (a rethrow record without its object).
class HostException {
public:
    explicit HostException(const HeldExceptionPtr& held) : held_(held) {}
    virtual ~HostException() {}
    const HeldExceptionPtr& held() const { return held_; }

private:
    HeldExceptionPtr held_;
};

// A host exception whose object derives from std::exception; what() is the
// host object's own.
class HostStdException : public std::exception, public HostException {
public:
    HostStdException(const HeldExceptionPtr& held, const std::string& message)
        : HostException(held), message_(message) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// Filled by the guard when it catches a host exception.
struct Capture {
    void* object;  // the copy, or null when there was none to copy
    const ThrowInfo* info;
};

extern "C" {
// Calls body(data) under the guard: 0 when it returned, 1 when a Visual C++
// exception left it (capture filled; the host's frames are unwound).
int boundary_guardedCall(void (*body)(void*), void* data, Capture* capture);
}

// Throws the HostException (or HostStdException) for a captured exception.
[[noreturn]] void throwCaptured(const Capture& capture);

// Destroys and frees a captured copy.
void discard(const Capture& capture);

template <typename Call>
struct GuardedThunk {
    static void run(void* data) { (*static_cast<typename std::remove_reference<Call>::type*>(data))(); }
};

// Calls call() under the guard; call holds nothing but a host call and must
// not throw a C++ exception of the DLL's own.
template <typename Call>
void callHost(Call&& call)
{
    Capture capture = {nullptr, nullptr};
    if (boundary_guardedCall(&GuardedThunk<Call>::run, &call, &capture) != 0)
        throwCaptured(capture);
}

// The same where an exception has nowhere to go (destructors, releases,
// copies made while handling another exception): a host exception is
// destroyed and dropped. True when call() completed.
template <typename Call>
bool callHostQuietly(Call&& call)
{
    Capture capture = {nullptr, nullptr};
    if (boundary_guardedCall(&GuardedThunk<Call>::run, &call, &capture) == 0)
        return true;
    discard(capture);
    return false;
}

// Copy-constructs an object of the given catchable type at target from source.
void copyConstruct(const CatchableType& type, void* target, const void* source);
// Runs a ThrowInfo's destructor on object, if it has one.
void destroyObject(const ThrowInfo& info, void* object);

} // namespace boundary
