// Finding the host's allocator, and giving its memory back to it.
#include "boundary/HostHeap.h"

#include <windows.h>

namespace boundary {

namespace {

struct HostHeap {
    typedef void*(__cdecl* Allocate)(std::size_t);
    typedef void(__cdecl* Free)(void*);
    Allocate allocate = nullptr;
    Free free = nullptr;

    HostHeap()
    {
        HMODULE ucrt = ::GetModuleHandleW(L"ucrtbase.dll");
        if (ucrt != nullptr && ::GetModuleHandleW(L"vcruntime140.dll") != nullptr) {
            allocate = reinterpret_cast<Allocate>(reinterpret_cast<void*>(::GetProcAddress(ucrt, "malloc")));
            free = reinterpret_cast<Free>(reinterpret_cast<void*>(::GetProcAddress(ucrt, "free")));
            if (allocate == nullptr || free == nullptr)
                allocate = nullptr, free = nullptr;
        }
    }
};

const HostHeap& hostHeap()
{
    // Looked up once: the host's runtime is loaded before it loads us.
    static const HostHeap heap;
    return heap;
}

} // namespace

void* hostAllocate(std::size_t bytes)
{
    const HostHeap& heap = hostHeap();
    return heap.allocate ? heap.allocate(bytes) : ::HeapAlloc(::GetProcessHeap(), 0, bytes);
}

void hostFree(void* block)
{
    if (block == nullptr)
        return;
    const HostHeap& heap = hostHeap();
    if (heap.free)
        heap.free(block);
    else
        ::HeapFree(::GetProcessHeap(), 0, block);
}

} // namespace boundary
