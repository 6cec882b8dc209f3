// A command for the runner's own tests, the same on every platform:
//   output_writer out BYTES | err BYTES   writes that many bytes
//   output_writer hang PIDFILE            writes its process id, then waits forever
//   output_writer gone PIDFILE            exit 0 when that process no longer runs
//   output_writer bytes out|err           writes bytes that are not UTF-8 and an escape sequence
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

namespace {

unsigned long ownId()
{
#if defined(_WIN32)
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

bool running(unsigned long id)
{
#if defined(_WIN32)
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
    if (process == nullptr)
        return false;
    const bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return alive;
#else
    return kill(static_cast<pid_t>(id), 0) == 0;
#endif
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const std::string what = argv[1];
    if (what == "out" || what == "err") {
        std::FILE* stream = what == "out" ? stdout : stderr;
        const std::string line(63, 'x');
        for (long written = 0, total = std::atol(argv[2]); written < total; written += 64)
            std::fprintf(stream, "%s\n", line.c_str());
        return 0;
    }
    if (what == "bytes") {
        // \xFF\xFE is no UTF-8; ESC is a character XML 1.0 cannot hold.
        std::fputs("before \xFF\xFE \x1B[31mred\x1B[0m after\n", argv[2] == std::string("out") ? stdout : stderr);
        return 0;
    }
    if (what == "hang") {
        std::ofstream(argv[2]) << ownId() << "\n";
        for (;;)
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    if (what == "gone") {
        // A moment for the system to finish ending it.
        unsigned long id = 0;
        std::ifstream(argv[2]) >> id;
        for (int i = 0; i < 50 && id != 0 && running(id); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (id == 0 || running(id)) {
            std::fprintf(stderr, "process %lu still runs\n", id);
            return 1;
        }
        return 0;
    }
    return 2;
}
