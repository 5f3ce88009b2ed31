// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The French verdict on a finished or interrupted run: one sentence on speed, one on
// precision, joined by "et" or "mais", and a warning when the model text is too short
// for the speed to mean much. Texts are Windows-1252, lines separated by CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A model text is significant when it has at least 100 characters or at least 10 words
// (words counted as spaces plus one).
bool TextIsSignificant(std::string_view modelText);

// The speed sentence for a speed in words per minute. `significant` only matters from
// 450 words per minute on.
std::string SpeedVerdict(int32_t speed, bool significant);

// "et" when the two judgements point the same way, "mais" when they differ.
std::string VerdictJoiner(int32_t speed, double errorPercent);

// The precision sentence (it begins with a space and ends with a full stop).
std::string PrecisionVerdict(double errorPercent);

// Verdict at the end of a typed text.
std::string EndOfRunVerdict(int32_t speed, double errorPercent, std::string_view modelText);

// Verdict at the interruption: a heading line with the chosen time of day, then the
// verdict. The caller passes the speed as it wants it judged.
std::string InterruptionVerdict(std::string_view chosenTime, int32_t speed, double errorPercent,
                                std::string_view modelText);
