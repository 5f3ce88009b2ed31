// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The history of judged runs: one row per finished or interrupted run in "historique.csv"
// (UTF-8, comma-separated, a header row, numbers with a point whatever the locale). Rows
// are appended with one write each, and a failed write is cut back, so the file keeps
// whole rows; the reader skips and counts damaged rows. The file is read in blocks into
// what the progress chart needs, so a history of any length is read in bounded memory.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/io_error.h"

inline constexpr const char* kHistoryFileName = "historique.csv";
inline constexpr std::string_view kHistoryHeader =
    "date_heure,caractères,erreurs,durée_ms,vitesse_mots_min,erreurs_pourcent,niveau,fin,disposition\n";
// The layout of rows written before the layout column.
inline constexpr std::string_view kDefaultLayout = "fr";

struct HistoryRow {
    int64_t Epoch = 0;       // seconds since 1970-01-01 UTC
    int32_t UtcOffset = 0;   // seconds east of UTC at that moment
    int32_t Characters = 0;  // correct characters typed
    int32_t Errors = 0;      // wrong keys
    int32_t DurationMs = 0;
    int32_t Speed = 0;          // words of 6 characters per minute
    double ErrorPercent = 0.0;  // one decimal in the file
    bool Difficult = false;     // "Niveau difficile" was checked
    bool Interrupted = false;   // ended by the interruption rather than the end of the text
    // A lesson of the typing course: its focus key (one character, UTF-8); empty for a
    // plain run. Written in "niveau" as "leçon <key>" ("leçon virgule", "leçon guillemet").
    std::string LessonKey;
    // A passage of the user's own text ("Vos textes"): written "texte" in "niveau".
    bool OwnText = false;
    // The keyboard layout the run was typed on, as XKB names it: "fr", "fr(bepo)", "ch(fr)".
    std::string Layout = std::string(kDefaultLayout);

    // Day number (days since 1970-01-01) of the local date of the run.
    int32_t LocalDay() const;
};

// The `niveau` of a lesson whose focus is this key (UTF-8): "leçon é", with the characters
// that would break a comma-separated row spelled out ("leçon virgule").
std::string LessonLevelText(std::string_view key);

// A row stamped with the present local time.
HistoryRow HistoryRowNow(int32_t characters, int32_t errors, int32_t durationMs, int32_t speed, double errorPercent,
                         bool difficult, bool interrupted);

// Day number of today's local date.
int32_t LocalDayToday();

// "2026-03-14T09:26:53+01:00"
std::string FormatIsoLocal(int64_t epoch, int32_t utcOffset);
// The row as a line of the file, newline included.
std::string FormatHistoryRow(const HistoryRow& row);

// Reads one line (without its line end) into row; false when it is not a valid row.
// Accepted: rows with or without the layout column, and rows whose error rate an earlier
// version wrote with a comma under a French locale ("...,42,8,3,normal,fin du texte").
bool ParseHistoryRow(std::string_view line, HistoryRow& row);

// A row that reads but cannot be true: dated before 1970 or after tomorrow (a day of
// slack for a clock set a little ahead), or faster than 1,000 words per minute. Skipped
// rows also keep the memory of a summary bounded: one entry per day up to tomorrow.
bool ImplausibleRow(const HistoryRow& row, int32_t today);

// What the reader makes of a line (without its line end), read into row: a run it
// counts, a line that is not a row, or a row whose figures cannot be true. The writer
// asks the same of every row before writing it, so it never writes a row the reader
// refuses.
enum class RowVerdict { Run, Damaged, Implausible };
RowVerdict JudgeHistoryLine(std::string_view line, int32_t today, HistoryRow& row);

inline constexpr int kMaxChartPoints = 1000;  // beyond, consecutive runs are averaged in groups
inline constexpr int kRecentDays = 30;

enum class ChartPeriod { Last30Days, AllTime };
enum class ChartDetail { PerRun, PerDay };

struct ChartPoint {
    double X = 0;  // per run: number of the first run of the point (from 1); per day: day number
    double Speed = 0;
    double ErrorPercent = 0;
};

// Consecutive runs averaged in equal groups (a power of two runs each; the last group may
// be shorter), at most kMaxChartPoints of them, gathered one run at a time.
class RunGroups {
public:
    void Add(double speed, double errorPercent);
    int64_t Runs() const { return runs_; }
    int64_t RunsPerGroup() const { return size_; }
    std::vector<ChartPoint> Points() const;

private:
    struct Sum {
        double Speed = 0, Errors = 0;
        int64_t Runs = 0;
    };
    std::vector<Sum> groups_;
    int64_t size_ = 1;
    int64_t runs_ = 0;
};

struct DaySum {
    double Speed = 0, Errors = 0;
    int64_t Runs = 0;
};

// What the chart needs of a history, gathered row by row in file order: every run, or
// only the runs typed on `layout` ("fr(bepo)") and on the layouts that share its record
// ("fr" and "fr(oss)"; a row without the layout column counts as "fr"). Rows of other
// layouts are passed over, neither counted nor ignored.
struct HistorySummary {
    explicit HistorySummary(int32_t today = LocalDayToday(), const std::string& layout = {});
    void Add(const HistoryRow& row);
    // Reads one line; a line that is not a row counts as damaged, the header and blank lines aside.
    void AddLine(std::string_view line);
    int64_t Ignored() const { return Damaged + Implausible; }

    int32_t Today;
    int64_t Runs = 0;         // valid rows
    int64_t Damaged = 0;      // lines that are not a row
    int64_t Implausible = 0;  // rows whose figures cannot be true, left out
    RunGroups AllRuns;
    RunGroups RecentRuns;      // runs of the last 30 days (tomorrow included)
    std::vector<DaySum> Days;  // by day number, up to the last day with runs

private:
    bool Counts(const std::string& layout);  // a run of the layout shown
    void AddRun(const HistoryRow& row);      // a plausible row
    void CountImplausible(const HistoryRow& row);
    std::string record_;  // the record of the layout shown; empty: every layout
    std::string lastLayout_;
    bool lastCounts_ = false;
};

// The points of the chart: per run (grouped beyond 1,000 runs) or daily means, over the
// last 30 days or since the beginning.
struct ChartPoints {
    std::vector<ChartPoint> Points;
    int64_t Runs = 0;  // runs the points stand for
    int64_t RunsPerPoint = 1;
};
ChartPoints HistoryChartPoints(const HistorySummary& summary, ChartPeriod period, ChartDetail detail);

// Summary of a whole text (tests, small files).
HistorySummary ParseHistory(std::string_view text, int32_t today = LocalDayToday());

struct HistoryReadResult {
    HistorySummary Summary;
    bool Missing = false;          // no file yet
    std::optional<IoError> Error;  // the file exists but could not be read
};
// Reads the history into a summary of every run, or of the runs of `layout` (see HistorySummary).
HistoryReadResult ReadHistoryFile(const std::string& path, int32_t today = LocalDayToday(),
                                  const std::string& layout = {});

// The message for a history that cannot be read (UTF-8).
std::string HistoryReadErrorText(const IoError& error);

// Appends rows to the history file. A file that cannot be written is reported once:
// Append returns a French message (UTF-8) for the first failure and after that stays
// silent until a row is written again. The file is opened without blocking and must be
// a regular file, so a FIFO or device in its place cannot hang the program.
class HistoryWriter {
public:
    explicit HistoryWriter(std::string path) : path_(std::move(path)) {}

    // Returns an empty string when the row was written or the failure was already reported.
    // A row that the reader would refuse (JudgeHistoryLine: 3,947 words a minute from a
    // flood of keys) is not written, and is no failure.
    std::string Append(const HistoryRow& row);
    const std::string& Path() const { return path_; }

private:
    // False for a row the reader would refuse; throws IoError naming the file.
    bool Write(const HistoryRow& row);

    std::string path_;
    bool failureReported_ = false;
};

// The message for a failure to write the history file (UTF-8).
std::string HistoryWriteErrorText(const IoError& error);

// Days since 1970-01-01 of a civil date.
int32_t DaysFromCivil(int32_t year, int32_t month, int32_t day);
