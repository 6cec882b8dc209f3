// The version vocabulary shared by the version and patch-level actions:
// dotted versions "1.2.3", dotted revisions "x.y.z.w", SP levels "x.y.z" and
// revision components.
#pragma once

#include <string>
#include <vector>

// True with value set when POCO's number parser accepts the whole text as a
// signed decimal 32-bit number.
bool tryParseInt(const std::wstring& text, int& value);

// The same parse; a text that is not a decimal integer (the empty text
// included) raises POCO's syntax exception.
int parseInt(const std::wstring& text);

// True when text is exactly dots + 1 non-empty groups of the ASCII digits 0-9
// joined by single "." characters.
bool isDottedRevision(const std::wstring& text, int dots);

// The component at position (0 major, 1 minor, 2 SP, 3 patch) after
// splitting at "." with empty components dropped and blanks trimmed; the
// empty text when there is none.
std::wstring getRevisionComponent(const std::wstring& text, std::size_t position);

// The non-empty pieces of text between separator characters, untrimmed.
std::vector<std::wstring> splitVersion(const std::wstring& text, wchar_t separator);

// Splits a dotted revision at its last "." into its level and its last group.
void splitAtLastDot(const std::wstring& revision, std::wstring& level, std::wstring& last);

// The installed revision chosen from the product DU's and the family DU's.
std::wstring selectInstalledRevision(const std::wstring& family, const std::wstring& product);

// "-1", "0" or "1" for installed against installing over positions 0 to 3,
// or the empty text when a major component is missing.
std::wstring compareRevisions(const std::wstring& installed, const std::wstring& installing);
