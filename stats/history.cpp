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
#include <map>

#include "common/file_descriptor.h"

namespace {

constexpr std::string_view kDifficult = "difficile";
constexpr std::string_view kNormal = "normal";
constexpr std::string_view kEndOfText = "fin du texte";
constexpr std::string_view kInterruption = "interruption";
constexpr int kColumnCount = 8;
constexpr off_t kMaxHistoryBytes = off_t(1) << 30;

int32_t FloorDiv(int64_t a, int64_t b) { return static_cast<int32_t>(a / b - (a % b < 0 ? 1 : 0)); }

// Reads an unsigned decimal integer that fills the whole field.
bool ParseCount(std::string_view field, int32_t& value) {
    if (field.empty() || field.size() > 10) return false;
    int64_t v = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > INT32_MAX) return false;
    value = static_cast<int32_t>(v);
    return true;
}

// "12.5": digits, a point, one or more digits.
bool ParsePercent(std::string_view field, double& value) {
    if (field.empty() || field.size() > 12) return false;
    for (char c : field)
        if ((c < '0' || c > '9') && c != '.') return false;
    auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    return ec == std::errc() && end == field.data() + field.size() && value <= 100.0;
}

bool Digits(std::string_view text, std::size_t at, std::size_t count, int32_t& value) {
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// "YYYY-MM-DDTHH:MM:SS+HH:MM" (or "Z" for UTC).
bool ParseIso(std::string_view text, int64_t& epoch, int32_t& offset) {
    if (text.size() != 25 && text.size() != 20) return false;
    int32_t y, mo, d, h, mi, s;
    if (!Digits(text, 0, 4, y) || text[4] != '-' || !Digits(text, 5, 2, mo) || text[7] != '-' ||
        !Digits(text, 8, 2, d) || text[10] != 'T' || !Digits(text, 11, 2, h) || text[13] != ':' ||
        !Digits(text, 14, 2, mi) || text[16] != ':' || !Digits(text, 17, 2, s))
        return false;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 60) return false;
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
    epoch = int64_t(DaysFromCivil(y, mo, d)) * 86400 + h * 3600 + mi * 60 + s - offset;
    return true;
}

bool ParseRow(std::string_view line, HistoryRow& row) {
    std::string_view fields[kColumnCount];
    int n = 0;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = line.find(',', start);
        if (n == kColumnCount) return false;
        fields[n++] = line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (n != kColumnCount) return false;
    if (!ParseIso(fields[0], row.Epoch, row.UtcOffset) || !ParseCount(fields[1], row.Characters) ||
        !ParseCount(fields[2], row.Errors) || !ParseCount(fields[3], row.DurationMs) ||
        !ParseCount(fields[4], row.Speed) || !ParsePercent(fields[5], row.ErrorPercent))
        return false;
    if (fields[6] == kDifficult)
        row.Difficult = true;
    else if (fields[6] == kNormal)
        row.Difficult = false;
    else
        return false;
    if (fields[7] == kInterruption)
        row.Interrupted = true;
    else if (fields[7] == kEndOfText)
        row.Interrupted = false;
    else
        return false;
    return true;
}

const char* ReasonText(int err) {
    switch (err) {
        case ENOSPC:
        case EDQUOT: return "le disque est plein";
        case EACCES:
        case EPERM: return "l'accès est refusé";
        case EROFS: return "le disque est en lecture seule";
        case EISDIR:
        case EINVAL:
        case ENXIO: return "ce n'est pas un fichier ordinaire";
        case ENOENT:
        case ENOTDIR: return "le dossier est introuvable";
        default: return nullptr;
    }
}

}  // namespace

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
    char numbers[96];
    const double percent = row.ErrorPercent < 0 ? 0.0 : row.ErrorPercent > 100 ? 100.0 : row.ErrorPercent;
    std::snprintf(numbers, sizeof numbers, ",%d,%d,%d,%d,%.1f,", row.Characters, row.Errors, row.DurationMs, row.Speed,
                  percent);
    std::string line = FormatIsoLocal(row.Epoch, row.UtcOffset);
    line += numbers;
    line += row.Difficult ? kDifficult : kNormal;
    line += ',';
    line += row.Interrupted ? kInterruption : kEndOfText;
    line += '\n';
    return line;
}

HistoryContents ParseHistory(std::string_view text) {
    HistoryContents contents;
    contents.Rows.reserve(text.size() / 64 + 1);
    const std::string_view headerStart = kHistoryHeader.substr(0, kHistoryHeader.find(','));
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.starts_with(headerStart)) continue;
        HistoryRow row;
        if (ParseRow(line, row))
            contents.Rows.push_back(row);
        else
            ++contents.Damaged;
    }
    return contents;
}

HistoryReadResult ReadHistoryFile(const std::string& path) {
    HistoryReadResult result;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            result.Missing = true;
        else
            result.Errno = errno;
        return result;
    }
    struct stat info;
    if (::fstat(fd.get(), &info) != 0) {
        result.Errno = errno;
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.Errno = EINVAL;
        return result;
    }
    // Millions of runs fit well below this; anything larger is not a history.
    if (info.st_size > kMaxHistoryBytes) {
        result.Errno = EFBIG;
        return result;
    }
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::read(fd.get(), text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            result.Errno = errno;
            return result;
        }
        if (got == 0) break;
        done += std::size_t(got);
    }
    text.resize(done);
    result.Contents = ParseHistory(text);
    return result;
}

std::string HistoryWriteErrorText(const std::string& path, int err) {
    std::string text = "Impossible d'écrire l'historique des séances dans le fichier « " + path + " »";
    if (const char* reason = ReasonText(err)) {
        text += " : ";
        text += reason;
    } else {
        text += " (erreur système " + std::to_string(err) + ")";
    }
    text +=
        ". Vos progrès restent enregistrés ; ce message ne sera plus affiché tant que l'historique ne pourra "
        "pas être écrit.";
    return text;
}

int HistoryWriter::Write(const HistoryRow& row) {
    // Non-blocking open: a FIFO without a reader fails at once instead of waiting.
    FileDescriptor fd(::open(path_.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644));
    if (fd.get() < 0) return errno;
    struct stat info;
    if (::fstat(fd.get(), &info) != 0) return errno;
    if (!S_ISREG(info.st_mode)) return EINVAL;
    std::string bytes;
    if (info.st_size == 0) {
        bytes = kHistoryHeader;
    } else {
        // A row cut short by a crash has no newline: start on a fresh line so that the
        // damage stays within that one row.
        char last = '\n';
        if (::pread(fd.get(), &last, 1, info.st_size - 1) != 1) return errno ? errno : EIO;
        if (last != '\n') bytes = "\n";
    }
    bytes += FormatHistoryRow(row);
    // One write of the whole row: O_APPEND places it at the end in one piece.
    ssize_t written;
    do {
        written = ::write(fd.get(), bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    if (written < 0) return errno;
    if (std::size_t(written) != bytes.size()) return ENOSPC;
    return 0;
}

std::string HistoryWriter::Append(const HistoryRow& row) {
    const int err = Write(row);
    if (err == 0) {
        failureReported_ = false;
        return {};
    }
    if (failureReported_) return {};
    failureReported_ = true;
    return HistoryWriteErrorText(path_, err);
}

std::vector<DailyMean> DailyMeans(const std::vector<HistoryRow>& rows) {
    struct Sum {
        double Speed = 0, Errors = 0;
        int32_t Runs = 0;
    };
    std::map<int32_t, Sum> days;
    for (const HistoryRow& row : rows) {
        Sum& sum = days[row.LocalDay()];
        sum.Speed += row.Speed;
        sum.Errors += row.ErrorPercent;
        ++sum.Runs;
    }
    std::vector<DailyMean> means;
    means.reserve(days.size());
    for (const auto& [day, sum] : days) means.push_back({day, sum.Speed / sum.Runs, sum.Errors / sum.Runs, sum.Runs});
    return means;
}
