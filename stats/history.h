// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The history of judged runs: one row per finished or interrupted run in "historique.csv"
// (UTF-8, comma-separated, a header row). Rows are appended with one write each, so a
// crash can damage at most the last row; the reader skips and counts damaged rows.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kHistoryFileName = "historique.csv";
inline constexpr std::string_view kHistoryHeader =
    "date_heure,caractères,erreurs,durée_ms,vitesse_mots_min,erreurs_pourcent,niveau,fin\n";

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

    // Day number (days since 1970-01-01) of the local date of the run.
    int32_t LocalDay() const;
};

// A row stamped with the present local time.
HistoryRow HistoryRowNow(int32_t characters, int32_t errors, int32_t durationMs, int32_t speed, double errorPercent,
                         bool difficult, bool interrupted);

// "2026-03-14T09:26:53+01:00"
std::string FormatIsoLocal(int64_t epoch, int32_t utcOffset);
// The row as a line of the file, newline included.
std::string FormatHistoryRow(const HistoryRow& row);

struct HistoryContents {
    std::vector<HistoryRow> Rows;  // in file order
    int32_t Damaged = 0;           // lines that are not a valid row, skipped
};
// Parses a whole file. The header and blank lines are passed over; any other line that
// is not a valid row is counted as damaged.
HistoryContents ParseHistory(std::string_view text);

struct HistoryReadResult {
    HistoryContents Contents;
    bool Missing = false;  // no file yet
    int Errno = 0;         // the file exists but could not be read
};
HistoryReadResult ReadHistoryFile(const std::string& path);

// Appends rows to the history file. A file that cannot be written is reported once:
// Append returns a French message (UTF-8) for the first failure and after that stays
// silent until a row is written again. The file is opened without blocking and must be
// a regular file, so a FIFO or device in its place cannot hang the program.
class HistoryWriter {
public:
    explicit HistoryWriter(std::string path) : path_(std::move(path)) {}

    // Returns an empty string when the row was written or the failure was already reported.
    std::string Append(const HistoryRow& row);
    const std::string& Path() const { return path_; }

private:
    // 0 on success, otherwise the errno of the failure.
    int Write(const HistoryRow& row);

    std::string path_;
    bool failureReported_ = false;
};

// The message for a failure to write the history file (UTF-8).
std::string HistoryWriteErrorText(const std::string& path, int err);

// Mean speed and error rate of the runs of one local day.
struct DailyMean {
    int32_t Day = 0;  // days since 1970-01-01
    double Speed = 0.0;
    double ErrorPercent = 0.0;
    int32_t Runs = 0;
};
// One entry per day that has runs, in day order.
std::vector<DailyMean> DailyMeans(const std::vector<HistoryRow>& rows);

// Days since 1970-01-01 of a civil date.
int32_t DaysFromCivil(int32_t year, int32_t month, int32_t day);
