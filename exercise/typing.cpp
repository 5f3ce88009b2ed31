// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/typing.h"

#include <climits>

#include "common/rounding.h"
#include "keyboard/keyboard.h"

KeyPressOutcome CheckKeyPress(RunState& run, ProgressRecord& record, std::optional<unsigned char> typed,
                              std::optional<unsigned char> expected, bool modelEmpty, bool soundOn, KeyTime at) {
    KeyPressOutcome outcome;
    if (modelEmpty) {
        outcome.Ignored = true;
        return outcome;
    }
    int32_t sinceLastKey = run.LastKeyTime;
    ElapsedSince(sinceLastKey);
    outcome.ScrollToCurrentLine = sinceLastKey > kRescrollPauseMs;

    if (typed == ' ' && expected == kNoBreakSpace) typed = kNoBreakSpace;
    if (expected && typed == *expected) {
        // The first character of a run follows no correct character of it: the time
        // since the run before is a pause, not a key-to-key interval.
        if (!at.Valid) at = {static_cast<uint32_t>(CurrentTimeOfDay().Stamp()), false, true};
        if (run.CorrectCount > 0) {
            const int64_t interval = KeyInterval(run.LastCorrectTime, at);
            if (interval >= 0)
                RecordKeyInterval(record, KeyOfVirtualKey[run.PreviousKeyCode], KeyOfVirtualKey[run.LastKeyCode],
                                  interval > INT32_MAX ? INT32_MAX : static_cast<int32_t>(interval));
        }
        ++run.CorrectCount;
        run.LastCorrectTime = at;
        if (run.CorrectCount == 1) {
            TimeStamp(run.RunStartTime);
            run.RunStartKey = at;
            run.ErrorCount = 0;
        }
        outcome.Correct = true;
        outcome.Character = *typed;
    } else {
        outcome.Beep = soundOn;
        if (run.CorrectCount > 0) ++run.ErrorCount;
    }
    TimeStamp(run.LastKeyTime);
    return outcome;
}

int64_t RunKeyDuration(const RunState& run) {
    if (run.CorrectCount <= 0) return -1;
    return KeyInterval(run.RunStartKey, run.LastCorrectTime);
}

bool LineComplete(std::string_view typed, std::string_view modelLine) {
    if (typed.empty()) return false;
    return typed.substr(1) == modelLine;
}

int32_t WordsPerMinute(int32_t correctCount, int32_t elapsedMs) {
    if (elapsedMs <= 0) return 0;
    return RoundHalfEven(double(correctCount) * 60000.0 / double(elapsedMs) / 6.0);
}

int32_t VerdictSpeed(int32_t correctCount, int32_t elapsedMs) {
    if (elapsedMs <= 0) return 0;
    return RoundHalfEven(double(correctCount) * 60000.0 / double(elapsedMs) / 60.0 * 10.0);
}

double ErrorPercent(int32_t errorCount, int32_t correctCount) {
    int64_t counted = int64_t(correctCount) + errorCount;
    if (counted <= 0) return 0.0;
    return double(errorCount) / double(counted) * 100.0;
}

std::string RunSummary(int32_t speed, double errorPercent, char decimalPoint) {
    // Formatted without the C library's locale, with the window's decimal separator.
    return "Votre vitesse moyenne est de " + std::to_string(speed) + " mots/min avec " +
           OneDecimalText(errorPercent, decimalPoint) + "% d'erreurs. Pressez sur Echap pour recommencer.";
}

bool ClockGuard::RanBackwards(const TimeOfDay& now) {
    int32_t second = now.SecondOfDay();
    bool backwards = second < lastClockSecond_ && lastClockSecond_ != 86399;
    lastClockSecond_ = second;
    return backwards;
}
