// A Poco::File opened through the Windows extended-length form of its path.
#pragma once

#include <Poco/File.h>

#include <string>

namespace PocoWrapper {

// The path as the file is opened: an absolute path parsed in Windows style is
// rewritten to "\\?\C:\..." (drive), "\\?\UNC\server\share\..." (network
// node) or "\\?\..." (neither); a relative path is left as parsed.
std::string extendedLengthPath(const std::wstring& path);

class File : public Poco::File {
public:
    explicit File(const std::wstring& path);
};

} // namespace PocoWrapper
