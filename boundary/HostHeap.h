// The host's allocator: where the buffers of texts the host returns by value
// go back to, and where the messages of exceptions raised to the host come
// from (the host's copies free them with its own runtime).
#pragma once

#include <cstddef>

namespace boundary {

// Visual C++ 2015 to 2022 hosts allocate through the universal C runtime.
// A host linked with /MD loads vcruntime140.dll and uses ucrtbase.dll's
// malloc and free; one linked with /MT carries its own copy of both, loads
// no vcruntime140.dll, and on Windows allocates from the process heap, as
// ucrtbase.dll does there. So: ucrtbase.dll's own functions when
// vcruntime140.dll is loaded too (Wine's ucrtbase keeps a heap of its own,
// which only its free may release), the process heap otherwise. Not
// ucrtbase.dll alone: Windows' and Wine's own DLLs load it into processes of
// /MT hosts too. Null when out of memory.
void* hostAllocate(std::size_t bytes);
// Frees a block of the host's allocator; null is ignored.
void hostFree(void* block);

} // namespace boundary
