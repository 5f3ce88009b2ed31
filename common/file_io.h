// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing whole blocks through a file descriptor, with interrupted calls
// resumed. Failures throw IoError.
#pragma once

#include <cstddef>

// Reads up to size bytes; returns how many were read, 0 at the end of the file.
std::size_t ReadSome(int fd, void* buffer, std::size_t size);

// Reads exactly size bytes; a file that ends before throws kIoReadPastEnd.
void ReadExactly(int fd, void* buffer, std::size_t size);

// Writes the whole block; a write that makes no progress counts as a full disk.
void WriteAll(int fd, const void* data, std::size_t size);
