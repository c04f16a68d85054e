// What the transfer benchmarks share: a quiet status sink, an emulated machine, big files made
// in pieces, and the line each prints.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/peers.h"
#include "webinteractive/status.h"

namespace wi::bench {

inline void SilenceStatus() {
    IHelperInc::SetStatusSink([](const char*, void*) {}, nullptr);
}

// Writes size bytes of a repeating, not all-zero pattern, one MiB at a time.
inline void WritePatternFile(const std::string& hostPath, std::uint64_t size) {
    std::vector<char> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<char>((i * 131) ^ (i >> 9));
    }
    std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
    for (std::uint64_t left = size; left > 0;) {
        const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
        out.write(block.data(), static_cast<std::streamsize>(piece));
        left -= piece;
    }
}

// Writes dirty pages back, so that a run does not pay for the one before it.
inline void FlushDisks() { std::system("sync"); }

template <typename Work>
double SecondsOf(Work work) {
    const auto started = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

// "name: ours X s, curl Y s, ratio Z (goal ...)"
inline void PrintRatio(const char* name, double ours, double curl, double ratio, const char* goal) {
    std::printf("%s: ours %.3f s, curl %.3f s, ratio %.3f (goal %s)\n", name, ours, curl, ratio,
                goal);
    std::fflush(stdout);
}

// Runs a child program to its end; throws unless it exited with 0. The measures of its run.
inline wi::test::ProgramRun RunChild(const std::vector<std::string>& argv) {
    const wi::test::ProgramRun run = wi::test::RunProgram(argv);
    if (run.exitCode != 0) {
        std::string command;
        for (const std::string& word : argv) command += (command.empty() ? "" : " ") + word;
        throw std::runtime_error(command + " failed with exit code " +
                                 std::to_string(run.exitCode));
    }
    return run;
}

}  // namespace wi::bench
