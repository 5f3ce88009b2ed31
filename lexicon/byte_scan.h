// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Byte helpers of the loader's inner loop: dictionary fields are short, and a call to
// memchr or memcpy costs more than the work on them.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "lexicon/lexicon.h"

namespace lexicon_detail {

// Index of the first byte c in p[0..n), or n. Eight bytes at a time where the machine
// allows it.
inline std::size_t FindByte(const char* p, std::size_t n, char c) {
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
        const uint64_t pattern = kOnes * static_cast<unsigned char>(c);
        for (; i + 8 <= n; i += 8) {
            uint64_t word;
            std::memcpy(&word, p + i, 8);
            word ^= pattern;  // the bytes equal to c become zero
            if (uint64_t zeros = (word - kOnes) & ~word & kHighs) return i + std::size_t(std::countr_zero(zeros) >> 3);
        }
    }
    for (; i < n; ++i)
        if (p[i] == c) return i;
    return n;
}

// Copies n bytes; the short runs of dictionary words go without a call to memcpy.
inline void CopyBytes(char* to, const char* from, std::size_t n) {
    if (n >= 8 && n <= 16) {
        uint64_t head, tail;
        std::memcpy(&head, from, 8);
        std::memcpy(&tail, from + n - 8, 8);
        std::memcpy(to, &head, 8);
        std::memcpy(to + n - 8, &tail, 8);
    } else if (n >= 4 && n < 8) {
        uint32_t head, tail;
        std::memcpy(&head, from, 4);
        std::memcpy(&tail, from + n - 4, 4);
        std::memcpy(to, &head, 4);
        std::memcpy(to + n - 4, &tail, 4);
    } else if (n > 16) {
        std::memcpy(to, from, n);
    } else {
        for (std::size_t i = 0; i < n; ++i) to[i] = from[i];
    }
}

// True when the n bytes at a and b are the same; the short runs of dictionary words are
// compared in at most two overlapping words, without a call to memcmp.
inline bool SameBytes(const char* a, const char* b, std::size_t n) {
    if (n >= 8 && n <= 16) {
        uint64_t a1, a2, b1, b2;
        std::memcpy(&a1, a, 8);
        std::memcpy(&b1, b, 8);
        std::memcpy(&a2, a + n - 8, 8);
        std::memcpy(&b2, b + n - 8, 8);
        return ((a1 ^ b1) | (a2 ^ b2)) == 0;
    }
    if (n >= 4 && n < 8) {
        uint32_t a1, a2, b1, b2;
        std::memcpy(&a1, a, 4);
        std::memcpy(&b1, b, 4);
        std::memcpy(&a2, a + n - 4, 4);
        std::memcpy(&b2, b + n - 4, 4);
        return ((a1 ^ b1) | (a2 ^ b2)) == 0;
    }
    if (n > 16) return std::memcmp(a, b, n) == 0;
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// Stores the text in a table slot, cut to its first 50 characters.
inline void Store(ShortString& slot, std::string_view text) {
    std::size_t n = text.size() < std::size_t(kShortStringCapacity) ? text.size() : std::size_t(kShortStringCapacity);
    CopyBytes(slot.Chars, text.data(), n);
    slot.Length = static_cast<uint8_t>(n);
}

}  // namespace lexicon_detail
