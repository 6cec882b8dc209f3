// Each action against its floor: a baseline in the same program that makes
// the same host calls with the same texts and does nothing else. Runs print
// a table of action time, baseline time and their ratio. Here: the table and
// the CPU it was measured on; each area's benchmarks have a file of their own.
#include "Bench.h"

#include "frame/Text.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

// Collects the runs to print the ratio table after the usual report.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    void printTable() const
    {
        std::printf("\n| workload | action (ms) | baseline (ms) | ratio |\n|---|---:|---:|---:|\n");
        for (const auto& entry : times_) {
            const std::string& name = entry.first;
            const std::string::size_type mark = name.find("/action/");
            if (mark == std::string::npos)
                continue;
            const std::string workload = name.substr(3, mark - 3) + " " + name.substr(mark + 8);
            const auto baseline = times_.find(name.substr(0, mark) + "/baseline/" + name.substr(mark + 8));
            if (baseline == times_.end())
                std::printf("| %s | %.3f | - | - |\n", workload.c_str(), entry.second);
            else
                std::printf("| %s | %.3f | %.3f | %.2f |\n", workload.c_str(), entry.second, baseline->second,
                            entry.second / baseline->second);
        }
    }

private:
    std::map<std::string, double> times_;
};

// "CPU: <model name> (family F, model M, stepping S)": ratios differ from one
// processor to another, so a table is only read together with its CPU.
std::string cpuLine()
{
#if defined(_WIN32)
    // Windows keeps the model name and "... Family F Model M Stepping S" in
    // the registry.
    auto read = [](const wchar_t* value) {
        wchar_t buffer[256] = {};
        DWORD size = sizeof(buffer);
        if (RegGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", value,
                         RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
            return std::string("unknown");
        return utf8FromWide(buffer);
    };
    return "CPU: " + read(L"ProcessorNameString") + " (" + read(L"Identifier") + ")";
#else
    std::map<std::string, std::string> fields;
    std::ifstream info("/proc/cpuinfo");
    std::string line;
    while (std::getline(info, line) && !line.empty()) {
        const std::string::size_type colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string key = line.substr(0, colon);
        key.erase(key.find_last_not_of(" \t") + 1);
        fields[key] = line.substr(std::min(line.size(), colon + 2));
    }
    auto field = [&fields](const char* key) {
        const auto found = fields.find(key);
        return found == fields.end() ? std::string("unknown") : found->second;
    };
    return "CPU: " + field("model name") + " (family " + field("cpu family") + ", model " + field("model") +
           ", stepping " + field("stepping") + ")";
#endif
}
} // namespace

int main(int argc, char** argv)
{
    bench::registerFeatureBenchmarks();
    bench::registerPrereqBenchmarks();
    bench::registerDiskSpaceBenchmarks();
    bench::registerVersionBenchmarks();
    bench::registerUtilityBenchmarks();

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%s\n", cpuLine().c_str());
    reporter.printTable();
    benchmark::Shutdown();
    return 0;
}
