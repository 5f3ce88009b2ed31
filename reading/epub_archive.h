// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The zip container of an EPUB book, read with libzip. Every entry is read under the
// limits (its declared and its real decompressed size, its compression ratio), so that a
// zip bomb is refused before it fills the memory; an entry encrypted by the zip itself is
// refused as protected.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "reading/read_text.h"

struct zip;

class EpubArchive {
public:
    // Opens the zip in the file (the descriptor stays the caller's). Throws ReadFailure
    // (DamagedEpub) when it is no zip archive or a damaged one.
    EpubArchive(int fd, const ReadLimits& limits);
    ~EpubArchive();
    EpubArchive(const EpubArchive&) = delete;
    EpubArchive& operator=(const EpubArchive&) = delete;

    // The entry of that name (exactly, else ignoring case), nothing when absent.
    std::optional<uint64_t> Find(const std::string& name) const;
    // Its decompressed size as declared.
    uint64_t DeclaredSize(uint64_t entry) const;

    // Hands the entry's bytes to `take` in blocks of up to 64 KiB. Throws ReadFailure:
    // EntryRefused past the limits, Protected for an encrypted entry; returns false when
    // the data is damaged (after handing over what came before the fault).
    bool Read(uint64_t entry, const std::function<void(const char*, std::size_t)>& take) const;
    // The whole of a small entry (at most `maxBytes`); nothing when it is damaged or larger.
    std::optional<std::string> ReadSmall(uint64_t entry, std::size_t maxBytes) const;

private:
    std::string Name(uint64_t entry) const;

    zip* archive_ = nullptr;
    ReadLimits limits_;
};
