// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Lexicon loading speed: LoadLexicon against a plain line-by-line read of the same three
// files, both timed by the thread's CPU clock: on a shared machine the wall clock also
// counts the time spent waiting for a CPU, which falls more often on the longer of the two
// and inflated the ratio (3.8 x on a busy machine for 2.0 x on a quiet one). The longest
// event gap is wall time, as the window sees it. Usage: lexicon_bench DATA_FOLDER
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/timing.h"
#include "common/io_error.h"
#include "lexicon/loader.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 15;

// The floor: std::getline over each file, touching every line.
std::size_t PlainRead(const std::string& dir) {
    std::size_t total = 0;
    for (const char* name : {kFemaleNamesFile, kMaleNamesFile, kDictionaryFile}) {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) total += line.size() + 1;
    }
    return total;
}

double VmRssMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DATA_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];

    LoadCallbacks noop;
    noop.SetProgressPosition = [](int) {};
    noop.ProcessEvents = [] {};

    // Loads and plain reads take turns, so that both meet the same load of the machine.
    std::vector<double> loads, plains;
    std::unique_ptr<Lexicon> lexicon;
    double rss = 0;
    std::size_t bytes = 0;
    try {
        for (int run = 0; run <= kRuns; ++run) {  // run 0 warms the file cache
            lexicon.reset();
            lexicon = std::make_unique<Lexicon>();  // fresh tables, as at start-up
            double start = bench::ThreadCpuMs();
            LoadLexicon(dir, *lexicon, noop);
            if (run > 0) loads.push_back(bench::ThreadCpuMs() - start);
            if (run == 0) rss = VmRssMb();

            start = bench::ThreadCpuMs();
            bytes = PlainRead(dir);
            if (run > 0) plains.push_back(bench::ThreadCpuMs() - start);
        }
    } catch (const IoError& e) {
        std::fprintf(stderr, "%s: %s\n", dir.c_str(), e.what());
        return 1;
    }

    // Longest time the window would go without handling its events during a load.
    double longestGap = 0;
    Clock::time_point last = Clock::now();
    LoadCallbacks pump;
    pump.ProcessEvents = [&] {
        Clock::time_point now = Clock::now();
        longestGap = std::max(longestGap, bench::Milliseconds(now - last));
        last = now;
    };
    pump.SetProgressPosition = [](int) {};
    lexicon = std::make_unique<Lexicon>();
    LoadLexicon(dir, *lexicon, pump);
    longestGap = std::max(longestGap, bench::Milliseconds(Clock::now() - last));

    double load = bench::Median(loads), plain = bench::Median(plains);
    std::printf("lexicon_load_ms %.1f ms\n", load);
    std::printf("lexicon_plain_read_ms %.1f ms\n", plain);
    std::printf("lexicon_load_ratio %.2f x\n", plain > 0 ? load / plain : 0.0);
    std::printf("rss_after_load_mb %.1f MB\n", rss);
    std::printf("lexicon_longest_event_gap_ms %.1f ms\n", longestGap);
    std::fprintf(stderr, "%d verbs, %d nouns, %d adjectives, %d+%d names; %zu bytes read plainly\n", lexicon->VerbCount,
                 lexicon->NounCount, lexicon->AdjectiveCount, lexicon->FemaleNameCount, lexicon->MaleNameCount, bytes);
    return 0;
}
