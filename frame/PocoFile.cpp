// Poco::File through the extended-length form of a path.
#include "frame/PocoFile.h"

#include "frame/Text.h"
#include "platform/Platform.h"

#include <Poco/Path.h>

namespace PocoWrapper {

std::string extendedLengthPath(const std::wstring& path)
{
    Poco::Path parsed(utf8FromWide(path), Poco::Path::PATH_WINDOWS);
    if (parsed.isAbsolute()) {
        if (!parsed.getNode().empty()) {
            if (parsed.getNode() != "?")
                parsed.setNode("?\\UNC\\" + parsed.getNode());
        } else if (parsed.getDevice().size() == 1) {
            parsed.setNode("?\\" + parsed.getDevice() + ":");
            parsed.setDevice("");
        } else {
            parsed.setNode("?");
        }
    }
    return parsed.toString(Poco::Path::PATH_WINDOWS);
}

File::File(const std::wstring& path)
    : Poco::File(platform::usesExtendedLengthPaths() ? extendedLengthPath(path) : utf8FromWide(path))
{
}

} // namespace PocoWrapper
