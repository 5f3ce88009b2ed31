// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The history of runs: its rows, appending after damage, refusing files that would
// block, reporting a failure once, and daily means.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "stats/history.h"

namespace {

std::string TempFolder() {
    char pattern[] = "/tmp/clavelle-history-XXXXXX";
    return mkdtemp(pattern);
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

HistoryRow SampleRow(int64_t epoch, int32_t offset, int32_t speed, double errors, bool interrupted = false) {
    HistoryRow row;
    row.Epoch = epoch;
    row.UtcOffset = offset;
    row.Characters = 120;
    row.Errors = 3;
    row.DurationMs = 36000;
    row.Speed = speed;
    row.ErrorPercent = errors;
    row.Difficult = true;
    row.Interrupted = interrupted;
    return row;
}

// 2026-03-14T09:26:53+01:00
constexpr int64_t kPiDay = 1773476813;

}  // namespace

TEST(HistoryRows, FormatAndParseRoundTrip) {
    EXPECT_EQ(FormatHistoryRow(SampleRow(kPiDay, 3600, 40, 2.44)),
              "2026-03-14T09:26:53+01:00,120,3,36000,40,2.4,difficile,fin du texte\n");
    HistoryRow west = SampleRow(kPiDay, -(9 * 3600 + 30 * 60), 7, 0, true);
    west.Difficult = false;
    const std::string line = FormatHistoryRow(west);
    EXPECT_EQ(line, "2026-03-13T22:56:53-09:30,120,3,36000,7,0.0,normal,interruption\n");
    const HistoryContents parsed = ParseHistory(std::string(kHistoryHeader) + line);
    ASSERT_EQ(parsed.Rows.size(), 1u);
    EXPECT_EQ(parsed.Damaged, 0);
    EXPECT_EQ(parsed.Rows[0].Epoch, kPiDay);
    EXPECT_EQ(parsed.Rows[0].LocalDay(), DaysFromCivil(2026, 3, 13));
    EXPECT_TRUE(parsed.Rows[0].Interrupted);
    EXPECT_FALSE(parsed.Rows[0].Difficult);
}

TEST(HistoryRows, DamagedLinesAreSkippedAndCounted) {
    const std::string good = FormatHistoryRow(SampleRow(kPiDay, 3600, 40, 2.5));
    const std::string text = std::string(kHistoryHeader) + good + "\r\n" +  // blank line: not damage
                             "2026-03-14T09:26:53+01:00,120,3,36\n" +       // cut short
                             "2026-13-14T09:26:53+01:00,120,3,36000,40,2.5,difficile,fin du texte\n" +
                             "2026-03-14T09:26:53+01:00,120,3,36000,40,2.5,facile,fin du texte\n" +
                             "2026-03-14T09:26:53+01:00,-1,3,36000,40,2.5,normal,fin du texte\n" + good +
                             good.substr(0, good.size() - 4);  // a crash in the last row
    const HistoryContents parsed = ParseHistory(text);
    EXPECT_EQ(parsed.Rows.size(), 2u);
    EXPECT_EQ(parsed.Damaged, 5);
}

TEST(HistoryFile, AppendsWithHeaderAndKeepsDamageToOneRow) {
    const std::string path = TempFolder() + "/historique.csv";
    HistoryWriter writer(path);
    EXPECT_EQ(writer.Append(SampleRow(kPiDay, 3600, 40, 1)), "");
    {
        std::ofstream out(path, std::ios::app | std::ios::binary);
        out << "2026-03-14T09:2";  // a row cut by a crash
    }
    EXPECT_EQ(writer.Append(SampleRow(kPiDay + 60, 3600, 50, 2)), "");
    const std::string text = Slurp(path);
    EXPECT_TRUE(text.starts_with(kHistoryHeader));
    const HistoryReadResult read = ReadHistoryFile(path);
    ASSERT_EQ(read.Contents.Rows.size(), 2u);
    EXPECT_EQ(read.Contents.Damaged, 1);
    EXPECT_EQ(read.Contents.Rows[1].Speed, 50);
}

TEST(HistoryFile, UnwritableFileIsReportedOnceAndFifoNeverBlocks) {
    const std::string folder = TempFolder();
    const std::string fifo = folder + "/historique.csv";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    HistoryWriter writer(fifo);
    const std::string message = writer.Append(SampleRow(kPiDay, 0, 40, 1));
    EXPECT_NE(message.find(fifo), std::string::npos);
    EXPECT_NE(message.find("pas un fichier ordinaire"), std::string::npos);
    EXPECT_EQ(writer.Append(SampleRow(kPiDay, 0, 40, 1)), "");  // already said
    EXPECT_NE(ReadHistoryFile(fifo).Errno, 0);

    HistoryWriter missing(folder + "/absent/historique.csv");
    EXPECT_NE(missing.Append(SampleRow(kPiDay, 0, 40, 1)).find("introuvable"), std::string::npos);
    EXPECT_TRUE(ReadHistoryFile(folder + "/none.csv").Missing);
}

TEST(HistoryMeans, OneEntryPerLocalDayInOrder) {
    // Two runs on the 14th (local), one on the 13th entered after them.
    const std::vector<HistoryRow> rows = {SampleRow(kPiDay, 3600, 40, 2), SampleRow(kPiDay + 3600, 3600, 60, 4),
                                          SampleRow(kPiDay - 86400, 3600, 30, 1)};
    const std::vector<DailyMean> means = DailyMeans(rows);
    ASSERT_EQ(means.size(), 2u);
    EXPECT_EQ(means[0].Day, DaysFromCivil(2026, 3, 13));
    EXPECT_EQ(means[1].Runs, 2);
    EXPECT_DOUBLE_EQ(means[1].Speed, 50.0);
    EXPECT_DOUBLE_EQ(means[1].ErrorPercent, 3.0);
}
