// A child process run to its end under a time limit, in a process group of
// its own (a job object on Windows), with its standard output and error
// drained together, so that neither can fill up and block it, and kept
// bounded: the last kTailBytes of each. When it ends, times out or the run
// is interrupted, the whole group is killed: nothing it started is left
// running.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace actionhost {

const std::size_t kTailBytes = 64 * 1024;

struct ChildOutcome {
    enum Ending { Exited, Crashed, TimedOut, Interrupted, NotStarted } ending = NotStarted;
    // Exited: the exit status; Crashed: the signal number (POSIX) or the
    // exception code (Windows).
    unsigned long code = 0;
    unsigned long processId = 0;
    std::string out;  // the last kTailBytes of standard output
    std::string err;  // the last kTailBytes of standard error
    bool outCut = false;
    bool errCut = false;
    std::string error;  // NotStarted: why
};

ChildOutcome runChild(const std::string& program, const std::vector<std::string>& arguments, double timeoutSeconds);

// SIGINT and SIGTERM (Ctrl-C and Ctrl-Break on Windows) no longer end this
// process: they mark the run as interrupted, which ends every child.
void catchInterruptions();
bool interrupted();

// Appends data to tail, keeping its last kTailBytes; cut tells that some
// were dropped.
void keepTail(std::string& tail, bool& cut, const char* data, std::size_t size);

} // namespace actionhost
