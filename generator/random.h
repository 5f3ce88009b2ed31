// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one pseudo-random generator. Every draw of the sentence generator goes
// through Random, so a seed fixes a whole text.
#pragma once

#include <cstdint>

namespace random_detail {

// xoshiro256** (Blackman and Vigna): fast, small state, good statistical quality.
struct Xoshiro256 {
    uint64_t s[4];

    static constexpr uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    uint64_t Next() {
        const uint64_t result = Rotl(s[1] * 5, 7) * 9;
        const uint64_t t = s[1] << 17;
        s[2] ^= s[0];
        s[3] ^= s[1];
        s[1] ^= s[2];
        s[0] ^= s[3];
        s[2] ^= t;
        s[3] = Rotl(s[3], 45);
        return result;
    }
};

// The process-wide state; SeedRandom sets it.
extern Xoshiro256 gGenerator;

// Uniform integer in 0..n-1 from the state g, without modulo bias; 0 for n <= 1, with
// the state left as it was.
inline int32_t Draw(Xoshiro256& g, int32_t n) {
    if (n <= 1) return 0;
    // Lemire's multiply-and-reject: a 32-bit draw scaled to n, redrawn in the rare low
    // band that would make some values more likely than others.
    const uint32_t range = static_cast<uint32_t>(n);
    uint64_t product = (g.Next() >> 32) * uint64_t(range);
    uint32_t low = static_cast<uint32_t>(product);
    if (low < range) {
        const uint32_t threshold = (0u - range) % range;
        while (low < threshold) {
            product = (g.Next() >> 32) * uint64_t(range);
            low = static_cast<uint32_t>(product);
        }
    }
    return static_cast<int32_t>(product >> 32);
}

}  // namespace random_detail

// Uniform integer in 0..n-1 from the program's generator. For n <= 1 the answer is 0 and
// the generator's state is left as it was.
inline int32_t Random(int32_t n) { return random_detail::Draw(random_detail::gGenerator, n); }

// The same draws as Random, for a tight loop: the state is held locally (in registers)
// and handed back to the program's generator when the batch ends.
class RandomBatch {
public:
    RandomBatch() : state_(random_detail::gGenerator) {}
    ~RandomBatch() { random_detail::gGenerator = state_; }
    RandomBatch(const RandomBatch&) = delete;
    RandomBatch& operator=(const RandomBatch&) = delete;
    int32_t operator()(int32_t n) { return random_detail::Draw(state_, n); }

private:
    random_detail::Xoshiro256 state_;
};

// Restarts the sequence from a fixed seed (tests and tools).
void SeedRandom(uint64_t seed);

// Restarts the sequence from the clock; the window does this before every text.
void SeedRandomFromClock();
