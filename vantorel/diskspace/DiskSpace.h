// Helpers of CheckDiskCost.
#pragma once

#include <Poco/Any.h>

#include <cstdint>
#include <string>

// Formats one value with a POCO format pattern, in and out as wide text. A
// wide-string value is converted to UTF-8 first, a narrow character pointer
// copied into a string; any other value is passed on as it is.
std::wstring FormatWide(const std::wstring& pattern, const Poco::Any& value);

// The KiB free for the calling user on the drive of installDir (its first two
// characters, normally a letter and a colon). failed is set, and 0 returned,
// when the drive is not fixed, removable or remote, or the query fails.
std::int64_t GetFreeDiskSpace(const std::wstring& installDir, const std::wstring& platform, bool& failed);

// a + b, saturated at the limits of the signed 64-bit range.
std::int64_t saturatingAdd(std::int64_t a, std::int64_t b);
