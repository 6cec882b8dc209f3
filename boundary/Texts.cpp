// Texts laid out as the host's std::wstring, and texts taken from the host.
#include "boundary/Texts.h"

#include "boundary/HostHeap.h"

#include <cstring>
#include <new>

namespace boundary {

HostText::HostText(const std::wstring& text)
{
    text_.size = static_cast<std::uint32_t>(text.size());
    wchar_t* target = text_.text.buffer;
    text_.capacity = WString::kInlineCapacity;
    if (text.size() > WString::kInlineCapacity) {
        target = new wchar_t[text.size() + 1];
        text_.text.pointer = target;
        text_.capacity = text_.size;
    }
    std::memcpy(target, text.data(), text.size() * sizeof(wchar_t));
    target[text.size()] = L'\0';
}

HostText::~HostText()
{
    if (text_.capacity > WString::kInlineCapacity)
        delete[] text_.text.pointer;
}

std::wstring copyText(const WString& text)
{
    return std::wstring(text.data(), text.size);
}

void destroyHostText(WString& text)
{
    if (text.capacity > WString::kInlineCapacity) {
        void* block = text.text.pointer;
        const std::size_t bytes = (static_cast<std::size_t>(text.capacity) + 1) * sizeof(wchar_t);
        if (bytes >= WString::kBigAllocation)
            block = static_cast<void**>(block)[-1];
        hostFree(block);
    }
    text.size = 0;
    text.capacity = WString::kInlineCapacity;
    text.text.buffer[0] = L'\0';
}

} // namespace boundary
