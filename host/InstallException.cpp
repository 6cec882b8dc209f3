// InstallException, the exception class vantorel exports.
#include "host/InstallException.h"

InstallException::InstallException(int code) : std::exception(), code_(code) {}

InstallException::InstallException(const InstallException& other) : std::exception(other), code_(other.code_) {}

InstallException& InstallException::operator=(const InstallException& other)
{
    std::exception::operator=(other);
    code_ = other.code_;
    return *this;
}

InstallException::~InstallException() {}

const char* InstallException::what() const noexcept
{
    return "InstallException thrown";
}
