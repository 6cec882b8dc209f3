// Helpers shared by the fuzz targets: splitting the input into texts and
// running an action on the simulated host in this process.
#pragma once

#include "hosting/SimulatedHost.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzing {

// The input cut at NUL bytes into at least count texts (missing ones empty),
// each widened from UTF-8.
inline std::vector<std::wstring> texts(const std::uint8_t* data, std::size_t size, std::size_t count)
{
    std::vector<std::wstring> out;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            out.push_back(hosting::widen(current));
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    out.push_back(hosting::widen(current));
    while (out.size() < count)
        out.emplace_back();
    return out;
}

// Runs an action; an exception that leaves it is part of its contract and
// recorded, anything else (a crash, a sanitizer report) ends the fuzzer.
inline hosting::RunRecord run(ActionEntry action, const hosting::HostModel& model)
{
    hosting::SimulatedHost host(model);
    host.run(action);
    return host.record();
}

} // namespace fuzzing
