// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/difficulty.h"

#include "keyboard/keyboard.h"

int32_t SentenceDifficulty(const MeanTable& means, std::string_view text) {
    const PairMeanSum pairs = SumPairMeans(means, text);
    return pairs.Pairs > 0 ? static_cast<int32_t>(pairs.Sum / pairs.Pairs) : 0;
}

int SelectCandidate(std::span<const int32_t> difficulties, bool hard) {
    int kept = -1;
    for (std::size_t i = 0; i < difficulties.size(); ++i)
        if (kept < 0 || ReplacesKept(difficulties[i], difficulties[std::size_t(kept)], hard)) kept = int(i);
    return kept;
}
