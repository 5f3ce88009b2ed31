// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <utility>

#include "common/io_error.h"

std::size_t ReadSome(int fd, void* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0) return std::size_t(n);
        if (errno != EINTR) ThrowIoErrorFromErrno();
    }
}

void ReadExactly(int fd, void* buffer, std::size_t size) {
    char* out = static_cast<char*>(buffer);
    while (size > 0) {
        const std::size_t n = ReadSome(fd, out, size);
        if (n == 0) throw IoError(kIoReadPastEnd);
        out += n;
        size -= n;
    }
}

void WriteAll(int fd, const void* data, std::size_t size) {
    const char* in = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, in, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowIoErrorFromErrno();
        }
        if (n == 0) throw IoError(kIoDiskFull);
        in += n;
        size -= std::size_t(n);
    }
}

void AppendWhole(int fd, const void* data, std::size_t size, off_t oldSize) {
    try {
        WriteAll(fd, data, size);
    } catch (const IoError&) {
        int result;
        do {
            result = ::ftruncate(fd, oldSize);
        } while (result != 0 && errno == EINTR);
        throw;
    }
}

int OpenRegularFile(const std::string& path, int flags, mode_t mode) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
    if (fd < 0) ThrowIoErrorFromErrno(path);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int err = errno;
        ::close(fd);
        throw IoError(IoCodeFromErrno(err), path);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        throw IoError(kIoNotRegularFile, path);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) break;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), target, sizeof target);
        if (length <= 0 || std::size_t(length) >= sizeof target) break;
        std::string next(target, std::size_t(length));
        if (next.front() != '/') next.insert(0, FolderOf(current) + "/");
        current = std::move(next);
    }
    return current;
}
