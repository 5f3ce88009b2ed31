// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Who a text file is: its path, size, modification time and a hash of its first and last
// kilobytes. The hash finds a moved file again and tells a changed one, without reading
// the whole of a book.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "reading/background.h"

struct FileIdentity {
    std::string Path;
    uint64_t Size = 0;
    int64_t ModifiedNs = 0;  // nanoseconds since 1970
    uint64_t Hash = 0;       // of the size, the first and the last kilobyte

    bool operator==(const FileIdentity&) const = default;
};

// The identity of an open regular file; throws IoError.
FileIdentity IdentifyOpenFile(int fd, const std::string& path);

enum class FileMatch : uint8_t {
    Same,       // the same path and content
    Changed,    // the same path, other content
    Moved,      // another path, the same content
    Unrelated,  // another path and other content
};
FileMatch CompareIdentity(const FileIdentity& kept, const FileIdentity& now);

enum class TextFileStatus : uint8_t { Unchanged, Changed, Missing, Unreadable };
// What became of a kept text's file. Reads the file (a slow disk may make it wait): call
// it off the window thread.
TextFileStatus CheckTextFile(const FileIdentity& kept);

// The status of each kept text's file, found on a thread of its own for the list of recent
// texts: the window polls Take().
class FileChecks {
public:
    explicit FileChecks(std::vector<FileIdentity> files);

    // The status of each file, in order, once all are checked; nothing before (nor after
    // the first time).
    std::optional<std::vector<TextFileStatus>> Take();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    Background checking_;
};
