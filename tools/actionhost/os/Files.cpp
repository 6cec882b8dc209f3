// Reading a whole file, and the result file a child hands to its parent.
#include "os/Files.h"

#include <Poco/Exception.h>
#include <Poco/File.h>
#include <Poco/FileStream.h>
#include <Poco/Process.h>
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

void replaceFile(const std::string& file, const std::string& text, const std::function<void()>& beforeRename)
{
    const std::string temporary = file + "." + std::to_string(Poco::Process::id()) + ".tmp";
    try {
        {
            Poco::FileOutputStream out(temporary, std::ios::binary | std::ios::trunc);
            out << text;
            out.close();
            if (!out.good())
                throw std::runtime_error("cannot write " + temporary);
        }
        if (beforeRename)
            beforeRename();
        // Replaces the file where it exists (on Windows, MoveFileEx does).
        Poco::File(temporary).renameTo(file);
    } catch (const std::exception& error) {
        try {
            Poco::File(temporary).remove();
        } catch (const std::exception&) {
        }
        throw std::runtime_error("cannot write " + file + ": " + error.what());
    }
}

void writeResult(const std::string& file, const std::string& text)
{
    replaceFile(file, text);
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
