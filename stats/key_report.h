// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the progress record says about each key: how slow the user is to strike it, the
// pairs into and out of it, and the slowest pairs of all with a word that contains them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "lexicon/lexicon.h"
#include "stats/progress.h"

// Slowness of one key: the mean of the pairs ending on it, weighted by their samples.
struct KeySlowness {
    int32_t MeanMs = 0;   // meaningful only when Samples > 0
    int32_t Samples = 0;  // samples of every pair ending on the key
};

struct KeyReport {
    std::array<KeySlowness, kKeyCount + 1> Keys{};  // index 1..51; 0 unused
    int32_t FastestMs = 0;                          // over keys with samples
    int32_t SlowestMs = 0;
    // Top of the colour scale: the slowest key, but no more than three times the median
    // key, so that one key slowed by pauses does not make every other key look alike.
    int32_t ScaleTopMs = 0;
    bool AnySamples = false;
};
KeyReport BuildKeyReport(const ProgressRecord& record);

struct PairFigure {
    int Previous = 0;  // key indices 1..51
    int Current = 0;
    int32_t MeanMs = 0;
    int32_t Samples = 0;
};

// The pairs with samples that end on the key (PairsInto) or start from it (PairsOutOf),
// slowest first.
std::vector<PairFigure> PairsInto(const ProgressRecord& record, int key);
std::vector<PairFigure> PairsOutOf(const ProgressRecord& record, int key);
// The `count` slowest pairs with samples, slowest first (more samples first on a tie).
std::vector<PairFigure> SlowestPairs(const ProgressRecord& record, int count = 20);

// For each pair, a short word of the lexicon (Windows-1252) whose letters are typed by
// the pair's two keys one after the other; a pair that ends on the space bar gets a word
// ending on its first key followed by a blank, one that starts from it a blank and a word.
// Empty when no word fits (pairs with Shift, Alt or punctuation). One pass over the tables.
std::vector<std::string> ExampleWords(const Lexicon& lexicon, const std::vector<PairFigure>& pairs);

// Name of a key for the user (UTF-8): its character, or "Maj", "Alt", "Espace".
std::string KeyName(int key);
