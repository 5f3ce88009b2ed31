// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Crash-safe whole-file saves and small reads, for the program's own files.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Writes a temporary file of its own beside the target, flushes it and renames it over
// the target, so the file on disk is always the old one or the new one. A symbolic link is
// followed (its target is replaced, in its own folder) and the old file's mode is kept.
// Errors throw IoError (without the path: callers name their file).
void SaveFileSafely(const std::string& path, const void* data, std::size_t size);
// The infix of those temporary files' names, before six random characters.
inline constexpr const char* kTemporaryInfix = ".tmp-";
// Removes the temporary files that saves cut short by a crash left beside the target.
void RemoveLeftTemporaries(const std::string& target);

// A file that cannot be used as it is is kept under "<path>.<label>-AAAAMMJJ-HHMMSS"
// beside itself (a number added when that name is taken), never overwritten. AsideName
// gives that name, free now; SetFileAside renames the file to it and returns it (IoError
// naming the file when it cannot).
std::string AsideName(const std::string& path, const std::string& label = "endommagé");
std::string SetFileAside(const std::string& path, const std::string& label = "endommagé");

// The whole of a small regular file (at most `maxBytes`), without waiting on a pipe or a
// device; nothing when it is missing, unreadable, not a regular file or larger. Then
// `why`, when given, gets the reason as an errno: ENOENT or ENOTDIR for a missing file,
// the error of the system call, ENODEV for anything but a regular file (EISDIR for a
// folder), EOVERFLOW for a file larger than `maxBytes`.
std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t maxBytes, int* why = nullptr);
