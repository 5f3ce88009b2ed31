// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the trainer tells before a run: the speed to expect on the model text and the
// user's present speed, from the progress record, and the length of the model text in
// words with whether a speed measured on it will mean anything.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "stats/progress.h"

// Spaces of the text plus one, counting no further than 99 spaces (so 1..100).
int32_t WordCount(std::string_view text);

struct SpeedEstimate {
    bool Known = false;     // both figures could be computed
    int32_t TextSpeed = 0;  // words per minute expected on the text
    int32_t UserSpeed = 0;  // the user's overall speed, to the nearest multiple of 5
};

// Text speed from the cells of the text's adjacent character pairs that hold samples
// (pairs of a character without a key are left out); user speed from every cell of the
// record that holds samples.
SpeedEstimate EstimateSpeeds(std::string_view text, const ProgressRecord& record);

// The statistics box text for an estimate (lines separated by CR LF).
std::string EstimateText(const SpeedEstimate& estimate);

struct TextAssessment {
    std::string InformationLine;  // the information line
    bool TypingEnabled = false;
    bool RunEstimate = false;    // the text is long enough for the speed estimate
    std::string StatisticsText;  // statistics box text, set only when !RunEstimate
};

// Assessment of a new model text: its length in words and whether a speed measured on
// it will be significant; texts shorter than 3 characters cannot be typed.
TextAssessment AssessText(std::string_view text);
