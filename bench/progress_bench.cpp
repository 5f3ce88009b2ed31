// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Save and load of the progress record: one write and one read of the whole block.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "stats/progress.h"

namespace {
double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
}  // namespace

int main() {
    char pattern[] = "/tmp/clavelle-bench-XXXXXX";
    std::string folder = mkdtemp(pattern);
    std::string path = folder + "/progression1_9.dat";
    ProgressRecord* record = ReserveProgress();
    for (int p = 1; p <= kKeyCount; ++p)
        for (int c = 1; c <= kKeyCount; ++c)
            for (int i = 0; i < kSampleCapacity; ++i) RecordKeyInterval(*record, p, c, 100 + (p * c + i) % 400);

    using Clock = std::chrono::steady_clock;
    std::vector<double> saves, loads;
    for (int run = 0; run < 15; ++run) {
        auto t0 = Clock::now();
        SaveProgressFile(*record, path);
        auto t1 = Clock::now();
        LoadProgressFile(*record, path);
        auto t2 = Clock::now();
        saves.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        loads.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
    }
    std::printf("progress_save_ms %.2f ms\n", Median(saves));
    std::printf("progress_load_ms %.2f ms\n", Median(loads));
    ReleaseProgress(record);
    unlink(path.c_str());
    rmdir(folder.c_str());
    return 0;
}
