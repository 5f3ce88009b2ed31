// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The typing run: its state, the check of one typed character against the model, and the
// figures of a finished or interrupted run. The window applies the outcomes to its controls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "exercise/timestamp.h"
#include "stats/progress.h"

constexpr unsigned char kNoBreakSpace = 0xA0;
constexpr int32_t kRescrollPauseMs = 500;

struct RunState {
    int32_t CurrentLine = 0;      // model line being copied
    int32_t CorrectCount = 0;     // correct characters of this run
    int32_t ErrorCount = 0;       // wrong keys, counted once the run has started
    int32_t RunStartTime = 0;     // stamp of the run's first correct character
    int32_t LastKeyTime = 0;      // stamp of the latest key press in the typing field
    KeyTime RunStartKey;          // key time of the run's first correct character
    KeyTime LastCorrectTime;      // key time of the latest correct character, any run
    uint8_t LastKeyCode = 1;      // virtual key of the latest key-down
    uint8_t PreviousKeyCode = 1;  // virtual key of the key-down before it

    RunState() { TimeStamp(LastKeyTime); }

    // A key went down in the typing field.
    void KeyDown(uint8_t virtualKey) {
        PreviousKeyCode = LastKeyCode;
        LastKeyCode = virtualKey;
    }
    // Counters back to the waiting state on line 0.
    void ClearCounters() {
        CurrentLine = 0;
        CorrectCount = 0;
        ErrorCount = 0;
    }
};

struct KeyPressOutcome {
    bool Ignored = false;              // no model text: nothing happened
    bool ScrollToCurrentLine = false;  // the pause before the key exceeded 500 ms
    bool Correct = false;              // append Character to the typing field
    bool Beep = false;                 // a wrong key with the sound on
    unsigned char Character = 0;       // the accepted character (a blank may become 0xA0)
};

// Checks one typed character: a Windows-1252 byte, or nothing for a character that the
// model text cannot hold (outside Windows-1252), which is always a wrong key. `expected` is the next character of
// the current model line, or nothing when the line is already typed in full (every key is
// then wrong); `modelEmpty` means there is no model text at all, and the key is ignored.
// The first correct character of a run records no interval; the others record the time
// from the previous correct character's key to this one's (`at`, the key event's time).
KeyPressOutcome CheckKeyPress(RunState& run, ProgressRecord& record, std::optional<unsigned char> typed,
                              std::optional<unsigned char> expected, bool modelEmpty, bool soundOn, KeyTime at = {});
// Duration of the run so far, from its first correct character's key to its latest one's;
// -1 when the key times cannot tell it.
int64_t RunKeyDuration(const RunState& run);

// True when the typing field's text without its leading blank equals the model line.
bool LineComplete(std::string_view typed, std::string_view modelLine);

// Words of 6 characters per minute, rounded half to even; 0 for a run of no duration.
int32_t WordsPerMinute(int32_t correctCount, int32_t elapsedMs);
// Characters per second times ten (the same figure as WordsPerMinute), as the verdict takes it.
int32_t VerdictSpeed(int32_t correctCount, int32_t elapsedMs);
// Errors over all counted key presses, in percent; 0 when nothing was counted.
double ErrorPercent(int32_t errorCount, int32_t correctCount);

// "Votre vitesse moyenne est de 42 mots/min avec 3,5% d'erreurs. Pressez sur Echap pour
// recommencer." with the locale's decimal separator.
std::string RunSummary(int32_t speed, double errorPercent, char decimalPoint);

// Follows the time of day from tick to tick; true when it ran backwards other than across
// midnight from 23:59:59.
class ClockGuard {
public:
    bool RanBackwards(const TimeOfDay& now);

private:
    int32_t lastClockSecond_ = 0;
};
