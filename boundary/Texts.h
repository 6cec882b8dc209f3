// Texts across the boundary. The DLL's own texts are laid out as the host's
// std::wstring from the DLL's memory and freed by the DLL; texts the host
// returns by value are copied and then destroyed as the host's std::wstring
// destructor would destroy them.
#pragma once

#include "boundary/Layout.h"

#include <string>

namespace boundary {

// A text handed to the host by const reference. The host only reads it.
class HostText {
public:
    explicit HostText(const std::wstring& text);
    ~HostText();
    HostText(const HostText&) = delete;
    HostText& operator=(const HostText&) = delete;

    const WString* get() const { return &text_; }

private:
    WString text_;
};

// The text of a host string.
std::wstring copyText(const WString& text);

// Frees a host string's buffer with the host's allocator: none while the
// text is inline; for a buffer of 4096 bytes or more, the real block whose
// address lies in the slot before the text. Leaves the string empty.
void destroyHostText(WString& text);

} // namespace boundary
