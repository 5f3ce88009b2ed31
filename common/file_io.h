// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing whole blocks through a file descriptor, with interrupted calls
// resumed. Failures throw IoError.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

// Reads up to size bytes; returns how many were read, 0 at the end of the file.
std::size_t ReadSome(int fd, void* buffer, std::size_t size);

// Reads exactly size bytes; a file that ends before throws kIoReadPastEnd.
void ReadExactly(int fd, void* buffer, std::size_t size);

// Writes the whole block; a write that makes no progress counts as a full disk.
void WriteAll(int fd, const void* data, std::size_t size);

// Appends the block to a file opened with O_APPEND whose size was `oldSize`. When the
// write fails or stops short (a full disk), the file is cut back to `oldSize`, so that it
// never keeps part of the block, and the failure is thrown.
void AppendWhole(int fd, const void* data, std::size_t size, off_t oldSize);

// Opens a file that must be a regular one, by path, without ever waiting: a pipe or a
// device is opened without blocking, seen for what it is and refused (kIoNotRegularFile),
// as is a folder. Returns the descriptor, in blocking mode; failures name the file.
int OpenRegularFile(const std::string& path, int flags, mode_t mode = 0644);

// The folder part of a path: "." for a bare name, "/" for a file at the root.
std::string FolderOf(const std::string& path);

// The path that symbolic links at `path` lead to, followed link by link (at most 40); the
// path itself when it is not a link. The end may not exist (a dangling link).
std::string ResolveLinks(const std::string& path);
