// Reading one string value below HKEY_LOCAL_MACHINE, in the registry's 64-bit view.
#pragma once

#include <string>

// True with value set to the value's text (up to its first NUL, never beyond
// the bytes the registry returned). False with value untouched and error set
// to the reason; error is only assigned on failure, never cleared.
bool ReadValueFromRegistry(std::wstring keyPath, std::wstring valueName, std::wstring& value, std::wstring& error);
