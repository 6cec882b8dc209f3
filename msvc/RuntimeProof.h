// Which C++ runtime the test hosts built for Visual C++'s ABI really run on,
// seen from inside the process: a file beside the program proves nothing,
// since Wine reports its builtin DLLs under the program folder's path too.
#pragma once

#include <cstddef>

namespace msvc {

// Fills line (NUL-terminated, cut at size) with one "runtime: ..." line
// naming the modules that this module's imports of _CxxThrowException and
// __CxxFrameHandler3 resolved to, the module in which the action libraries'
// guard finds __current_exception, and the module of this module's malloc;
// each as a Wine builtin or with its version and maker. Returns false when
// the environment variable ACTIONS_EXPECT_RUNTIME names a runtime the
// process does not have; the line then says what is missing:
//   wine              Wine's builtin vcruntime140.dll throws, catches and
//                     holds the current exception
//   microsoft         Microsoft's DLL (10.0.17134.12, Microsoft Corporation)
//                     does, loaded as vcruntime140.dll
//   microsoft-heap    the same, and it is ucrtbase.dll, the host's heap, too
//   microsoft-static  Microsoft's DLL under another name, as the runtime of
//                     a host linked /MT, and no vcruntime140.dll in the
//                     process (the guard finds no current exception)
bool describeRuntime(char* line, std::size_t size);

} // namespace msvc
