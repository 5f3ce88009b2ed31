// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the test suites: temporary folders, whole-file reads and writes, a
// progress record that frees itself, and a clock the test sets by hand.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "exercise/timestamp.h"
#include "stats/progress.h"

namespace test_support {

// The temporary folder: $TMPDIR, which the test program's entry sets to a folder of its
// own that it removes at the end; /tmp without it.
inline std::string TemporaryFolder() {
    const char* temporary = std::getenv("TMPDIR");
    return temporary && *temporary ? temporary : "/tmp";
}

// A new empty folder in the temporary folder, named after the prefix.
inline std::string MakeTempFolder(const char* prefix) {
    std::string pattern = TemporaryFolder() + "/" + prefix + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = mkdtemp(buffer.data());
    return made ? std::string(made) : std::string();
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct RecordDeleter {
    void operator()(ProgressRecord* record) const { ReleaseProgress(record); }
};
using RecordPtr = std::unique_ptr<ProgressRecord, RecordDeleter>;
// A zero-filled record, released at the end of its scope.
inline RecordPtr NewRecord() { return RecordPtr(ReserveProgress()); }

// The program's clock set by hand: `now` is the time of day in milliseconds since
// midnight. The system clock comes back when the fake goes out of scope.
struct FakeClock {
    explicit FakeClock(int32_t stamp) : now(stamp) {
        SetClockSource([this] { return TimeOfDayFromStamp(now); });
    }
    explicit FakeClock(const TimeOfDay& time) : FakeClock(time.Stamp()) {}
    ~FakeClock() { SetClockSource({}); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;
    void Set(const TimeOfDay& time) { now = time.Stamp(); }
    int32_t now;
};

}  // namespace test_support
