// Keeping the tail of a child's output.
#include "os/ChildProcess.h"

namespace actionhost {

void keepTail(std::string& tail, bool& cut, const char* data, std::size_t size)
{
    tail.append(data, size);
    if (tail.size() > kTailBytes) {
        tail.erase(0, tail.size() - kTailBytes);
        cut = true;
    }
}

} // namespace actionhost
