// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/file_identity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "common/file_descriptor.h"
#include "common/file_io.h"
#include "common/io_error.h"

namespace {

constexpr std::size_t kEdgeBytes = 1024;

void HashBytes(uint64_t& hash, const unsigned char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001B3ULL;  // FNV-1a
}

// Reads up to size bytes at offset; returns how many.
std::size_t ReadAt(int fd, unsigned char* buffer, std::size_t size, off_t offset) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, buffer + done, size - done, offset + off_t(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ThrowIoErrorFromErrno();
        if (n == 0) break;
        done += std::size_t(n);
    }
    return done;
}

}  // namespace

FileIdentity IdentifyOpenFile(int fd, const std::string& path) {
    return NamingFile(path, [&] {
        struct stat info {};
        if (::fstat(fd, &info) != 0) ThrowIoErrorFromErrno();
        FileIdentity identity;
        identity.Path = path;
        identity.Size = uint64_t(info.st_size);
        identity.ModifiedNs = int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
        uint64_t hash = 0xCBF29CE484222325ULL;
        unsigned char size[8];
        for (int i = 0; i < 8; ++i) size[i] = static_cast<unsigned char>(identity.Size >> (8 * i));
        HashBytes(hash, size, sizeof size);
        unsigned char edge[kEdgeBytes];
        HashBytes(hash, edge, ReadAt(fd, edge, kEdgeBytes, 0));
        const off_t tail = identity.Size > kEdgeBytes ? off_t(identity.Size - kEdgeBytes) : 0;
        HashBytes(hash, edge, ReadAt(fd, edge, kEdgeBytes, tail));
        identity.Hash = hash;
        return identity;
    });
}

FileMatch CompareIdentity(const FileIdentity& kept, const FileIdentity& now) {
    const bool sameContent = kept.Size == now.Size && kept.Hash == now.Hash;
    if (kept.Path == now.Path) return sameContent ? FileMatch::Same : FileMatch::Changed;
    return sameContent ? FileMatch::Moved : FileMatch::Unrelated;
}

TextFileStatus CheckTextFile(const FileIdentity& kept) {
    try {
        FileDescriptor file(OpenRegularFile(kept.Path, O_RDONLY));
        const FileIdentity now = IdentifyOpenFile(file.get(), kept.Path);
        return CompareIdentity(kept, now) == FileMatch::Same ? TextFileStatus::Unchanged : TextFileStatus::Changed;
    } catch (const IoError& error) {
        return error.code() == kIoFileNotFound ? TextFileStatus::Missing : TextFileStatus::Unreadable;
    }
}

struct FileChecks::Shared {
    explicit Shared(std::vector<FileIdentity> files) : Files(std::move(files)) {}
    const std::vector<FileIdentity> Files;
    std::mutex Mutex;
    std::optional<std::vector<TextFileStatus>> Statuses;  // guarded by Mutex
};

FileChecks::FileChecks(std::vector<FileIdentity> files)
    : shared_(std::make_shared<Shared>(std::move(files))), checking_([shared = shared_](const std::atomic<bool>& stop) {
          std::vector<TextFileStatus> statuses;
          for (const FileIdentity& file : shared->Files) {
              if (stop.load()) return;
              statuses.push_back(CheckTextFile(file));
          }
          const std::lock_guard lock(shared->Mutex);
          shared->Statuses = std::move(statuses);
      }) {}

std::optional<std::vector<TextFileStatus>> FileChecks::Take() {
    const std::lock_guard lock(shared_->Mutex);
    std::optional<std::vector<TextFileStatus>> statuses = std::move(shared_->Statuses);
    shared_->Statuses.reset();
    return statuses;
}
