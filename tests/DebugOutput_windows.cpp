// GoogleTest copies the message of every failed or skipped test to the
// debugger with OutputDebugStringA. That call raises an exception for a
// debugger to take; with none attached, Wine's kernel32 catches it and
// unwinds, and where 32-bit programs run through qemu that unwind faults
// and ends the test program, taking the message and the rest of the run with
// it. No debugger reads these messages in a test run: a first handler takes
// them as an attached debugger would, so that the call simply returns.
#include <windows.h>

namespace {

#ifndef DBG_PRINTEXCEPTION_WIDE_C
#define DBG_PRINTEXCEPTION_WIDE_C 0x4001000AL
#endif

LONG CALLBACK takeDebugOutput(EXCEPTION_POINTERS* exception)
{
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    if (code == static_cast<DWORD>(DBG_PRINTEXCEPTION_C) || code == static_cast<DWORD>(DBG_PRINTEXCEPTION_WIDE_C))
        return EXCEPTION_CONTINUE_EXECUTION;
    return EXCEPTION_CONTINUE_SEARCH;
}

[[maybe_unused]] const PVOID debugOutputTaken = ::AddVectoredExceptionHandler(1, takeDebugOutput);

} // namespace
