// A child process on POSIX: posix_spawn in a process group of its own, its output drained by poll.
#include "os/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>

extern char** environ;

namespace actionhost {

namespace {

volatile sig_atomic_t interruptedFlag = 0;

extern "C" void onInterruption(int)
{
    interruptedFlag = 1;
}

class Pipe {
public:
    // Closed on exec from the start: a child started meanwhile by another
    // worker must not hold this pipe open.
    Pipe()
    {
#if defined(__linux__)
        if (::pipe2(ends_, O_CLOEXEC) != 0)
            ends_[0] = ends_[1] = -1;
#else
        static std::mutex creating;
        std::lock_guard<std::mutex> lock(creating);
        if (::pipe(ends_) != 0) {
            ends_[0] = ends_[1] = -1;
        } else {
            ::fcntl(ends_[0], F_SETFD, FD_CLOEXEC);
            ::fcntl(ends_[1], F_SETFD, FD_CLOEXEC);
        }
#endif
    }
    ~Pipe()
    {
        closeRead();
        closeWrite();
    }
    bool ok() const { return ends_[0] >= 0; }
    int read() const { return ends_[0]; }
    int write() const { return ends_[1]; }
    void closeRead()
    {
        if (ends_[0] >= 0)
            ::close(ends_[0]);
        ends_[0] = -1;
    }
    void closeWrite()
    {
        if (ends_[1] >= 0)
            ::close(ends_[1]);
        ends_[1] = -1;
    }

private:
    int ends_[2];
};

} // namespace

void catchInterruptions()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = onInterruption;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool interrupted()
{
    return interruptedFlag != 0;
}

ChildOutcome runChild(const std::string& program, const std::vector<std::string>& arguments, double timeoutSeconds)
{
    ChildOutcome outcome;
    Pipe out, err;
    if (!out.ok() || !err.ok()) {
        outcome.error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return outcome;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.write(), 1);
    posix_spawn_file_actions_adddup2(&actions, err.write(), 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own, led by the child; the parent's own signal
    // handling is not inherited.
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    out.closeWrite();
    err.closeWrite();
    if (spawned != 0) {
        outcome.error = "cannot start " + program + ": " + std::strerror(spawned);
        return outcome;
    }
    outcome.processId = static_cast<unsigned long>(pid);

    const auto start = std::chrono::steady_clock::now();
    const auto limit = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                   std::chrono::duration<double>(timeoutSeconds));
    bool killed = false;
    bool reaped = false;
    int status = 0;
    // Once the group is killed, what is left in the pipes is read for a
    // moment more; a process that left the group cannot hold the run.
    std::chrono::steady_clock::time_point drainUntil = std::chrono::steady_clock::time_point::max();
    auto killGroup = [&]() {
        if (!killed) {
            ::kill(-pid, SIGKILL);
            killed = true;
            drainUntil = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        }
    };
    char buffer[16384];
    while (out.read() >= 0 || err.read() >= 0) {
        const auto now = std::chrono::steady_clock::now();
        if (!killed && now >= limit) {
            outcome.ending = ChildOutcome::TimedOut;
            killGroup();
        } else if (!killed && interrupted()) {
            outcome.ending = ChildOutcome::Interrupted;
            killGroup();
        }
        if (now >= drainUntil)
            break;
        if (!reaped && ::waitpid(pid, &status, WNOHANG) == pid) {
            reaped = true;
            // The action's own process is done: whatever it started goes too.
            killGroup();
        }
        pollfd fds[2] = {{out.read(), POLLIN, 0}, {err.read(), POLLIN, 0}};
        if (::poll(fds, 2, 50) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0)
                continue;
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof(buffer));
            if (got > 0) {
                if (i == 0)
                    keepTail(outcome.out, outcome.outCut, buffer, static_cast<std::size_t>(got));
                else
                    keepTail(outcome.err, outcome.errCut, buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                (i == 0 ? out : err).closeRead();
            }
        }
    }
    killGroup();
    if (!reaped) {
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (outcome.ending == ChildOutcome::TimedOut || outcome.ending == ChildOutcome::Interrupted)
        return outcome;
    if (WIFEXITED(status)) {
        outcome.ending = ChildOutcome::Exited;
        outcome.code = static_cast<unsigned long>(WEXITSTATUS(status));
    } else {
        outcome.ending = ChildOutcome::Crashed;
        outcome.code = static_cast<unsigned long>(WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    }
    return outcome;
}

} // namespace actionhost
