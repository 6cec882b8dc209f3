// The exception class the product-level library exports. No action throws or
// catches it; it belongs to the library's exported interface.
#pragma once

#include <exception>

#if defined(_MSC_VER)
// A host built with Visual C++ takes the class from the 32-bit vantorel.dll.
#define INSTALL_EXCEPTION_API __declspec(dllimport)
#elif defined(_WIN32)
#define INSTALL_EXCEPTION_API
#else
#define INSTALL_EXCEPTION_API __attribute__((visibility("default")))
#endif

class INSTALL_EXCEPTION_API InstallException : public std::exception {
public:
    explicit InstallException(int code);
    InstallException(const InstallException& other);
    InstallException& operator=(const InstallException& other);
    virtual ~InstallException();

    // "InstallException thrown", whatever the code.
    virtual const char* what() const noexcept;

    int code() const { return code_; }

private:
    int code_;
};
