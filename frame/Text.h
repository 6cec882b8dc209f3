// Text helpers shared by the actions of both libraries.
#pragma once

#include <boost/shared_array.hpp>

#include <string>
#include <vector>

// UTF-8 form of a wide text, read up to its first NUL. A text the conversion
// rejects gives the empty string.
std::string utf8FromWide(const std::wstring& text);
// Wide form of UTF-8 bytes, read up to the first NUL; rejected input gives
// the empty text.
std::wstring wideFromUtf8(const std::string& bytes);

// Appends the wide form of UTF-8 bytes to text: the same conversion as
// wideFromUtf8, written straight into text's own storage, so that a long
// text is held once.
void appendWideFromUtf8(const std::string& bytes, std::wstring& text);

// The same conversions into a buffer of code units that ends with its
// terminator. Never null: a failed conversion yields a buffer holding only
// the terminator.
boost::shared_array<char> utf8BufferFromWide(const std::wstring& text);
boost::shared_array<wchar_t> wideBufferFromUtf8(const std::string& bytes);

// Case-insensitive comparison with Unicode case folding (as POCO folds);
// 0 when equal.
int compareNoCase(const std::wstring& a, const std::wstring& b);

// Appends to list the non-empty pieces of text between characters of
// delimiters. Pieces keep their blanks; the list is not cleared.
void splitAny(const std::wstring& text, const std::wstring& delimiters, std::vector<std::wstring>& list);

// Copy without leading and trailing U+0009..U+000D and U+0020.
std::wstring trimWhiteSpace(const std::wstring& text);
// The white space trimWhiteSpace removes.
extern const wchar_t kWhiteSpace[];

// "true" or "false".
std::wstring boolToText(bool value);

// Lower-cases in place through UTF-8 with POCO's Unicode tables; letters
// outside ASCII are lowered too.
void lowerCase(std::wstring& text);
// Lower-cased copy.
std::wstring lowerCaseCopy(const std::wstring& text);
