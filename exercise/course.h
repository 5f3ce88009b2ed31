// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The typing course: the order in which a layout's characters are learned, the measured
// skill of each learned key (its recent keystrokes), the unlocking of the next key when the
// newest one keeps up with the learner's own pace, accurately, and the course's state file,
// one per layout. Plain data and rules; the course window shows them and feeds the
// keystrokes.
#pragma once

#include <array>
#include <cstdint>
#include <map>
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

// The course's order on a layout. The first kStartLetters letters are learned together
// from the first lesson, where the fingers rest: the letters of the two keys with the
// bumps, the kStartVowels vowels nearest to the home row by their frequency in French, and
// the most frequent letters of the home row. Then the other letters one by one, outwards
// from the home row (frequency in French times nearness), the accented ones as keys of
// their own; after kLettersBeforeSentences letters the period and the capitals (of the
// letters learned), so that lessons are sentences; after the letters É, the other accented
// capitals, the punctuation, the digits and the symbols. Only what the layout can type
// enters.
constexpr int kStartLetters = 8;
constexpr int kStartVowels = 3;
constexpr int kLettersBeforeSentences = 10;
std::vector<CourseStep> CourseOrder(const KeyboardLayout& layout);
// The order as versions before the course was stored by its keys made it (six frequent
// letters, the others by frequency, the capitals and the punctuation after the letters):
// what a `débloquées=N` line of their files counts.
std::vector<CourseStep> FormerCourseOrder(const KeyboardLayout& layout);

// The history's `niveau` of a lesson whose focus is this step: "leçon é" (UTF-8), with
// the characters that would break a comma-separated row spelled out ("leçon virgule").
std::string LessonLevel(const CourseStep& step);

// The course state's file of a layout, beside its progress record: "cours.txt" for the
// layouts that keep the classic record, "cours-bepo.txt", "cours-ch-fr.txt"...
std::string CourseFileName(const LayoutName& name);

// Speeds are in words of 6 characters per minute, as everywhere in the program:
// 35 words per minute is one character every 286 ms. The target is the speed of mastery
// the tiles show; the next key asks for less (see UnlockDemands).
constexpr int kDefaultTargetWpm = 35;
constexpr int kMinTargetWpm = 10;
constexpr int kMaxTargetWpm = 120;
// The keystrokes kept per key, and those needed before a key's figures count.
constexpr int kRecentKeystrokes = 40;
constexpr int kMinKeystrokes = 20;
// Keystrokes typed at the first attempt: a key is mastered at 95 %; a lesson counts
// toward the next key, and a key on trial passes, at 90 %.
constexpr int kMasteryAccuracyPercent = 95;
constexpr int kUnlockAccuracyPercent = 90;
// The key on trial must keep this share of the learner's own pace on the keys already
// learned (never more than the target, never less than the target times the square of the
// share of the order learned). Paces are per keystroke: a dead key and its letter are two,
// Shift or AltGr adds half of one, so that ê is asked half the speed of e.
constexpr int kPaceSharePercent = 75;

// A key's present skill, from its recent keystrokes. Speed and accuracy are compared as
// they are shown, rounded: a tile that reads the target has reached it.
struct CourseKeyFigures {
    int Samples = 0;                                           // recent keystrokes (at most kRecentKeystrokes)
    double MedianMs = 0;                                       // median interval of those that have one, 0 for none
    int32_t Wpm = 0;                                           // the speed of that interval, rounded, 0 for none
    double AccuracyPercent = 0;                                // keystrokes typed at the first attempt, 0 for none
    int32_t AccuracyShown = 0;                                 // the same rounded, as shown
    bool Enough = false;                                       // at least kMinKeystrokes
    bool Fast = false;                                         // at the target speed or faster
    bool Accurate = false;                                     // at least kMasteryAccuracyPercent
    bool Ready() const { return Enough && Fast && Accurate; }  // mastered
};

// What the next key asks of a key on trial, beside what the key has (rounded as shown).
struct KeyDemand {
    int Step = -1;
    int Samples = 0;
    int32_t AccuracyPercent = 0;
    int32_t Wpm = 0;
    int NeededSamples = kMinKeystrokes;
    int NeededAccuracyPercent = kUnlockAccuracyPercent;
    int32_t NeededWpm = 0;
    bool EnoughSamples() const { return Samples >= NeededSamples; }
    bool AccurateEnough() const { return Samples > 0 && AccuracyPercent >= NeededAccuracyPercent; }
    bool FastEnough() const { return Wpm > 0 && Wpm >= NeededWpm; }
    bool Met() const { return EnoughSamples() && AccurateEnough() && FastEnough(); }
};

// A lesson's speed and its share of characters typed at the first attempt.
struct LessonFigures {
    int Characters = 0;
    int32_t Wpm = 0;
    double FirstAttemptPercent = 0;
};

// A character missed in a lesson (Windows-1252; a blank for either space) and how often.
struct MissedKey {
    unsigned char Char = ' ';
    int Count = 0;
};

// What a finished lesson did, for the window to show (LessonReportText writes it).
struct LessonResult {
    LessonFigures Lesson;
    std::optional<LessonFigures> Previous;  // the lesson before, when there was one
    bool Counted = false;                   // accurate enough to count toward the next key
    bool SlowDown = false;                  // too many wrong keys: slow down
    std::optional<int> Unlocked;            // the step it unlocked
    int Next = -1;                          // the step to learn next, -1 when all are learned
    std::vector<KeyDemand> HeldBy;          // the keys on trial short of their demand
    std::vector<MissedKey> Missed;          // the characters missed in the lesson, most first
};

// The result in French (UTF-8, one sentence a line), as the window shows it.
std::string LessonReportText(const std::vector<CourseStep>& order, const LessonResult& result);

// What reading the state file found.
struct CourseLoadResult {
    enum class Status : uint8_t {
        Missing,     // no file: a new course
        Read,        // read in full
        PartlyRead,  // damaged or edited lines were passed over; the file was copied aside
        TooBig,      // larger than any course file: set aside, a new course
        Unreadable,  // the file exists but cannot be read: it is never overwritten
    };
    Status State = Status::Missing;
    int SkippedLines = 0;
    std::string Path;
    std::string Aside;   // where the file or its copy was set aside, when it was
    int AsideError = 0;  // the IoError code when it could not be: the file is then never replaced

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
    // The steps learned from the first lesson.
    int StartCount() const { return startCount_; }

    // Keys once unlocked stay unlocked; a state read from another variant of the layout
    // may leave a step of this order locked between unlocked ones.
    bool IsUnlocked(int step) const {
        return step >= 0 && step < int(unlocked_.size()) && unlocked_[std::size_t(step)];
    }
    int UnlockedCount() const { return unlockedCount_; }
    // The characters a lesson may hold: those of the unlocked steps (a capital once its
    // letter is unlocked too), the blank and the no-break space it types.
    std::array<bool, 256> Unlocked() const;
    // The characters of a step that a lesson may hold now (Windows-1252).
    std::string StepCharacters(int step) const;
    // The first step still locked, -1 when every step is unlocked.
    int NextToUnlock() const;
    int Lessons() const { return lessons_; }

    // The keys on trial: the newest key unlocked, or every start key while the start is
    // all that is unlocked. The next key unlocks when each meets its demand.
    std::vector<int> OnTrial() const;
    // A key on trial with fewer than kMinKeystrokes recent keystrokes: its lessons open with
    // a line of the key alone and with its neighbours, so that it is judged sooner (a key
    // just unlocked, a letter that few words hold).
    bool NeedsDrill(int step) const;
    std::vector<KeyDemand> UnlockDemands() const;
    // The speed asked of the keys on trial, for a key typed with one keystroke (words per
    // minute); a key is asked this divided by its keystrokes.
    int32_t DemandedWpm() const;
    // The keystrokes a step takes: 1 for a plain key, 2 for a dead key and its letter, a
    // half more for Shift, AltGr or Caps Lock.
    double Keystrokes(int step) const { return keystrokes_[std::size_t(step)]; }
    // The key a lesson works on: the key on trial furthest from its demand; once all are
    // met (or nothing is left to learn), the slowest key short of the target. -1 when the
    // layout types no letter.
    int Focus() const;

    // A correct character of the lesson under way: the interval since the previous correct
    // character (0 or less for none: the first of a lesson) and whether no wrong key came
    // before it. Kept pending until the lesson ends; characters of no step count only in
    // the lesson's speed and accuracy.
    void Record(unsigned char ch, int32_t intervalMs, bool firstAttempt);
    // The lesson is over: its keystrokes join the keys' figures, it counts as a lesson and
    // unlocks the next key when it counted and every key on trial meets its demand.
    LessonResult EndLesson();
    // The lesson was cut (a change of layout, the window closed): its keystrokes join the
    // keys' figures, without counting a lesson or unlocking a key.
    void CutLesson();
    // The lesson starts again (Escape): its keystrokes are dropped.
    void DiscardLesson();
    bool LessonPending() const { return !pending_.empty(); }

    // By hand: unlock the next step, or lock again the last one unlocked (never the start
    // letters). False when there is none.
    bool UnlockNext();
    bool GoBack();

    int Target() const { return target_; }
    void SetTarget(int wpm);
    // The interval of one character at the target speed, in ms (286 at 35).
    double TargetIntervalMs() const;

    CourseKeyFigures Figures(int step) const;

    // The state file in the program's folder. Load removes what interrupted saves left,
    // reads what it can and keeps the rest as new; a file partly read is first copied
    // aside, one too big to be a course file set aside. Save writes the whole state
    // crash-safely and throws IoError naming the file (also while an unreadable file
    // stands at its place, so that it is never replaced by a new course).
    CourseLoadResult Load(const std::string& folder);
    void Save(const std::string& folder) const;
    std::string Path(const std::string& folder) const;

    // The file's text (UTF-8, numbers written without the locale) and its reading, which
    // replaces the whole state: lines that are not valid are counted and passed over (a
    // key's keystrokes up to the first bad one are kept), values out of range are clamped.
    // Keys and characters this layout lacks are kept as read and written back, so that
    // the variants sharing a file each read it whole. The keystrokes of a lesson under way
    // are written as CutLesson would keep them.
    std::string StateText() const;
    int ReadStateText(std::string_view text);

private:
    struct Sample {
        uint16_t IntervalMs;  // 0: none
        bool FirstAttempt;
    };
    struct Keystroke {
        unsigned char Char;
        Sample Stroke;
    };
    static void AddSample(std::vector<Sample>& recent, Sample sample);
    void CommitLesson();
    void SetUnlocked(int step, bool unlocked);
    void ResetState();
    bool ReadSamples(std::string_view value);
    bool ReadUnlocked(std::string_view value);
    bool ReadPrevious(std::string_view value);
    LessonFigures PendingFigures() const;
    double PooledMedianMs(bool onTrial) const;

    LayoutName layout_;
    std::vector<CourseStep> order_;
    std::vector<std::string> formerChars_;
    std::vector<double> keystrokes_;  // per step  // the characters of each step of FormerCourseOrder
    std::array<int16_t, 256> stepOfChar_{};
    int startCount_ = 0;
    std::vector<bool> unlocked_;
    int unlockedCount_ = 0;
    int target_ = kDefaultTargetWpm;
    int lessons_ = 0;
    std::optional<LessonFigures> previous_;
    std::vector<std::vector<Sample>> recent_;  // per step, oldest first
    std::vector<Keystroke> pending_;           // the lesson under way
    // Read from the file for characters this layout cannot type: kept and written back.
    std::string foreignUnlocked_;
    std::map<unsigned char, std::vector<Sample>> foreignRecent_;
    bool saveRefused_ = false;
    int refusedCode_ = 0;
};
