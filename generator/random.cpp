// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/random.h"

#include <chrono>

namespace random_detail {

// The state that SeedRandom(0) gives, so that the sequence is defined before any seeding.
Xoshiro256 gGenerator = {{0xE220A8397B1DCDAFull, 0x6E789E6AA1B965F4ull, 0x06C45D188009454Full, 0xF88BB8A8724C81ECull}};

}  // namespace random_detail

void SeedRandom(uint64_t seed) {
    // splitmix64 spreads any seed, 0 included, over the four words.
    for (uint64_t& word : random_detail::gGenerator.s) {
        seed += 0x9E3779B97F4A7C15ull;
        uint64_t z = seed;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        word = z ^ (z >> 31);
    }
}

void SeedRandomFromClock() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    SeedRandom(static_cast<uint64_t>(now) ^ (static_cast<uint64_t>(wall) << 1));
}
