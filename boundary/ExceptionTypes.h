// The exception types the DLL raises to the host, with Visual C++'s layout,
// run-time type information and throw information: the exported
// InstallException, and std::exception for the libraries' own exceptions.
#pragma once

#include "boundary/Layout.h"

namespace boundary {

extern const ThrowInfo kInstallExceptionThrowInfo;
extern const ThrowInfo kStdExceptionThrowInfo;

// Constructs an InstallException with code at self.
void constructInstallException(InstallExceptionObject* self, int code);
// Constructs a std::exception at self whose message is a copy of message in
// the host's heap, so that the host's own copies and destructor free it
// (null message: what() says "Unknown exception", as the host's would).
void constructStdException(StdException* self, const char* message);

} // namespace boundary
