// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The reference model of a sentence's difficulty: computed straight from the progress
// record, adding up the samples of a pair's cell at every pair. Much slower than the
// generator's rating over the means of each text; tests and the benchmark compare the two.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "keyboard/layout.h"
#include "stats/progress.h"

inline int32_t SentenceDifficultyLiteral(const ProgressRecord& record, std::string_view text) {
    auto keyOf = [](char c) { return KeyOfChar[static_cast<unsigned char>(c)]; };
    if (text.size() < 2) return 0;
    int64_t total = 0;
    int32_t pairs = 0;
    for (std::size_t k = 1; k < text.size(); ++k) {
        const int previous = keyOf(text[k - 1]);
        const int current = keyOf(text[k]);
        if (previous == 0 || current == 0) continue;
        const KeyPairStats& cell = record.Cell(previous, current);
        const int32_t mean = MeanInterval(cell);
        if (mean == kNoMean) continue;
        total += mean;
        ++pairs;
    }
    return pairs > 0 ? static_cast<int32_t>(total / pairs) : 0;
}

// The reference model as the generator's rating.
inline std::function<int32_t(std::string_view)> LiteralRating(const ProgressRecord& record) {
    return [&record](std::string_view text) { return SentenceDifficultyLiteral(record, text); };
}
