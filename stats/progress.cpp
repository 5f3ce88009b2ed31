// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/progress.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

#include "common/file_descriptor.h"
#include "common/file_io.h"
#include "common/io_error.h"

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

int32_t MeanInterval(const KeyPairStats& cell) {
    int count = cell.Count > kSampleCapacity ? kSampleCapacity : cell.Count;
    if (count == 0) return 0;
    int32_t sum = 0;
    for (int t = 0; t < count; ++t) sum += cell.Times[t];
    return sum / count;
}

void ComputeMeans(const ProgressRecord& record, MeanTable& table) {
    for (int p = 0; p <= kKeyCount; ++p)
        for (int c = 0; c <= kKeyCount; ++c) table.Means[p][c] = kNoMean;
    for (int p = 1; p <= kKeyCount; ++p)
        for (int c = 1; c <= kKeyCount; ++c) {
            const KeyPairStats& cell = record.Cell(p, c);
            if (cell.Count > 0) table.Means[p][c] = MeanInterval(cell);
        }
}

PairMeanSum SumPairMeans(const MeanTable& means, std::string_view text) {
    PairMeanSum total;
    if (text.empty()) return total;
    int previous = KeyOfChar[static_cast<unsigned char>(text[0])];
    for (std::size_t i = 1; i < text.size(); ++i) {
        const int current = KeyOfChar[static_cast<unsigned char>(text[i])];
        const int32_t mean = means.Means[previous][current];  // kNoMean for key 0 or no samples
        if (mean != kNoMean) {
            total.Sum += mean;
            ++total.Pairs;
        }
        previous = current;
    }
    return total;
}

namespace {

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

void SaveProgressFile(const ProgressRecord& record, const std::string& path) {
    std::string temporary = path + ".tmp";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) ThrowIoErrorFromErrno();
    FileDescriptor file(fd);
    try {
        WriteAll(file.get(), &record, sizeof(ProgressRecord));
        if (::fsync(file.get()) != 0) ThrowIoErrorFromErrno();
        file.Close();
        if (::rename(temporary.c_str(), path.c_str()) != 0) ThrowIoErrorFromErrno();
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    // Make the rename itself durable; failing here loses nothing, so it is not reported.
    int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

void LoadProgressFile(ProgressRecord& record, const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) ThrowIoErrorFromErrno();
    FileDescriptor file(fd);
    // Read into a scratch block so that a short file leaves the record untouched.
    ProgressRecord* scratch = ReserveProgress();
    try {
        ReadExactly(file.get(), scratch, sizeof(ProgressRecord));
        file.Close();
    } catch (...) {
        ReleaseProgress(scratch);
        throw;
    }
    for (auto& row : scratch->Cells)
        for (auto& cell : row)
            if (cell.Count > kSampleCapacity) cell.Count = kSampleCapacity;
    std::memcpy(&record, scratch, sizeof(ProgressRecord));
    ReleaseProgress(scratch);
}

void ProgressKeeper::SaveProgress() {
    if (StartupPending || !ready_) return;
    SaveProgressFile(record_, path_);
}

void ProgressKeeper::LoadProgress() {
    LoadProgressFile(record_, path_);
    ready_ = true;
}

void ProgressKeeper::PrepareProgress() {
    struct stat info;
    if (::stat(path_.c_str(), &info) == 0) {
        LoadProgress();
        return;
    }
    for (auto& row : record_.Cells)
        for (auto& cell : row) cell.Count = 0;
    ready_ = true;
    SaveProgress();
}
