// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/history.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "common/file_descriptor.h"
#include "common/file_io.h"

using namespace std::string_view_literals;

namespace {

constexpr std::string_view kDifficult = "difficile";
constexpr std::string_view kNormal = "normal";
constexpr std::string_view kLesson = "leçon ";
constexpr std::string_view kOwnText = "texte";
constexpr std::string_view kComma = "virgule";
constexpr std::string_view kQuote = "guillemet";
constexpr std::string_view kEndOfText = "fin du texte";
constexpr std::string_view kInterruption = "interruption";
constexpr std::size_t kMaxFieldBytes = 64;
constexpr int32_t kMaxPlausibleSpeed = 1000;  // words per minute; beyond, a row is not a run

int32_t FloorDiv(int64_t a, int64_t b) { return static_cast<int32_t>(a / b - (a % b < 0 ? 1 : 0)); }

bool Digits(std::string_view text, std::size_t at, std::size_t count, int32_t& value) {
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

int32_t DaysInMonth(int32_t year, int32_t month) {
    constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

// "YYYY-MM-DDTHH:MM:SS+HH:MM" (or "Z" for UTC).
bool ParseIso(std::string_view text, int64_t& epoch, int32_t& offset) {
    if (text.size() != 25 && text.size() != 20) return false;
    int32_t y, mo, d, h, mi, s;
    if (!Digits(text, 0, 4, y) || text[4] != '-' || !Digits(text, 5, 2, mo) || text[7] != '-' ||
        !Digits(text, 8, 2, d) || text[10] != 'T' || !Digits(text, 11, 2, h) || text[13] != ':' ||
        !Digits(text, 14, 2, mi) || text[16] != ':' || !Digits(text, 17, 2, s))
        return false;
    if (mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo) || h > 23 || mi > 59 || s > 60) return false;
    // Rows come day after day: the day number of the last date read serves again.
    thread_local char lastDate[10] = {};
    thread_local int32_t lastDays = 0;
    if (!std::equal(lastDate, lastDate + sizeof lastDate, text.begin())) {
        lastDays = DaysFromCivil(y, mo, d);
        std::memcpy(lastDate, text.data(), sizeof lastDate);
    }
    offset = 0;
    if (text.size() == 20) {
        if (text[19] != 'Z') return false;
    } else {
        int32_t oh, om;
        const char sign = text[19];
        if ((sign != '+' && sign != '-') || !Digits(text, 20, 2, oh) || text[22] != ':' || !Digits(text, 23, 2, om) ||
            oh > 18 || om > 59)
            return false;
        offset = (oh * 3600 + om * 60) * (sign == '-' ? -1 : 1);
    }
    epoch = int64_t(lastDays) * 86400 + h * 3600 + mi * 60 + s - offset;
    return true;
}

// A lesson's key as the file writes it, and back. The field never needs quoting: a
// comma and a double quote are written as words.
std::string LessonKeyField(std::string_view key) {
    if (key == ",") return std::string(kComma);
    if (key == "\"") return std::string(kQuote);
    std::string field(key.substr(0, kMaxFieldBytes));
    for (char& c : field)
        if (c == ',' || c == '"' || static_cast<unsigned char>(c) < 0x20) c = '?';
    return field;
}

bool ParseLessonKey(std::string_view field, std::string& key) {
    if (field.empty() || field.size() > kMaxFieldBytes) return false;
    for (char c : field)
        if (c == '"' || static_cast<unsigned char>(c) < 0x20) return false;
    key = field == kComma ? "," : field == kQuote ? "\"" : std::string(field);
    return true;
}

bool LayoutCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '(' || c == ')' ||
           c == '_' || c == '-' || c == '+' || c == ':' || c == '.';
}

std::string LayoutField(std::string_view layout) {
    if (layout.empty()) return std::string(kDefaultLayout);
    std::string field(layout.substr(0, kMaxFieldBytes));
    for (char& c : field)
        if (!LayoutCharacter(c)) c = '_';
    return field;
}

bool ParseLayout(std::string_view field, std::string& layout) {
    if (field.empty() || field.size() > kMaxFieldBytes) return false;
    for (char c : field)
        if (!LayoutCharacter(c)) return false;
    if (layout != field) layout.assign(field);
    return true;
}

}  // namespace

std::string LessonLevelText(std::string_view key) {
    std::string text(kLesson);
    text += LessonKeyField(key);
    return text;
}

int32_t DaysFromCivil(int32_t year, int32_t month, int32_t day) {
    // Howard Hinnant's days_from_civil.
    year -= month <= 2;
    const int32_t era = FloorDiv(year, 400);
    const int32_t yoe = year - era * 400;
    const int32_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int32_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int32_t HistoryRow::LocalDay() const { return FloorDiv(Epoch + UtcOffset, 86400); }

HistoryRow HistoryRowNow(int32_t characters, int32_t errors, int32_t durationMs, int32_t speed, double errorPercent,
                         bool difficult, bool interrupted) {
    HistoryRow row;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    row.Epoch = now;
    row.UtcOffset = static_cast<int32_t>(local.tm_gmtoff);
    row.Characters = characters;
    row.Errors = errors;
    row.DurationMs = durationMs;
    row.Speed = speed;
    row.ErrorPercent = errorPercent;
    row.Difficult = difficult;
    row.Interrupted = interrupted;
    return row;
}

int32_t LocalDayToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FloorDiv(int64_t(now) + local.tm_gmtoff, 86400);
}

std::string FormatIsoLocal(int64_t epoch, int32_t utcOffset) {
    const int64_t local = epoch + utcOffset;
    const int32_t days = FloorDiv(local, 86400);
    const int32_t seconds = static_cast<int32_t>(local - int64_t(days) * 86400);
    // civil_from_days
    const int32_t z = days + 719468;
    const int32_t era = FloorDiv(z, 146097);
    const int32_t doe = z - era * 146097;
    const int32_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int32_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int32_t mp = (5 * doy + 2) / 153;
    const int32_t d = doy - (153 * mp + 2) / 5 + 1;
    const int32_t m = mp < 10 ? mp + 3 : mp - 9;
    const int32_t y = yoe + era * 400 + (m <= 2);
    const int32_t offsetMinutes = (utcOffset < 0 ? -utcOffset : utcOffset) / 60;
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", y, m, d, seconds / 3600,
                  seconds / 60 % 60, seconds % 60, utcOffset < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60);
    return buffer;
}

std::string FormatHistoryRow(const HistoryRow& row) {
    // Numbers are written by to_chars, which follows no locale: always a point.
    char numbers[128];
    char* out = numbers;
    char* const end = numbers + sizeof numbers;
    for (const int32_t value : {row.Characters, row.Errors, row.DurationMs, row.Speed}) {
        *out++ = ',';
        out = std::to_chars(out, end, value).ptr;
    }
    *out++ = ',';
    const double percent = row.ErrorPercent >= 0 ? std::min(row.ErrorPercent, 100.0) : 0.0;
    out = std::to_chars(out, end, percent, std::chars_format::fixed, 1).ptr;
    *out++ = ',';
    std::string line = FormatIsoLocal(row.Epoch, row.UtcOffset);
    line.append(numbers, out);
    if (!row.LessonKey.empty()) {
        line += LessonLevelText(row.LessonKey);
    } else if (row.OwnText) {
        line += kOwnText;
    } else {
        line += row.Difficult ? kDifficult : kNormal;
    }
    line += ',';
    line += row.Interrupted ? kInterruption : kEndOfText;
    line += ',';
    line += LayoutField(row.Layout);
    line += '\n';
    return line;
}

bool ParseHistoryRow(std::string_view line, HistoryRow& row) {
    // Read from left to right, each byte once: millions of rows are read at each refresh.
    // "2026-03-14T09:26:53+01:00", or "2026-03-14T09:26:53Z": the character after the
    // seconds tells which.
    const std::size_t dateEnd = line.size() > 19 && line[19] == 'Z' ? 20 : 25;
    if (line.size() <= dateEnd || line[dateEnd] != ',' || !ParseIso(line.substr(0, dateEnd), row.Epoch, row.UtcOffset))
        return false;
    std::size_t at = dateEnd + 1;
    // Digits up to a comma, which is passed over; false when there are none or too many.
    auto digits = [&](int64_t& value, std::size_t& count) {
        value = 0;
        const std::size_t start = at;
        while (at < line.size() && line[at] >= '0' && line[at] <= '9' && at - start <= 12)
            value = value * 10 + (line[at++] - '0');
        count = at - start;
        return count > 0 && count <= 12;
    };
    auto count = [&](int32_t& value) {
        int64_t v;
        std::size_t n;
        if (!digits(v, n) || n > 10 || v > INT32_MAX || at >= line.size() || line[at] != ',') return false;
        value = int32_t(v);
        ++at;
        return true;
    };
    if (!count(row.Characters) || !count(row.Errors) || !count(row.DurationMs) || !count(row.Speed)) return false;
    // The error rate, with a point; "8,3" when an earlier version wrote it under a French
    // locale: no level starts with a digit, so digits after the comma are its decimals.
    static constexpr double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
    int64_t whole, fraction = 0;
    std::size_t wholeDigits, decimals = 0;
    if (!digits(whole, wholeDigits) || at + 1 >= line.size()) return false;
    if (line[at] == '.' || (line[at] == ',' && line[at + 1] >= '0' && line[at + 1] <= '9')) {
        ++at;
        if (at < line.size() && line[at] != ',' && !digits(fraction, decimals)) return false;
        if (wholeDigits + decimals > 12) return false;
    }
    if (at >= line.size() || line[at] != ',') return false;
    row.ErrorPercent = double(whole * int64_t(kPowers[decimals]) + fraction) / kPowers[decimals];
    if (row.ErrorPercent > 100.0) return false;
    std::string_view rest = line.substr(at + 1);
    // The level, the end, and the layout when the row has it.
    row.Difficult = false;
    row.OwnText = false;
    row.LessonKey.clear();
    auto take = [&rest](std::string_view word) {
        if (rest.size() < word.size() || !std::equal(word.begin(), word.end(), rest.begin())) return false;
        rest.remove_prefix(word.size());
        return true;
    };
    if (take(kDifficult)) {
        row.Difficult = true;
    } else if (take(kLesson)) {
        const std::size_t comma = rest.find(',');
        if (comma == std::string_view::npos || !ParseLessonKey(rest.substr(0, comma), row.LessonKey)) return false;
        rest.remove_prefix(comma);
    } else if (take(kOwnText)) {
        row.OwnText = true;
    } else if (!take(kNormal)) {
        return false;
    }
    if (!take(","sv)) return false;
    if (take(kInterruption))
        row.Interrupted = true;
    else if (take(kEndOfText))
        row.Interrupted = false;
    else
        return false;
    if (take(","sv)) return ParseLayout(rest, row.Layout);
    if (!rest.empty()) return false;
    if (row.Layout != kDefaultLayout) row.Layout = kDefaultLayout;
    return true;
}

bool ImplausibleRow(const HistoryRow& row, int32_t today) {
    const int32_t day = row.LocalDay();
    return day < 0 || day > today + 1 || row.Speed > kMaxPlausibleSpeed;
}

RowVerdict JudgeHistoryLine(std::string_view line, int32_t today, HistoryRow& row) {
    if (!ParseHistoryRow(line, row)) return RowVerdict::Damaged;
    return ImplausibleRow(row, today) ? RowVerdict::Implausible : RowVerdict::Run;
}

std::string HistoryReadErrorText(const IoError& error) {
    return "L'historique des séances ne peut pas être lu (" + IoErrorMessage(error) + ").";
}

std::string HistoryWriteErrorText(const IoError& error) {
    return "Impossible d'écrire l'historique des séances (" + IoErrorMessage(error) +
           "). Vos progrès restent enregistrés ; ce message ne sera plus affiché tant que l'historique ne pourra "
           "pas être écrit.";
}

bool HistoryWriter::Write(const HistoryRow& row) {
    std::string line = FormatHistoryRow(row);
    HistoryRow read;
    if (JudgeHistoryLine(std::string_view(line).substr(0, line.size() - 1), LocalDayToday(), read) != RowVerdict::Run)
        return false;
    NamingFile(path_, [&] {
        // Opened without blocking: a FIFO without a reader is refused at once instead of waiting.
        FileDescriptor fd(OpenRegularFile(path_, O_RDWR | O_APPEND | O_CREAT));
        struct stat info {};
        if (::fstat(fd.get(), &info) != 0) ThrowIoErrorFromErrno();
        std::string bytes;
        if (info.st_size == 0) {
            bytes = kHistoryHeader;
        } else {
            // A row cut short by a crash has no newline: start on a fresh line so that the
            // damage stays within that one row.
            char last = '\n';
            const ssize_t got = ::pread(fd.get(), &last, 1, info.st_size - 1);
            if (got < 0) ThrowIoErrorFromErrno();
            if (got == 0) throw IoError(kIoReadPastEnd);
            if (last != '\n') bytes = "\n";
        }
        bytes += line;
        // One write of the whole row: O_APPEND places it at the end in one piece, and a
        // short write is cut back so that no half row stays.
        AppendWhole(fd.get(), bytes.data(), bytes.size(), info.st_size);
        fd.Close();
    });
    return true;
}

std::string HistoryWriter::Append(const HistoryRow& row) {
    try {
        if (!Write(row)) return {};
    } catch (const IoError& error) {
        if (failureReported_) return {};
        failureReported_ = true;
        return HistoryWriteErrorText(error);
    }
    failureReported_ = false;
    return {};
}
