// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/progress.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <utility>

#include "common/file_descriptor.h"
#include "common/file_io.h"
#include "common/io_error.h"
#include "common/safe_file.h"
#include "keyboard/layout.h"

ProgressRecord* ReserveProgress() {
    void* block = std::calloc(1, sizeof(ProgressRecord));
    if (!block) throw std::bad_alloc();
    return static_cast<ProgressRecord*>(block);
}

void ReleaseProgress(ProgressRecord* record) { std::free(record); }

void RecordKeyInterval(ProgressRecord& record, int previousKey, int currentKey, int32_t intervalMs) {
    if (previousKey < 1 || previousKey > kKeyCount || currentKey < 1 || currentKey > kKeyCount) return;
    KeyPairStats& cell = record.Cell(previousKey, currentKey);
    uint16_t value = static_cast<uint16_t>(intervalMs < 0                    ? 0
                                           : intervalMs > kMaxStoredInterval ? kMaxStoredInterval
                                                                             : intervalMs);
    if (cell.Count >= kSampleCapacity) {
        cell.Count = kSampleCapacity;
        std::memmove(cell.Times, cell.Times + 1, sizeof(uint16_t) * (kSampleCapacity - 1));
        cell.Times[kSampleCapacity - 1] = value;
    } else {
        cell.Times[cell.Count] = value;
        ++cell.Count;
    }
}

namespace {
// Sum and number of the samples below the ceiling.
std::pair<int32_t, int32_t> CountedSum(const KeyPairStats& cell) {
    const int count = cell.Count > kSampleCapacity ? kSampleCapacity : cell.Count;
    int32_t sum = 0;
    int32_t counted = 0;
    for (int t = 0; t < count; ++t) {
        if (cell.Times[t] >= kMaxStoredInterval) continue;
        sum += cell.Times[t];
        ++counted;
    }
    return {sum, counted};
}
}  // namespace

int32_t MeanInterval(const KeyPairStats& cell) {
    const auto [sum, counted] = CountedSum(cell);
    return counted > 0 ? sum / counted : kNoMean;
}

int32_t CountedSamples(const KeyPairStats& cell) { return CountedSum(cell).second; }

void ComputeMeans(const ProgressRecord& record, MeanTable& table) {
    for (int p = 0; p <= kKeyCount; ++p)
        for (int c = 0; c <= kKeyCount; ++c) table.Means[p][c] = kNoMean;
    for (int p = 1; p <= kKeyCount; ++p)
        for (int c = 1; c <= kKeyCount; ++c) table.Means[p][c] = MeanInterval(record.Cell(p, c));
}

PairMeanSum SumPairMeans(const MeanTable& means, std::string_view text) {
    PairMeanSum total;
    if (text.empty()) return total;
    const std::array<uint8_t, 256>& keyOfChar = ActiveLayout().KeyOfChar();
    int previous = keyOfChar[static_cast<unsigned char>(text[0])];
    for (std::size_t i = 1; i < text.size(); ++i) {
        const int current = keyOfChar[static_cast<unsigned char>(text[i])];
        const int32_t mean = means.Means[previous][current];  // kNoMean for key 0 or no samples
        if (mean != kNoMean) {
            total.Sum += mean;
            ++total.Pairs;
        }
        previous = current;
    }
    return total;
}

void SaveProgressFile(const ProgressRecord& record, const std::string& path) {
    NamingFile(path, [&] { SaveFileSafely(path, &record, sizeof(ProgressRecord)); });
}

void LoadProgressFile(ProgressRecord& record, const std::string& path) {
    FileDescriptor file(OpenRegularFile(path, O_RDONLY));
    // Read into a scratch block so that a short file leaves the record untouched.
    std::unique_ptr<ProgressRecord, void (*)(ProgressRecord*)> scratch(ReserveProgress(), ReleaseProgress);
    NamingFile(path, [&] {
        ReadExactly(file.get(), scratch.get(), sizeof(ProgressRecord));
        file.Close();
    });
    for (auto& row : scratch->Cells)
        for (auto& cell : row)
            if (cell.Count > kSampleCapacity) cell.Count = kSampleCapacity;
    std::memcpy(&record, scratch.get(), sizeof(ProgressRecord));
}

void ProgressKeeper::SaveProgress() {
    if (StartupPending) return;
    // A file that could not be read, nor set aside, is never overwritten; every save
    // says so again.
    if (!ready_) {
        if (loadError_) throw *loadError_;
        return;
    }
    SaveProgressFile(record_, path_);
}

void ProgressKeeper::LoadProgress() {
    LoadProgressFile(record_, path_);
    ready_ = true;
    loadError_.reset();
}

namespace {

// Failures that say the file itself is at fault, which a fresh file cures. A file that
// cannot be opened for want of permission is left where it is: its data may be whole.
bool FileIsDamaged(int code) {
    return code == kIoReadPastEnd || code == kIoNotRegularFile || code == EIO || code == EISDIR;
}

}  // namespace

void ProgressKeeper::PrepareProgress(const std::function<void(const std::string&)>& tell) {
    RemoveLeftTemporaries(ResolveLinks(path_));
    struct stat info {};
    if (::stat(path_.c_str(), &info) == 0 || errno != ENOENT) {
        try {
            LoadProgress();
            return;
        } catch (const IoError& error) {
            loadError_ = error;
            if (!FileIsDamaged(error.code())) throw;
        }
        std::string aside;
        try {
            aside = SetFileAside(ResolveLinks(path_), "endommagé");
        } catch (const IoError&) {
            throw *loadError_;
        }
        const IoError cause = *loadError_;
        loadError_.reset();
        if (tell) {
            std::string message;
            message += "Le fichier de progression n'a pas pu être lu (";
            message += IoErrorMessage(cause);
            message += ").\r\nIl a été mis de côté, sans être effacé, sous le nom :\r\n";
            message += aside;
            message += "\r\nVos statistiques repartent de zéro et seront enregistrées comme d'habitude.";
            tell(message);
        }
    }
    for (auto& row : record_.Cells)
        for (auto& cell : row) cell.Count = 0;
    ready_ = true;
    SaveProgress();
}
