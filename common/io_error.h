// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// File errors. File operations do not handle their own failures: they throw IoError
// with a code, and the window's one error handler shows its French text.
#pragma once

#include <stdexcept>
#include <string>

enum IoErrorCode : int {
    kIoFileNotFound = 2,
    kIoReadPastEnd = 100,
    kIoDiskFull = 101,
};

class IoError : public std::runtime_error {
public:
    explicit IoError(int code);
    int code() const noexcept { return code_; }

private:
    int code_;
};

// The French message for a code, in Windows-1252.
std::string IoErrorText(int code);

// The code for a failed system call's errno.
int IoCodeFromErrno(int err);

// Throws IoError for the current errno.
[[noreturn]] void ThrowIoErrorFromErrno();
