// What the test hosts built for Visual C++'s ABI take from no runtime DLL:
// the global operator new and delete over the universal C runtime's heap (as
// a host linked with /MD allocates), and type_info's vtable.
#include <exception>
#include <new>

void* operator new(std::size_t bytes)
{
    void* block = malloc(bytes != 0 ? bytes : 1);
    if (block == nullptr)
        throw std::exception("bad allocation");
    return block;
}
void* operator new[](std::size_t bytes)
{
    return ::operator new(bytes);
}
void operator delete(void* block) noexcept
{
    free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    free(block);
}
void operator delete[](void* block) noexcept
{
    free(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    free(block);
}

// Type descriptors point at type_info's vtable, which no runtime DLL of
// Wine's exports; no one calls through it here.
extern "C" const void* const hostTypeInfoVtable[2] = {nullptr, nullptr};
#pragma comment(linker, "/alternatename:??_7type_info@@6B@=_hostTypeInfoVtable")
