// Workers taking the scenarios in turn, and the report kept in order.
#include "test/TestSchedule.h"

#include "os/ChildProcess.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace actionhost {

void runInOrder(std::vector<TestCase>& tests, const std::vector<Scenario>& scenarios, const TestOptions& options,
                std::size_t workers, const std::function<void(std::size_t index, bool finished)>& report)
{
    std::mutex guard;
    std::condition_variable done;
    std::vector<bool> finished(tests.size(), false);
    std::size_t next = 0;
    auto work = [&]() {
        for (;;) {
            std::size_t index;
            {
                std::lock_guard<std::mutex> lock(guard);
                if (next >= tests.size() || interrupted())
                    return;
                index = next++;
            }
            if (!tests[index].ran && !tests[index].skipped)
                testOne(options, scenarios[index], tests[index]);
            {
                std::lock_guard<std::mutex> lock(guard);
                finished[index] = true;
            }
            done.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (std::size_t i = 0; i < workers; ++i)
        pool.emplace_back(work);
    for (std::size_t i = 0; i < tests.size(); ++i) {
        bool ended;
        {
            std::unique_lock<std::mutex> lock(guard);
            // An interruption notifies nobody: look again now and then.
            while (!done.wait_for(lock, std::chrono::milliseconds(100),
                                  [&] { return finished[i] || (interrupted() && i >= next); })) {
            }
            ended = finished[i];
        }
        report(i, ended);
    }
    for (std::thread& thread : pool)
        thread.join();
}

} // namespace actionhost
