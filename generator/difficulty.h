// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How hard a text is for this user: the mean typing delay of its pairs of adjacent
// characters, from the key-pair statistics of the progress record.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "stats/progress.h"

// Mean, over the pairs of adjacent characters whose keys both exist and whose cell has
// samples, of the cell's mean interval (integer means, integer division); 0 for a text
// of fewer than 2 characters or without any such pair. Reads the means computed once by
// ComputeMeans.
int32_t SentenceDifficulty(const MeanTable& means, std::string_view text);

// A text's difficulty for this user. The generator rates with SentenceDifficulty over the
// means of its text; another rating can be given to compare with it.
using DifficultyRating = std::function<int32_t(std::string_view text)>;

// Whether a later candidate of this difficulty replaces the one kept so far: strictly
// harder at the difficult level, strictly easier otherwise. Ties keep the earlier one.
inline bool ReplacesKept(int32_t candidate, int32_t kept, bool hard) {
    return hard ? candidate > kept : candidate < kept;
}

// Index of the candidate kept among difficulties in order (-1 for none).
int SelectCandidate(std::span<const int32_t> difficulties, bool hard);
