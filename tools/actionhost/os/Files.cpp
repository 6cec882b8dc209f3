// Reading a whole file, and the result file a child hands to its parent.
#include "os/Files.h"

#include <Poco/Exception.h>
#include <Poco/File.h>
#include <Poco/FileStream.h>
#include <Poco/StreamCopier.h>

#include <stdexcept>

namespace actionhost {

std::string readFile(const std::string& file)
{
    std::string text;
    Poco::FileInputStream in(file, std::ios::in | std::ios::binary);
    Poco::StreamCopier::copyToString(in, text);
    if (in.bad())
        throw Poco::ReadFileException(file);
    return text;
}

void writeResult(const std::string& file, const std::string& text)
{
    Poco::FileOutputStream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out.good())
        throw std::runtime_error("cannot write the result to " + file);
}

std::string readAndRemove(const std::string& file)
{
    std::string text;
    try {
        Poco::File result(file);
        if (result.exists()) {
            text = readFile(file);
            result.remove();
        }
    } catch (const std::exception&) {
    }
    return text;
}

} // namespace actionhost
