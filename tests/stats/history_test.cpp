// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The history of runs: its rows (old and new forms, whatever the locale), appending after
// damage or a full disk, refusing files that would block, reporting a failure once, and
// the chart's points read in blocks.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <algorithm>

#include "stats/history.h"
#include "support/test_support.h"

namespace {

std::string TempFolder() { return test_support::MakeTempFolder("clavelle-history"); }

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
const int32_t kPiDayNumber = DaysFromCivil(2026, 3, 14);

HistoryRow Parsed(std::string_view line) {
    HistoryRow row;
    EXPECT_TRUE(ParseHistoryRow(line, row)) << line;
    return row;
}

// Sets a locale for the scope when the system has it.
struct ScopedLocale {
    explicit ScopedLocale(const char* name) : old(std::setlocale(LC_ALL, nullptr)), set(std::setlocale(LC_ALL, name)) {}
    ~ScopedLocale() { std::setlocale(LC_ALL, old.c_str()); }
    std::string old;
    bool set;
};

}  // namespace

TEST(HistoryRows, FormatAndParseRoundTripWithAPointWhateverTheLocale) {
    ScopedLocale french("fr_FR.UTF-8");  // a comma as decimal separator, when installed
    EXPECT_EQ(FormatHistoryRow(SampleRow(kPiDay, 3600, 40, 2.44)),
              "2026-03-14T09:26:53+01:00,120,3,36000,40,2.4,difficile,fin du texte,fr\n");
    HistoryRow west = SampleRow(kPiDay, -(9 * 3600 + 30 * 60), 7, 0, true);
    west.Difficult = false;
    west.Layout = "fr(bepo)";
    const std::string line = FormatHistoryRow(west);
    EXPECT_EQ(line, "2026-03-13T22:56:53-09:30,120,3,36000,7,0.0,normal,interruption,fr(bepo)\n");
    const HistoryRow back = Parsed(std::string_view(line).substr(0, line.size() - 1));
    EXPECT_EQ(back.Epoch, kPiDay);
    EXPECT_EQ(back.LocalDay(), DaysFromCivil(2026, 3, 13));
    EXPECT_TRUE(back.Interrupted);
    EXPECT_FALSE(back.Difficult);
    EXPECT_EQ(back.Layout, "fr(bepo)");
    EXPECT_TRUE(back.LessonKey.empty());
}

TEST(HistoryRows, OldRowsCommaRowsAndLessonsRead) {
    // Before the layout column; then under a French locale, the rate written "8,3".
    const HistoryRow old = Parsed("2026-03-14T09:26:53+01:00,120,3,36000,40,2.5,normal,fin du texte");
    EXPECT_EQ(old.Layout, "fr");
    const HistoryRow comma = Parsed("2026-03-14T09:26:53+01:00,500,42,60000,42,8,3,normal,fin du texte");
    EXPECT_DOUBLE_EQ(comma.ErrorPercent, 8.3);
    EXPECT_EQ(comma.Speed, 42);
    EXPECT_EQ(comma.Layout, "fr");
    EXPECT_DOUBLE_EQ(Parsed("2026-03-14T09:26:53+01:00,0,9,60000,0,100,0,difficile,interruption").ErrorPercent, 100);

    HistoryRow lesson = SampleRow(kPiDay, 0, 30, 1);
    lesson.Layout = "ch(fr)";
    for (const std::string key : {"é", ",", "\"", "k"}) {
        lesson.LessonKey = key;
        const std::string line = FormatHistoryRow(lesson);
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 8) << line;
        EXPECT_EQ(line.find('"'), std::string::npos) << line;
        const HistoryRow back = Parsed(std::string_view(line).substr(0, line.size() - 1));
        EXPECT_EQ(back.LessonKey, key);
        EXPECT_EQ(back.Layout, "ch(fr)");
    }
    EXPECT_NE(FormatHistoryRow(lesson).find(",leçon k,fin du texte,"), std::string::npos);
    lesson.LessonKey = ",";
    EXPECT_NE(FormatHistoryRow(lesson).find(",leçon virgule,"), std::string::npos);

    // A passage of the user's own text; the next row read is no longer one.
    HistoryRow passage = SampleRow(kPiDay, 0, 30, 1);
    passage.OwnText = true;
    const std::string line = FormatHistoryRow(passage);
    EXPECT_NE(line.find(",texte,fin du texte,fr\n"), std::string::npos) << line;
    HistoryRow back = Parsed(std::string_view(line).substr(0, line.size() - 1));
    EXPECT_TRUE(back.OwnText);
    EXPECT_FALSE(back.Difficult);
    EXPECT_TRUE(ParseHistoryRow("2026-03-14T09:26:53+01:00,120,3,36000,40,2.5,normal,fin du texte", back));
    EXPECT_FALSE(back.OwnText);
}

TEST(HistoryRows, DamagedAndImplausibleLinesAreSkippedAndCounted) {
    const std::string good = FormatHistoryRow(SampleRow(kPiDay, 3600, 40, 2.5));
    const std::string text = std::string(kHistoryHeader) + good + "\r\n" +  // blank line: not damage
                             "2026-03-14T09:26:53+01:00,120,3,36\n" +       // cut short
                             "2026-13-14T09:26:53+01:00,120,3,36000,40,2.5,difficile,fin du texte\n" +
                             "2026-03-14T09:26:53+01:00,120,3,36000,40,2.5,facile,fin du texte\n" +
                             "2026-03-14T09:26:53+01:00,-1,3,36000,40,2.5,normal,fin du texte\n" +
                             "2026-03-14T09:26:53+01:00,120,3,36000,40,2.5,normal,fin du texte,a,b\n" +
                             "2026-03-14T09:26:53+01:00,120,3,36000,40,2.5,leçon ,fin du texte,fr\n" +
                             // Readable but untrue: too fast, tomorrow's tomorrow, the year 9999.
                             "2026-03-14T09:26:53+01:00,120,3,36000,2147483647,2.5,normal,fin du texte\n" +
                             "2026-03-14T09:26:53+01:00,120,3,36000,1001,2.5,normal,fin du texte\n" +
                             "2026-03-16T09:26:53+01:00,120,3,36000,40,2.5,normal,fin du texte\n" +
                             "9999-03-14T09:26:53+01:00,120,3,36000,40,2.5,normal,fin du texte\n" +
                             // Tomorrow is a clock's slack.
                             "2026-03-15T23:26:53+01:00,120,3,36000,1000,2.5,normal,fin du texte\n" + good +
                             good.substr(0, good.size() - 8) + "\n" +  // a crash in the last row
                             // Dates in UTC, whatever the length of the next field; no 31st of February.
                             "2026-03-14T08:26:53Z,1234,3,36000,40,2.5,normal,fin du texte,fr\n" +
                             "2024-02-29T08:26:53Z,1,3,36000,40,2.5,normal,fin du texte\n" +
                             "2026-02-31T09:26:53+01:00,120,3,36000,40,2.5,normal,fin du texte\n" +
                             "2025-02-29T09:26:53+01:00,120,3,36000,40,2.5,normal,fin du texte\n";
    const HistorySummary summary = ParseHistory(text, kPiDayNumber);
    EXPECT_EQ(Parsed("2026-03-14T08:26:53Z,1234,3,36000,40,2.5,normal,fin du texte,fr").Epoch, kPiDay);
    EXPECT_EQ(summary.Runs, 5);
    EXPECT_EQ(summary.Damaged, 9);
    EXPECT_EQ(summary.Implausible, 4);
    const ChartPoints recent = HistoryChartPoints(summary, ChartPeriod::Last30Days, ChartDetail::PerDay);
    ASSERT_EQ(recent.Points.size(), 2u);
    EXPECT_EQ(recent.Points[1].X, kPiDayNumber + 1);
    EXPECT_EQ(recent.Points[1].Speed, 1000);
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
    const HistoryReadResult read = ReadHistoryFile(path, kPiDayNumber);
    EXPECT_EQ(read.Summary.Runs, 2);
    EXPECT_EQ(read.Summary.Damaged, 1);
    EXPECT_EQ(HistoryChartPoints(read.Summary, ChartPeriod::AllTime, ChartDetail::PerRun).Points[1].Speed, 50);
}

TEST(HistoryFile, NoRowIsWrittenThatTheReaderRefuses) {
    const std::string path = TempFolder() + "/historique.csv";
    HistoryWriter writer(path);
    HistoryRow flood = HistoryRowNow(40000, 0, 60000, 3947, 0, false, false);
    EXPECT_EQ(writer.Append(flood), "");
    HistoryRow late = HistoryRowNow(120, 3, 36000, 40, 2.5, false, false);
    late.Epoch += 3 * 86400;
    EXPECT_EQ(writer.Append(late), "");
    EXPECT_FALSE(std::filesystem::exists(path));
    flood.Speed = 1000;
    EXPECT_EQ(writer.Append(flood), "");
    EXPECT_EQ(ReadHistoryFile(path).Summary.Runs, 1);
}

TEST(HistoryFile, TheRunsOfOneLayoutOrOfAll) {
    // An old row without the layout column counts as classic AZERTY, whose record fr(oss) shares.
    const std::string path = TempFolder() + "/historique.csv";
    std::ofstream(path, std::ios::binary) << "date_heure,caractères,erreurs,durée_ms,vitesse_mots_min,"
                                             "erreurs_pourcent,niveau,fin\n"
                                             "2026-03-13T10:00:00+01:00,300,27,60000,50,8,3,normal,fin du texte\n";
    HistoryWriter writer(path);
    for (const char* layout : {"fr", "fr(bepo)", "fr(oss)", "us", "fr(bepo)", "fr(us)"}) {
        HistoryRow row = SampleRow(kPiDay, 3600, 40, 1);
        row.Layout = layout;
        ASSERT_EQ(writer.Append(row), "");
    }
    std::ofstream(path, std::ios::binary | std::ios::app) << "2026-03-14T09:26:53+01:00,1,0,1,1001,0.0,normal,"
                                                             "fin du texte,fr(bepo)\n";
    // The runs shown, and the implausible ones left out, as "runs/left out".
    const auto runs = [&](const std::string& layout) {
        const HistorySummary& summary = ReadHistoryFile(path, kPiDayNumber, layout).Summary;
        return std::to_string(summary.Runs) + "/" + std::to_string(summary.Implausible);
    };
    EXPECT_EQ(runs(""), "7/1");
    EXPECT_EQ(runs("fr"), "3/0");
    EXPECT_EQ(runs("fr(latin9)"), "3/0");
    EXPECT_EQ(runs("fr(bepo)"), "2/1");
    EXPECT_EQ(runs("us"), "1/0");
}

TEST(HistoryFile, AnOldFileWithCommaRowsReadsWholeAndGainsNewRows) {
    const std::string path = TempFolder() + "/historique.csv";
    {
        std::ofstream out(path, std::ios::binary);
        out << "date_heure,caractères,erreurs,durée_ms,vitesse_mots_min,erreurs_pourcent,niveau,fin\n"
               "2026-03-13T10:00:00+01:00,300,27,60000,50,8,3,normal,fin du texte\n"
               "2026-03-13T10:05:00+01:00,300,0,60000,52,0,0,difficile,interruption\n";
    }
    EXPECT_EQ(HistoryWriter(path).Append(SampleRow(kPiDay, 3600, 55, 1.5)), "");
    const HistoryReadResult read = ReadHistoryFile(path, kPiDayNumber);
    EXPECT_EQ(read.Summary.Runs, 3);
    EXPECT_EQ(read.Summary.Ignored(), 0);
    const ChartPoints days = HistoryChartPoints(read.Summary, ChartPeriod::Last30Days, ChartDetail::PerDay);
    ASSERT_EQ(days.Points.size(), 2u);
    EXPECT_DOUBLE_EQ(days.Points[0].ErrorPercent, 4.15);
    EXPECT_DOUBLE_EQ(days.Points[1].Speed, 55);
}

TEST(HistoryFile, AFullDiskLeavesNoHalfRow) {
    const std::string path = TempFolder() + "/historique.csv";
    HistoryWriter writer(path);
    ASSERT_EQ(writer.Append(SampleRow(kPiDay, 3600, 40, 1)), "");
    const std::string before = Slurp(path);
    // A child whose file-size limit falls in the middle of the next row.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(before.size() + 20), rlim_t(before.size() + 20)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string message = HistoryWriter(path).Append(SampleRow(kPiDay, 3600, 50, 2));
        _exit(message.find("Disque plein : " + path) != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a message naming the full disk and the file";
    EXPECT_EQ(Slurp(path), before) << "the file cut back to its whole rows";
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
    const HistoryReadResult read = ReadHistoryFile(fifo);
    ASSERT_TRUE(read.Error);
    EXPECT_EQ(HistoryReadErrorText(*read.Error),
              "L'historique des séances ne peut pas être lu (Ce n'est pas un fichier ordinaire (dossier, tube ou "
              "périphérique) : " +
                  fifo + ").");

    HistoryWriter missing(folder + "/absent/historique.csv");
    EXPECT_NE(missing.Append(SampleRow(kPiDay, 0, 40, 1)).find("introuvable"), std::string::npos);
    EXPECT_TRUE(ReadHistoryFile(folder + "/none.csv").Missing);
}

TEST(HistoryFile, ReadInBlocksLikeAWholeText) {
    // Rows across many read blocks, a line longer than any row in the middle.
    std::string text(kHistoryHeader);
    HistoryRow row = SampleRow(kPiDay, 3600, 40, 2);
    for (int i = 0; i < 30000; ++i) {
        row.Speed = 20 + i % 50;
        text += FormatHistoryRow(row);
        if (i == 15000) text += std::string(70000, 'x') + "\n";
    }
    const std::string path = TempFolder() + "/historique.csv";
    std::ofstream(path, std::ios::binary) << text;
    const HistoryReadResult read = ReadHistoryFile(path, kPiDayNumber);
    const HistorySummary whole = ParseHistory(text, kPiDayNumber);
    EXPECT_EQ(read.Summary.Runs, 30000);
    EXPECT_EQ(read.Summary.Damaged, 1);
    EXPECT_EQ(whole.Runs, 30000);
    const ChartPoints points = HistoryChartPoints(read.Summary, ChartPeriod::AllTime, ChartDetail::PerRun);
    EXPECT_EQ(points.RunsPerPoint, 32);  // 30,000 runs in groups of a power of two, at most 1,000 points
    EXPECT_EQ(points.Points.size(), 938u);
    EXPECT_EQ(points.Points[1].X, 33);
    EXPECT_DOUBLE_EQ(points.Points[0].Speed, (20 + 51) / 2.0);
}

TEST(HistoryMeans, OneEntryPerLocalDayInOrder) {
    // Two runs on the 14th (local), one on the 13th entered after them, one 40 days before.
    HistorySummary summary(kPiDayNumber);
    for (const HistoryRow& row : {SampleRow(kPiDay, 3600, 40, 2), SampleRow(kPiDay + 3600, 3600, 60, 4),
                                  SampleRow(kPiDay - 86400, 3600, 30, 1), SampleRow(kPiDay - 40 * 86400, 3600, 10, 1)})
        summary.Add(row);
    const ChartPoints means = HistoryChartPoints(summary, ChartPeriod::Last30Days, ChartDetail::PerDay);
    ASSERT_EQ(means.Points.size(), 2u);
    EXPECT_EQ(means.Points[0].X, DaysFromCivil(2026, 3, 13));
    EXPECT_EQ(means.Runs, 3);
    EXPECT_DOUBLE_EQ(means.Points[1].Speed, 50.0);
    EXPECT_DOUBLE_EQ(means.Points[1].ErrorPercent, 3.0);
    EXPECT_EQ(HistoryChartPoints(summary, ChartPeriod::AllTime, ChartDetail::PerDay).Points.size(), 3u);
    EXPECT_EQ(HistoryChartPoints(summary, ChartPeriod::Last30Days, ChartDetail::PerRun).Runs, 3);
}
