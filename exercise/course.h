// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The typing course: the order in which a layout's characters are learned, the measured
// skill of each learned key (its recent keystrokes), the unlocking of the next key when
// every learned one is fast and accurate enough, and the course's state file, one per
// layout. Plain data and rules; the course window shows them and feeds the keystrokes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keyboard/layout.h"

enum class StepKind : uint8_t { Letter, Capitals, Punctuation, Digit, Symbol };

// French typography's spaces around a punctuation mark, all no-break spaces (0xA0) that a
// plain blank also types: before ; : ! ? and inside « ».
enum class StepSpacing : uint8_t { None, NoBreakBefore, NoBreakInside };

// One key of the course: a character learned (e, é, É, ;), or a group learned as one step
// (the capitals, a pair of brackets).
struct CourseStep {
    StepKind Kind = StepKind::Letter;
    std::string Chars;  // Windows-1252: the characters it adds, never empty
    std::string Name;   // UTF-8, as the user reads it: "é", "majuscules", "« »"
    StepSpacing Spacing = StepSpacing::None;
};

// The course's order on a layout: the first kStartLetters letters are learned together
// from the first lesson (frequent French letters, the home row favoured), then the other
// letters one by one by their frequency in French (the accented ones as keys of their
// own), the capitals, É, the other accented capitals, the punctuation, the digits and the
// symbols. Only what the layout can type enters.
constexpr int kStartLetters = 6;
std::vector<CourseStep> CourseOrder(const KeyboardLayout& layout);

// The history's `niveau` of a lesson whose focus is this step: "leçon é" (UTF-8), with
// the characters that would break a comma-separated row spelled out ("leçon virgule").
std::string LessonLevel(const CourseStep& step);

// The course state's file of a layout, beside its progress record: "cours.txt" for the
// layouts that keep the classic record, "cours-bepo.txt", "cours-ch-fr.txt"...
std::string CourseFileName(const LayoutName& name);

// Speeds are in words of 6 characters per minute, as everywhere in the program:
// 35 words per minute is one character every 286 ms.
constexpr int kDefaultTargetWpm = 35;
constexpr int kMinTargetWpm = 10;
constexpr int kMaxTargetWpm = 120;
// The keystrokes kept per key, those needed before it counts, and the accuracy needed.
constexpr int kRecentKeystrokes = 40;
constexpr int kMinKeystrokes = 20;
constexpr double kMinAccuracyPercent = 95.0;

// A key's present skill, from its recent keystrokes.
struct CourseKeyFigures {
    int Samples = 0;             // recent keystrokes (at most kRecentKeystrokes)
    double MedianMs = 0;         // median interval of those that have one, 0 for none
    int32_t Wpm = 0;             // the speed of that interval, 0 for none
    double AccuracyPercent = 0;  // keystrokes typed at the first attempt, 0 for none
    bool Enough = false;         // at least kMinKeystrokes
    bool Fast = false;           // at the target speed or faster
    bool Accurate = false;       // at least kMinAccuracyPercent
    bool Ready() const { return Enough && Fast && Accurate; }
};

// What reading the state file found.
struct CourseLoadResult {
    enum class Status : uint8_t {
        Missing,     // no file: a new course
        Read,        // read in full
        PartlyRead,  // damaged or edited lines were passed over
        Unreadable,  // the file exists but cannot be read: it is never overwritten
    };
    Status State = Status::Missing;
    int SkippedLines = 0;
    std::string Path;

    // A French sentence for the user naming the file (UTF-8); empty when all went well.
    std::string Message() const;
};

class Course {
public:
    // A new course on the layout: only the start letters unlocked.
    explicit Course(const KeyboardLayout& layout);

    const LayoutName& Layout() const { return layout_; }
    const std::vector<CourseStep>& Order() const { return order_; }
    // The step a character belongs to, -1 for none (the blank, what the layout cannot type).
    int StepOf(unsigned char ch) const { return stepOfChar_[ch]; }

    // Steps 0 .. UnlockedCount()-1 are unlocked.
    int UnlockedCount() const { return unlocked_; }
    // The characters a lesson may hold: those of the unlocked steps, the blank and the
    // no-break space it types.
    std::array<bool, 256> Unlocked() const;
    // The slowest unlocked step, those still short of the target first (ties: fewer
    // keystrokes, then the later learned); -1 when the layout types no letter.
    int Focus() const;
    // The step that comes next, -1 when every step is unlocked.
    int NextToUnlock() const { return unlocked_ < int(order_.size()) ? unlocked_ : -1; }
    int Lessons() const { return lessons_; }

    // A correct character of a lesson: the interval since the previous correct character
    // (0 or less for none: the first of a lesson) and whether no wrong key came before
    // it. Characters of no step are left out.
    void Record(unsigned char ch, int32_t intervalMs, bool firstAttempt);
    // A lesson is over: counts it and unlocks the next step when every unlocked one is
    // ready; returns the step unlocked.
    std::optional<int> EndLesson();
    // By hand: unlock the next step, or lock again the last one unlocked (never the start
    // letters). False when there is none.
    bool UnlockNext();
    bool GoBack();

    int Target() const { return target_; }
    void SetTarget(int wpm);
    // The interval of one character at the target speed, in ms (286 at 35).
    double TargetIntervalMs() const;

    CourseKeyFigures Figures(int step) const;

    // The state file in the program's folder. Load reads what it can and keeps the rest
    // as new; Save writes the whole state crash-safely and throws IoError naming the
    // file (also while an unreadable file stands at its place, so that it is never
    // replaced by a new course).
    CourseLoadResult Load(const std::string& folder);
    void Save(const std::string& folder) const;
    std::string Path(const std::string& folder) const;

    // The file's text (UTF-8, numbers written without the locale) and its reading, which
    // replaces the whole state: lines that are not valid are counted and passed over (a
    // key's keystrokes up to the first bad one are kept), values out of range are clamped.
    std::string StateText() const;
    int ReadStateText(std::string_view text);

private:
    struct Sample {
        uint16_t IntervalMs;  // 0: none
        bool FirstAttempt;
    };
    void AddSample(int step, Sample sample);

    LayoutName layout_;
    std::vector<CourseStep> order_;
    std::array<int16_t, 256> stepOfChar_{};
    int startCount_ = 0;
    int unlocked_ = 0;
    int target_ = kDefaultTargetWpm;
    int lessons_ = 0;
    std::vector<std::vector<Sample>> recent_;  // per step, oldest first
    bool saveRefused_ = false;
    int refusedCode_ = 0;
};
