// A child process on Windows: CreateProcessW in a job object, its output drained by threads.
#include "os/ChildProcess.h"

#include "hosting/SimulatedHost.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace actionhost {

namespace {

std::atomic<bool> interruptedFlag{false};

BOOL WINAPI onControl(DWORD type)
{
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT || type == CTRL_CLOSE_EVENT) {
        interruptedFlag = true;
        return TRUE;
    }
    return FALSE;
}

// One argument quoted the way CommandLineToArgvW and the C runtime read it.
std::wstring quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            out.append(backslashes * 2 + 1, L'\\');
        else
            out.append(backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}

struct Handle {
    HANDLE value = nullptr;
    ~Handle() { close(); }
    void close()
    {
        if (value != nullptr && value != INVALID_HANDLE_VALUE)
            ::CloseHandle(value);
        value = nullptr;
    }
};

void drain(HANDLE pipe, std::string* tail, bool* cut)
{
    char buffer[16384];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        keepTail(*tail, *cut, buffer, got);
}

} // namespace

void catchInterruptions()
{
    ::SetConsoleCtrlHandler(onControl, TRUE);
}

bool interrupted()
{
    return interruptedFlag;
}

ChildOutcome runChild(const std::string& program, const std::vector<std::string>& arguments, double timeoutSeconds)
{
    ChildOutcome outcome;
    // The handles are made inheritable only while this child starts, and
    // children start one at a time, so that no child started by another
    // worker holds this child's pipes open.
    Handle outRead, outWrite, errRead, errWrite, input;
    if (!::CreatePipe(&outRead.value, &outWrite.value, nullptr, 0) ||
        !::CreatePipe(&errRead.value, &errWrite.value, nullptr, 0)) {
        outcome.error = "cannot make a pipe";
        return outcome;
    }
    input.value = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr);

    // The job takes the child and everything it starts; closing the job's
    // last handle ends them all.
    Handle job;
    job.value = ::CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job.value != nullptr)
        ::SetInformationJobObject(job.value, JobObjectExtendedLimitInformation, &limits, sizeof(limits));

    std::wstring commandLine = quoted(hosting::widen(program));
    for (const std::string& argument : arguments)
        commandLine += L" " + quoted(hosting::widen(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.value;
    startup.hStdOutput = outWrite.value;
    startup.hStdError = errWrite.value;
    PROCESS_INFORMATION process{};
    {
        static std::mutex starting;
        std::lock_guard<std::mutex> lock(starting);
        for (HANDLE inherited : {input.value, outWrite.value, errWrite.value})
            ::SetHandleInformation(inherited, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        const BOOL started = ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE,
                                              CREATE_SUSPENDED | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup,
                                              &process);
        const DWORD error = ::GetLastError();
        for (HANDLE inherited : {input.value, outWrite.value, errWrite.value})
            ::SetHandleInformation(inherited, HANDLE_FLAG_INHERIT, 0);
        if (!started) {
            outcome.error = "cannot start " + program + ": error " + std::to_string(error);
            return outcome;
        }
    }
    Handle processHandle, threadHandle;
    processHandle.value = process.hProcess;
    threadHandle.value = process.hThread;
    if (job.value != nullptr)
        ::AssignProcessToJobObject(job.value, process.hProcess);
    ::ResumeThread(process.hThread);
    outcome.processId = process.dwProcessId;
    outWrite.close();
    errWrite.close();
    input.close();

    std::thread outReader(drain, outRead.value, &outcome.out, &outcome.outCut);
    std::thread errReader(drain, errRead.value, &outcome.err, &outcome.errCut);
    const auto limit = std::chrono::steady_clock::now() +
                       std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                           std::chrono::duration<double>(timeoutSeconds));
    for (;;) {
        if (::WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0)
            break;
        if (std::chrono::steady_clock::now() >= limit) {
            outcome.ending = ChildOutcome::TimedOut;
            break;
        }
        if (interrupted()) {
            outcome.ending = ChildOutcome::Interrupted;
            break;
        }
    }
    // Whatever is left of the job goes, so that the pipes close.
    if (job.value != nullptr)
        ::TerminateJobObject(job.value, 1);
    else
        ::TerminateProcess(process.hProcess, 1);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    outReader.join();
    errReader.join();
    if (outcome.ending == ChildOutcome::TimedOut || outcome.ending == ChildOutcome::Interrupted)
        return outcome;
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    outcome.code = code;
    // Exception codes (0xC0000005, ...) end a process that crashed.
    outcome.ending = (code & 0xF0000000u) == 0xC0000000u ? ChildOutcome::Crashed : ChildOutcome::Exited;
    return outcome;
}

} // namespace actionhost
