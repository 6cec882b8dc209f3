// What the test hosts built for Visual C++'s ABI take from no runtime DLL:
// the global operator new and delete over the universal C runtime's heap (as
// a host linked with /MD allocates), type_info's vtable and the list of its
// readable names.
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

// The head of the list in which type_info::name() keeps the readable names
// it computes (an SLIST_HEADER), defined by each module of a Visual C++ host.
struct __type_info_node {
    alignas(8) unsigned long long header;
};
extern "C" __type_info_node __type_info_root_node = {0};

// Type descriptors point at type_info's vtable, which no runtime DLL of
// Wine's exports; no one calls through it here.
extern "C" const void* const hostTypeInfoVtable[2] = {nullptr, nullptr};
#pragma comment(linker, "/alternatename:??_7type_info@@6B@=_hostTypeInfoVtable")
