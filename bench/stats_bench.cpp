// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed statistics (offscreen): reading a 1 GiB history (time and the memory the
// read adds), opening the window on a full record (every cell 128 samples) with the real
// lexicon and a 100,000-row history, and appending one row.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <unistd.h>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "app/stats_window.h"
#include "lexicon/loader.h"
#include "stats/history.h"

namespace {

// A figure of /proc/self/status, in MB.
double StatusMb(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0) return std::strtod(line.c_str() + std::strlen(field), nullptr) / 1024.0;
    return 0;
}

// Reads a history of 1 GiB (some 14 million rows, of the last two years), warm in the
// page cache: time, and how far the read raises the process's peak memory.
void HistoryReadFigures() {
    char folder[] = "/tmp/clavelle-history-bench-XXXXXX";
    if (!mkdtemp(folder)) return;
    const std::string path = std::string(folder) + "/" + kHistoryFileName;
    {
        std::ofstream out(path, std::ios::binary);
        out << kHistoryHeader;
        HistoryRow row = HistoryRowNow(300, 6, 60000, 50, 2.0, false, false);
        const int64_t now = row.Epoch;
        std::size_t written = kHistoryHeader.size();
        std::string block;
        for (int64_t i = 0; written < (std::size_t(1) << 30) - 4096; ++i) {
            row.Epoch = now - 2 * 365 * 86400 + i * 4;
            row.Speed = 20 + int32_t(i % 40);
            block += FormatHistoryRow(row);
            if (block.size() > (1 << 20)) {
                out << block;
                written += block.size();
                block.clear();
            }
        }
    }
    const double before = StatusMb("VmHWM:");  // the file just written is in the page cache
    QElapsedTimer timer;
    double best = 1e12;
    int64_t runs = 0;
    for (int i = 0; i < 3; ++i) {
        timer.restart();
        runs = ReadHistoryFile(path).Summary.Runs;
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("history_read_1gib_ms %.1f ms\n", best);
    std::printf("history_read_1gib_peak_mb %.1f MB\n", StatusMb("VmHWM:") - before);
    std::fprintf(stderr, "%lld runs read from 1 GiB\n", static_cast<long long>(runs));
    ::unlink(path.c_str());
    ::rmdir(folder);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: stats_bench DATA_DIR\n");
        return 1;
    }
    HistoryReadFigures();
    QApplication app(argc, argv);
    // Figures are printed with a point whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    auto lexicon = std::make_unique<Lexicon>();
    LoadLexicon(argv[1], *lexicon, {});

    std::unique_ptr<ProgressRecord, void (*)(ProgressRecord*)> record(ReserveProgress(), ReleaseProgress);
    std::mt19937 random(1);
    std::uniform_int_distribution<int> interval(60, 900);
    for (int previous = 1; previous <= kKeyCount; ++previous)
        for (int current = 1; current <= kKeyCount; ++current)
            for (int i = 0; i < kSampleCapacity; ++i) RecordKeyInterval(*record, previous, current, interval(random));

    char folder[] = "/tmp/clavelle-stats-bench-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string path = std::string(folder) + "/" + kHistoryFileName;
    {
        std::string text(kHistoryHeader);
        HistoryRow row = HistoryRowNow(300, 6, 60000, 50, 2.0, true, false);
        const int64_t now = row.Epoch;
        for (int i = 0; i < 100000; ++i) {
            row.Epoch = now - int64_t(100000 - i) * 900;
            row.Speed = 20 + i % 40;
            text += FormatHistoryRow(row);
        }
        std::ofstream(path, std::ios::binary) << text;
    }

    // From nothing to the window drawn on screen, as the first F2 does.
    QElapsedTimer timer;
    timer.start();
    StatsWindow window(*record, *lexicon, path);
    window.Refresh();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    window.repaint();
    std::printf("stats_window_open_ms %.1f ms\n", double(timer.nsecsElapsed()) / 1e6);
    timer.restart();
    window.Refresh();
    window.repaint();
    std::printf("stats_window_refresh_ms %.1f ms\n", double(timer.nsecsElapsed()) / 1e6);

    // The chart of all 100,000 runs, drawn.
    timer.restart();
    window.Tabs->setCurrentIndex(2);
    window.PeriodBox->setCurrentIndex(1);
    window.repaint();
    std::printf("stats_chart_all_runs_ms %.1f ms\n", double(timer.nsecsElapsed()) / 1e6);

    HistoryWriter writer(path);
    const HistoryRow row = HistoryRowNow(300, 6, 60000, 50, 2.0, true, false);
    double best = 1e9;
    for (int i = 0; i < 200; ++i) {
        timer.restart();
        if (!writer.Append(row).empty()) return 1;
        best = std::min(best, double(timer.nsecsElapsed()) / 1e3);
    }
    std::printf("history_append_us %.1f us\n", best);
    window.close();
    ::unlink(path.c_str());
    ::rmdir(folder);
    return 0;
}
