// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed statistics (offscreen): opening the window on a full record (every cell
// 128 samples) with the real lexicon and a 100,000-row history, and appending one row.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "app/stats_window.h"
#include "lexicon/loader.h"
#include "stats/history.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: stats_bench DATA_DIR\n");
        return 1;
    }
    QApplication app(argc, argv);
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
