// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/file_io.h"

#include <unistd.h>
#include <cerrno>

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
