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

// What the record says about one key. Keys that type nothing on their own (Shift, AltGr,
// a dead key) end no pair: the next key ends it. Such a key is judged by the pairs
// leaving it instead, the time from pressing it to the key it modifies.
struct KeyFigures {
    int32_t MeanMs = 0;       // the key's figure; meaningful only when Samples > 0
    int32_t Samples = 0;      // samples behind MeanMs
    bool ByPairsOut = false;  // no pair ends on the key: MeanMs is of the pairs leaving it
    int32_t SamplesIn = 0;    // samples of the pairs ending on the key
    int32_t SamplesOut = 0;   // samples of the pairs leaving it
    int32_t PairsIn = 0;      // measured pairs ending on the key
    int32_t PairsOut = 0;     // measured pairs leaving it
};

struct KeyReport {
    // Index 1..51; 0 unused. MeanMs is the mean of the pairs ending on the key, weighted by
    // their samples, or of those leaving it when none ends on it.
    std::array<KeyFigures, kKeyCount + 1> Keys{};
    int32_t FastestMs = 0;  // over keys with samples
    int32_t SlowestMs = 0;
    int32_t SlowestKey = 0;  // the first key of SlowestMs, 0 when no key has samples
    // Top of the colour scale: the slowest key, but no more than three times the median
    // key, so that one key slowed by pauses does not make every other key look alike.
    int32_t ScaleTopMs = 0;
    bool AnySamples = false;
    int64_t TotalSamples = 0;   // samples that count, over the whole record
    int32_t MeasuredPairs = 0;  // pairs holding such samples
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
// The `count` slowest pairs measured at least `minSamples` times, slowest first (more
// samples first on a tie). A pair measured once or twice says little: one slow moment
// would rank it first.
constexpr int32_t kRankedPairMinSamples = 5;
std::vector<PairFigure> SlowestPairs(const ProgressRecord& record, int count = 20,
                                     int32_t minSamples = kRankedPairMinSamples);

// For each pair, a short word of the lexicon (Windows-1252) whose letters are typed by
// the pair's two keys one after the other; a pair that ends on the space bar gets a word
// ending on its first key followed by a blank, one that starts from it a blank and a word.
// Empty when no word fits (pairs with Shift, Alt or punctuation). One pass over the tables.
std::vector<std::string> ExampleWords(const Lexicon& lexicon, const std::vector<PairFigure>& pairs);

// Name of a key for the user (UTF-8): its character, or "Maj", "Alt", "Espace".
std::string KeyName(int key);
