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
// allows it (four for a run of 4 to 7); the last bytes of a run are read as the word that
// ends it, which overlaps bytes already found free of c, so no byte-by-byte loop is left.
inline std::size_t FindByte(const char* p, std::size_t n, char c) {
    if constexpr (std::endian::native == std::endian::little) {
        // The lowest marked byte of a word is its first byte equal to c (marks above it
        // may be false).
        auto matches = [c](auto word) {
            using Word = decltype(word);
            constexpr Word kOnes = Word(0x0101010101010101ull), kHighs = Word(0x8080808080808080ull);
            word ^= Word(kOnes * static_cast<unsigned char>(c));  // the bytes equal to c become zero
            return Word((word - kOnes) & ~word & kHighs);
        };
        auto at = [&](auto word, std::size_t from) {
            std::memcpy(&word, p + from, sizeof word);
            return matches(word);
        };
        if (n >= 8) {
            std::size_t i = 0;
            for (; i + 8 <= n; i += 8)
                if (uint64_t m = at(uint64_t(), i)) return i + std::size_t(std::countr_zero(m) >> 3);
            if (i == n) return n;
            if (uint64_t m = at(uint64_t(), n - 8)) return n - 8 + std::size_t(std::countr_zero(m) >> 3);
            return n;
        }
        if (n >= 4) {
            if (uint32_t m = at(uint32_t(), 0)) return std::size_t(std::countr_zero(m) >> 3);
            if (uint32_t m = at(uint32_t(), n - 4)) return n - 4 + std::size_t(std::countr_zero(m) >> 3);
            return n;
        }
    }
    for (std::size_t i = 0; i < n; ++i)
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

// True when the first and the last sizeof(Word) bytes of a and b match (n >= sizeof(Word)).
template <typename Word>
bool SameEnds(const char* a, const char* b, std::size_t n) {
    Word a1, a2, b1, b2;
    std::memcpy(&a1, a, sizeof(Word));
    std::memcpy(&b1, b, sizeof(Word));
    std::memcpy(&a2, a + n - sizeof(Word), sizeof(Word));
    std::memcpy(&b2, b + n - sizeof(Word), sizeof(Word));
    return ((a1 ^ b1) | (a2 ^ b2)) == 0;
}

// True when the n bytes at a and b are the same; the short runs of dictionary words are
// compared in at most two overlapping words, without a call to memcmp.
inline bool SameBytes(const char* a, const char* b, std::size_t n) {
    if (n >= 8 && n <= 16) return SameEnds<uint64_t>(a, b, n);
    if (n >= 4 && n < 8) return SameEnds<uint32_t>(a, b, n);
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
