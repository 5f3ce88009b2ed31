// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The progress record: for every ordered pair of the 51 tracked keys, the latest up to
// 128 intervals (ms) between striking the first key and the second. Stored whole, with
// no header, in "progression1_9.dat".
#pragma once

#include <bit>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/io_error.h"
#include "keyboard/keyboard.h"

static_assert(std::endian::native == std::endian::little,
              "the progress file stores its intervals little-endian, as in memory");

constexpr int kSampleCapacity = 128;
constexpr int32_t kMaxStoredInterval = 65535;
inline constexpr const char* kProgressFileName = "progression1_9.dat";

#pragma pack(push, 1)
struct KeyPairStats {
    uint16_t Times[kSampleCapacity];  // valid: Times[0 .. Count-1], oldest first
    uint8_t Count;
    uint8_t Pad;
};
#pragma pack(pop)
static_assert(sizeof(KeyPairStats) == 258);

// Row: the key struck before; column: the key struck now. Key indices run 1..51.
struct ProgressRecord {
    KeyPairStats Cells[kKeyCount][kKeyCount];

    KeyPairStats& Cell(int previousKey, int currentKey) { return Cells[previousKey - 1][currentKey - 1]; }
    const KeyPairStats& Cell(int previousKey, int currentKey) const { return Cells[previousKey - 1][currentKey - 1]; }
};
static_assert(sizeof(ProgressRecord) == 671058);
constexpr std::size_t kProgressRecordSize = sizeof(ProgressRecord);

// Zero-filled block for the whole run, and its release.
ProgressRecord* ReserveProgress();
void ReleaseProgress(ProgressRecord* record);

// Adds one interval to the cell of the pair, keeping the 128 latest. A key index outside
// 1..51 (an untracked key) records nothing; intervals beyond 65,535 ms are stored as 65,535.
void RecordKeyInterval(ProgressRecord& record, int previousKey, int currentKey, int32_t intervalMs);

// Integer mean of a cell's samples, kNoMean when it has none. A sample at the 65,535 ms
// ceiling is a pause, not a key-to-key time, and is left out: older versions stored one
// for the first character of every run (the time since the run before), and files
// written then still hold them. They stay in the file and slide out as new samples come.
constexpr int32_t kNoMean = -1;
int32_t MeanInterval(const KeyPairStats& cell);
// Number of the cell's samples that count in its mean (those below the ceiling).
int32_t CountedSamples(const KeyPairStats& cell);

// Mean interval of every cell, computed once for many lookups. Index 0 (untracked key)
// and cells without samples hold kNoMean, so a lookup needs no range test.
struct MeanTable {
    int32_t Means[kKeyCount + 1][kKeyCount + 1];
};
void ComputeMeans(const ProgressRecord& record, MeanTable& table);

// The means of the cells of a text's adjacent character pairs, added up over the pairs
// whose two characters have keys and whose cell holds samples (64 bits: a long text
// repeats cells).
struct PairMeanSum {
    int64_t Sum = 0;
    int64_t Pairs = 0;
};
PairMeanSum SumPairMeans(const MeanTable& means, std::string_view text);

// Whole-block file operations, by path. Errors throw IoError naming the file.
// SaveProgressFile writes a temporary file of its own beside the target, flushes it and
// renames it over the target, so the file on disk is always the old record or the new
// one. A symbolic link is followed: its target is replaced, keeping its mode.
void SaveProgressFile(const ProgressRecord& record, const std::string& path);
// Reads the first 671,058 bytes (code 100 when the file is shorter) and clamps any
// Count above 128 to 128. Anything but a regular file is refused without waiting.
void LoadProgressFile(ProgressRecord& record, const std::string& path);

// The record's life in the program: saving stays off until the first paint has begun
// (StartupPending) and until the record was loaded from, or created in, its file, so a
// record that was never read can never overwrite the user's stored file.
class ProgressKeeper {
public:
    explicit ProgressKeeper(ProgressRecord& record, std::string path = kProgressFileName)
        : record_(record), path_(std::move(path)) {}

    bool StartupPending = true;

    // Writes the record, unless saving is still off. While the file could not be read
    // (nor set aside), every call throws that reading's error again.
    void SaveProgress();
    // Reads the file into the record.
    void LoadProgress();
    // Loads the file when it exists; otherwise empties every Count and creates the file.
    // A damaged file (too short, a folder or pipe at its name, an input/output error) is
    // set aside under "<name>.endommagé-AAAAMMJJ-HHMMSS", never deleted; `tell` gets a
    // French message (UTF-8) saying so, once, and a fresh record is started and
    // saved. A file that cannot be read for another reason (permissions) is left alone and
    // its error thrown, now and at every save.
    void PrepareProgress(const std::function<void(const std::string&)>& tell = nullptr);

    bool Ready() const { return ready_; }
    const std::string& Path() const { return path_; }
    ProgressRecord& Record() { return record_; }

private:
    ProgressRecord& record_;
    std::string path_;
    bool ready_ = false;
    std::optional<IoError> loadError_;
};
