// What the transfer benchmarks share: a quiet status sink, an emulated machine, big files made
// in pieces, and the line each prints.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
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

// One run of one side: its time and, for a child process, its peak resident memory.
struct Sample {
    double seconds = 0;
    long peakKib = 0;       // 0: not measured
    double cpuSeconds = 0;  // 0: not measured
};

inline Sample Timed(const std::function<void()>& work) { return {SecondsOf(work), 0}; }

// The runs of both sides, pair by pair.
struct Pairs {
    std::vector<Sample> ours;
    std::vector<Sample> peer;
};

// Runs the two sides in turn for the given number of rounds, ours first in even rounds and the
// peer first in odd ones, so that on a shared machine both meet the same moments and neither
// always inherits the other's cache state.
inline void InTurn(int rounds, const std::function<void()>& ours,
                   const std::function<void()>& peer) {
    for (int i = 0; i < rounds; ++i) {
        if (i % 2 == 0) {
            ours();
            peer();
        } else {
            peer();
            ours();
        }
    }
}

// The samples of the two sides run in turn (InTurn); before (may be empty) runs ahead of every
// single run.
inline Pairs Alternate(int pairs, const std::function<Sample()>& ours,
                       const std::function<Sample()>& peer,
                       const std::function<void()>& before = nullptr) {
    Pairs result;
    const auto run = [&before](const std::function<Sample()>& side) {
        if (before) before();
        return side();
    };
    InTurn(
        pairs, [&] { result.ours.push_back(run(ours)); },
        [&] { result.peer.push_back(run(peer)); });
    return result;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Prints the median, min and max of a ratio over the pairs, and whether the median meets the goal
// (0: no goal): "name vs peer: time ratio median M (min A, max B) over N pairs (goal <= G: met)".
inline void PrintRatioLine(const char* name, const char* peerName, const char* what,
                           const std::vector<double>& ratios, double goal) {
    if (ratios.empty()) return;
    const double median = Median(ratios);
    std::printf("%s vs %s: %s ratio median %.3f (min %.3f, max %.3f) over %zu pairs", name,
                peerName, what, median, *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()), ratios.size());
    if (goal > 0) std::printf(" (goal <= %.2f: %s)", goal, median <= goal ? "met" : "MISSED");
    std::printf("\n");
}

// Prints the pairs' ratios of ours over the peer: time, and memory and CPU time where both sides
// measured them; then the median times. Lower is better.
inline void PrintPairs(const char* name, const char* peerName, const Pairs& pairs,
                       double timeGoal, double memoryGoal = 0, double cpuGoal = 0) {
    std::vector<double> time, memory, cpu, ours, peer;
    for (std::size_t i = 0; i < pairs.ours.size(); ++i) {
        const Sample& a = pairs.ours[i];
        const Sample& b = pairs.peer[i];
        time.push_back(a.seconds / b.seconds);
        ours.push_back(a.seconds);
        peer.push_back(b.seconds);
        if (a.peakKib > 0 && b.peakKib > 0) {
            memory.push_back(static_cast<double>(a.peakKib) / static_cast<double>(b.peakKib));
        }
        if (a.cpuSeconds > 0 && b.cpuSeconds > 0) cpu.push_back(a.cpuSeconds / b.cpuSeconds);
    }
    PrintRatioLine(name, peerName, "time", time, timeGoal);
    PrintRatioLine(name, peerName, "memory", memory, memoryGoal);
    PrintRatioLine(name, peerName, "CPU", cpu, cpuGoal);
    std::printf("%s vs %s: median times ours %.3f s, %s %.3f s\n", name, peerName, Median(ours),
                peerName, Median(peer));
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

// A child program's run as a sample: its time, peak memory and CPU time; throws unless it exited
// with 0.
inline Sample ChildSample(const std::vector<std::string>& argv) {
    const wi::test::ProgramRun run = RunChild(argv);
    return {run.seconds, run.peakMemoryKib, run.cpuSeconds};
}

}  // namespace wi::bench
