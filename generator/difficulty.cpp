// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/difficulty.h"

#include "keyboard/keyboard.h"

namespace {

// Key index of a character; a table value outside 1..51 counts as no key.
inline int KeyOf(char c) {
    const int key = KeyOfChar[static_cast<unsigned char>(c)];
    return key <= kKeyCount ? key : 0;
}

}  // namespace

int32_t SentenceDifficulty(const MeanTable& means, std::string_view text) {
    if (text.size() < 2) return 0;
    int64_t total = 0;
    int32_t pairs = 0;
    int previous = KeyOf(text[0]);
    for (std::size_t k = 1; k < text.size(); ++k) {
        const int current = KeyOf(text[k]);
        const int32_t mean = means.Means[previous][current];  // kNoMean for key 0 or no samples
        if (mean >= 0) {
            total += mean;
            ++pairs;
        }
        previous = current;
    }
    return pairs > 0 ? static_cast<int32_t>(total / pairs) : 0;
}

int32_t SentenceDifficultyLiteral(const ProgressRecord& record, std::string_view text) {
    if (text.size() < 2) return 0;
    int64_t total = 0;
    int32_t pairs = 0;
    for (std::size_t k = 1; k < text.size(); ++k) {
        const int previous = KeyOf(text[k - 1]);
        const int current = KeyOf(text[k]);
        if (previous == 0 || current == 0) continue;
        const int32_t mean = MeanInterval(record.Cell(previous, current));
        if (mean == kNoMean) continue;
        total += mean;
        ++pairs;
    }
    return pairs > 0 ? static_cast<int32_t>(total / pairs) : 0;
}

int SelectCandidate(std::span<const int32_t> difficulties, bool hard) {
    int kept = -1;
    for (std::size_t i = 0; i < difficulties.size(); ++i)
        if (kept < 0 || ReplacesKept(difficulties[i], difficulties[std::size_t(kept)], hard)) kept = int(i);
    return kept;
}
