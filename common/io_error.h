// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// File errors. File operations do not handle their own failures: they throw IoError
// with a code and, where known, the file concerned; the window's one error handler shows
// the French text for the code followed by the file's name. Every text here is UTF-8.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

enum IoErrorCode : int {
    kIoFileNotFound = 2,
    kIoReadPastEnd = 100,
    kIoDiskFull = 101,
    kIoNotRegularFile = 102,  // a folder, a pipe or a device where a file was expected
};

class IoError : public std::runtime_error {
public:
    explicit IoError(int code, std::string path = {});
    int code() const noexcept { return code_; }
    // The file concerned (UTF-8), empty when unknown.
    const std::string& path() const noexcept { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }

private:
    int code_;
    std::string path_;
};

// The French message for a code. A system error keeps its number and says what went
// wrong: "Erreur E/S 13 (l'accès est refusé)".
std::string IoErrorText(int code);

// What a system error (errno) means, in French: "l'accès est refusé".
std::string IoReasonText(int err);

// The text for the code, then the file: "Fichier introuvable : /chemin/prénomsf.txt".
std::string IoErrorMessage(const IoError& error);

// The code for a failed system call's errno.
int IoCodeFromErrno(int err);

// Throws IoError for the current errno, naming the file when given.
[[noreturn]] void ThrowIoErrorFromErrno(const std::string& path = {});

// Runs work; an IoError it throws that names no file gets `path` as its file.
template <class Work>
decltype(auto) NamingFile(const std::string& path, Work&& work) {
    try {
        return work();
    } catch (IoError& error) {
        if (error.path().empty()) error.SetPath(path);
        throw;
    }
}
