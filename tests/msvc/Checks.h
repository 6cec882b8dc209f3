// The contract host's check helpers: the few runtime and system functions
// it calls (it has no C runtime start-up of its own), a call on a stack
// aligned to 4 bytes only, output, and the checks' pass and fail counts.
#pragma once

#include <cstddef>
#include <exception>  // strlen, as Visual C++'s headers declare it

extern "C" {
struct HeapEntry {
    int* entry;
    size_t size;
    int used;
};
int __cdecl _heapwalk(HeapEntry* entry);
int __cdecl strcmp(const char* a, const char* b);
void* __stdcall GetStdHandle(unsigned long which);
int __stdcall WriteFile(void* file, const void* data, unsigned long size, unsigned long* written, void* overlapped);
void* __stdcall LoadLibraryW(const wchar_t* name);
void* __stdcall GetProcAddress(void* module, const char* name);
__declspec(noreturn) void __stdcall ExitProcess(unsigned code);
void __stdcall RaiseException(unsigned long code, unsigned long flags, unsigned long count, const unsigned long* arguments);

// Calls function with the stack at 4 mod 16, as a Visual C++ caller may (it
// keeps 4-byte alignment only): the arguments' bytes are copied below the
// misaligned stack pointer, self goes in ecx (for thiscall), and the stack is
// restored afterwards whoever pops the arguments. Returns eax.
unsigned __cdecl misalignedCall(const void* function, const void* arguments, unsigned bytes, void* self);
}

namespace contract {

// Writes text to standard output.
void print(const char* text);
void printNumber(long value);

extern int passed;
extern int failed;

// Fails the check that runs now, printing what failed.
void check(bool condition, const char* what);
void beginCheck(const char* name);
// Counts the check that ran, printing its PASS line when nothing failed.
void endCheck(const char* name);

// Runs one check: an exception that reaches it fails it.
template <typename Test>
void run(const char* name, Test test)
{
    beginCheck(name);
    try {
        test();
    } catch (...) {
        check(false, "an exception reached the test");
    }
    endCheck(name);
}

// The blocks in use on the host's heap.
long liveAllocations();

bool contains(const char* text, const char* part);

} // namespace contract
