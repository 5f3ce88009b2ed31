// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// An open file descriptor, closed when it goes out of scope.
#pragma once

#include <unistd.h>

#include "common/io_error.h"

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting a failed close as an IoError.
    void Close() {
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) ThrowIoErrorFromErrno();
    }

private:
    int fd_;
};
