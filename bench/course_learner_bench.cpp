// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Simulated learners typed through the real course: its order on the layout, its lessons
// (MakeCourseText on the real lexicon, punctuation drilled as the course window does), its
// recording and its unlocking. Each learner starts at a speed and an error rate and
// improves with practice; the same learner (the same random draws) takes the course under
// the unlock rule of today ("paced") and under the former one ("former": every key learned
// at the target, 35 words a minute, with 95 % at the first attempt, 20 keystrokes at least).
//
// The learner model. A character's interval is
//     base × difficulty × practice(all keystrokes) × novelty(keystrokes of that character) × noise
// with base the learner's starting speed (words of 6 characters a minute), difficulty from
// the keystrokes the layout needs (the finger, the row, Shift or AltGr, a dead key),
// practice = (1 + N/2000)^-0.1 (a power law of practice: about 1.25 times faster after
// 20,000 keystrokes), novelty = 1 + (1 + n/5)^-0.7 (a key never typed takes twice as long;
// the slowdown is a third after 20 keystrokes, a fifth after 40) and noise log-normal
// (sigma 0.25). A wrong key comes with probability error × novelty × (1 + N/2000)^-0.05,
// costs one more interval, and is followed by the right key.
//
// Printed per learner and rule: the minutes of typing and the lessons to 10 keys, the
// minutes to every letter of the layout, and the longest run of lessons with no new key;
// ">" marks a figure not reached within the run (kMaxLessons lessons or kMaxMinutes
// minutes of typing).
//
//   course_learner_bench DATA_DIR [LAYOUT...]   (default: fr fr(bepo))
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/io_error.h"
#include "exercise/course.h"
#include "generator/course_intro.h"
#include "generator/course_text.h"
#include "generator/random.h"
#include "keyboard/xkb_layout.h"
#include "lexicon/loader.h"

namespace {

constexpr int kLessonLength = 70;  // characters, as the course window makes them
constexpr int kMaxLessons = 400;
constexpr double kMaxMinutes = 300;
constexpr int kKeys = 10;            // "minutes to 10 keys"
constexpr int kKeysAfterStart = 10;  // "lessons per new key": over the first ten after the start
constexpr double kFormerTargetMs = 60000.0 / (6 * kDefaultTargetWpm);

struct LearnerSpec {
    int Wpm;
    int ErrorPercent;
};
constexpr LearnerSpec kLearners[] = {{15, 2}, {15, 5}, {15, 15}, {20, 2}, {20, 5}, {20, 15},
                                     {40, 2}, {40, 5}, {40, 15}, {70, 2}, {70, 5}, {70, 15}};

// The cost of typing a character on the layout: each keystroke's finger and row, a
// modifier, the dead key before it.
double Difficulty(const KeyboardLayout& layout, unsigned char ch) {
    if (ch == ' ' || ch == 0xA0) return 0.9;  // the thumb on the space bar
    double cost = 0;
    for (const Keystroke& stroke : layout.Strokes(ch)) {
        const PhysicalKey& key = PhysicalKeys()[std::size_t(stroke.Place)];
        const Finger f = key.Hand;
        const double finger = f == Finger::LeftPinky || f == Finger::RightPinky ? 1.2
                              : f == Finger::LeftRing || f == Finger::RightRing ? 1.1
                                                                                : 1.0;
        const double row = key.Row == 2 ? 1.0 : key.Row == 0 ? 1.3 : 1.1;
        const double level =
            (stroke.Level & kShiftLevelBit ? 1.25 : 1.0) * (stroke.Level & kAltGrLevelBit ? 1.35 : 1.0);
        cost += finger * row * level * (stroke.CapsLock ? 1.5 : 1.0);
    }
    return cost > 0 ? cost : 1.0;
}

class Learner {
public:
    Learner(const KeyboardLayout& layout, LearnerSpec spec, uint64_t seed)
        : layout_(layout), baseMs_(60000.0 / (6.0 * spec.Wpm)), error_(spec.ErrorPercent / 100.0), random_(seed) {}

    // Types one character of the text: the time it took (a wrong key first, sometimes) and
    // whether it came at the first attempt.
    std::pair<double, bool> Type(unsigned char ch) {
        const double novelty = 1 + std::pow(1 + practised_[ch] / 5.0, -0.7);
        const double practice = std::pow(1 + total_ / 2000.0, -0.1);
        const double errors = std::min(0.9, error_ * novelty * std::pow(1 + total_ / 2000.0, -0.05));
        double ms = Interval(ch, novelty, practice);
        const bool missed = std::uniform_real_distribution<double>(0, 1)(random_) < errors;
        if (missed) ms += Interval(ch, novelty, practice);
        ++practised_[ch];
        ++total_;
        return {ms, !missed};
    }

private:
    double Interval(unsigned char ch, double novelty, double practice) {
        return baseMs_ * Difficulty(layout_, ch) * practice * novelty * std::exp(noise_(random_));
    }

    const KeyboardLayout& layout_;
    double baseMs_;
    double error_;
    std::mt19937_64 random_;
    std::normal_distribution<double> noise_{0.0, 0.25};
    std::array<double, 256> practised_{};
    double total_ = 0;
};

enum class Rule { Paced, Former };

// The former rule: every key learned has 20 keystrokes, its median at the target (35 words
// a minute) and 95 % at the first attempt.
bool FormerReady(const CourseKeyFigures& f) {
    return f.Samples >= kMinKeystrokes && f.MedianMs > 0 && f.MedianMs <= kFormerTargetMs + 1e-9 &&
           f.AccuracyPercent >= 95.0 - 1e-9;
}
bool FormerUnlocks(const Course& course) {
    for (int i = 0; i < int(course.Order().size()); ++i)
        if (course.IsUnlocked(i) && !FormerReady(course.Figures(i))) return false;
    return true;
}
// Its focus: the slowest key, those short of the target first.
int FormerFocus(const Course& course) {
    int focus = -1;
    CourseKeyFigures best;
    for (int i = 0; i < int(course.Order().size()); ++i) {
        if (!course.IsUnlocked(i)) continue;
        const CourseKeyFigures f = course.Figures(i);
        const bool before = focus < 0 || (FormerReady(f) != FormerReady(best)       ? !FormerReady(f)
                                          : (f.MedianMs > 0) != (best.MedianMs > 0) ? f.MedianMs <= 0
                                          : f.MedianMs != best.MedianMs             ? f.MedianMs > best.MedianMs
                                                                                    : f.Samples <= best.Samples);
        if (before) {
            focus = i;
            best = f;
        }
    }
    return focus;
}

// The words typable with each set of keys, built once.
class Indexes {
public:
    explicit Indexes(const CourseWords& words) : words_(words) {}
    const CourseIndex& For(const std::string& allowed) {
        std::unique_ptr<CourseIndex>& index = indexes_[allowed];
        if (!index) index = std::make_unique<CourseIndex>(words_, allowed);
        return *index;
    }

private:
    const CourseWords& words_;
    std::map<std::string, std::unique_ptr<CourseIndex>> indexes_;
};

struct Outcome {
    double MinutesTo10 = -1;
    int LessonsToTenNew = -1;  // lessons to the tenth key after the start
    double MinutesToLetters = -1;
    int LongestStuck = 0;
    int Lessons = 0;
    double Minutes = 0;
    int SlowDowns = 0;  // lessons that did not count for too many wrong keys
};

bool AllLettersUnlocked(const Course& course) {
    for (int i = 0; i < int(course.Order().size()); ++i)
        if (course.Order()[std::size_t(i)].Kind == StepKind::Letter && !course.IsUnlocked(i)) return false;
    return true;
}

// One lesson as the course window makes it: around the focus, punctuation drilled, the
// focus drilled alone first while it needs keystrokes, the words of recent lessons kept back.
std::string Lesson(const Course& course, const KeyboardLayout& layout, int focusStep, Indexes& indexes,
                   std::mt19937_64& pick, CourseVariety& variety, bool formerRule) {
    std::string allowed;
    const std::array<bool, 256> unlocked = course.Unlocked();
    for (int c = 0x21; c < 256; ++c)
        if (unlocked[std::size_t(c)] && c != 0xA0) allowed += char(c);
    const std::string chars = course.StepCharacters(focusStep);
    const auto focus = static_cast<unsigned char>(chars[pick() % chars.size()]);
    return MakeCourseLesson(indexes.For(allowed), layout, focus, {}, kLessonLength, &variety,
                            !formerRule && course.NeedsDrill(focusStep), allowed)
        .text;
}

Outcome Run(const KeyboardLayout& layout, Indexes& indexes, LearnerSpec spec, Rule rule, uint64_t seed) {
    Course course(layout);
    Learner learner(layout, spec, seed);
    std::mt19937_64 pick(seed + 1);
    Outcome out;
    int stuck = 0;
    double ms = 0;
    CourseVariety variety;
    while (out.Lessons < kMaxLessons && ms < kMaxMinutes * 60000) {
        SeedRandom(seed * 7919 + uint64_t(out.Lessons));
        const std::string text = Lesson(course, layout, rule == Rule::Paced ? course.Focus() : FormerFocus(course),
                                        indexes, pick, variety, rule != Rule::Paced);
        bool first = true;
        for (const char c : text) {
            const auto [interval, firstAttempt] = learner.Type(static_cast<unsigned char>(c));
            ms += interval;
            course.Record(static_cast<unsigned char>(c), first ? 0 : int32_t(std::lround(interval)), firstAttempt);
            first = false;
        }
        bool unlockedOne = false;
        if (rule == Rule::Paced) {
            const LessonResult result = course.EndLesson();
            unlockedOne = result.Unlocked.has_value();
            out.SlowDowns += result.SlowDown ? 1 : 0;
        } else {
            course.CutLesson();
            unlockedOne = FormerUnlocks(course) && course.UnlockNext();
        }
        ++out.Lessons;
        stuck = unlockedOne ? 0 : stuck + 1;
        out.LongestStuck = std::max(out.LongestStuck, stuck);
        if (out.MinutesTo10 < 0 && course.UnlockedCount() >= kKeys) out.MinutesTo10 = ms / 60000;
        if (out.LessonsToTenNew < 0 && course.UnlockedCount() >= course.StartCount() + kKeysAfterStart)
            out.LessonsToTenNew = out.Lessons;
        if (AllLettersUnlocked(course)) {
            out.MinutesToLetters = ms / 60000;
            break;
        }
    }
    out.Minutes = ms / 60000;
    return out;
}

// "12.5", or ">300.0" when not reached within the run.
std::string Figure(double value, double bound) {
    char text[32];
    std::snprintf(text, sizeof text, value < 0 ? ">%.1f" : "%.1f", value < 0 ? bound : value);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: course_learner_bench DATA_DIR [LAYOUT...]\n");
        return 2;
    }
    auto lexicon = std::make_unique<Lexicon>();
    WordRanking ranking;
    try {
        LoadLexicon(argv[1], *lexicon, LoadCallbacks{});
        ranking = LoadWordRanking(argv[1]);
    } catch (const IoError& error) {
        std::fprintf(stderr, "course_learner_bench: cannot read %s (I/O error %d)\n", error.path().c_str(),
                     error.code());
        return 1;
    }
    const CourseWords words(*lexicon, ranking);
    std::vector<std::string> layouts(argv + 2, argv + argc);
    if (layouts.empty()) layouts = {"fr", "fr(bepo)"};
    for (const std::string& layoutName : layouts) {
        const std::optional<LayoutName> parsed = LayoutName::Parse(layoutName);
        const std::unique_ptr<KeyboardLayout> layout = parsed ? LoadXkbLayout(*parsed) : nullptr;
        if (!layout) {
            std::fprintf(stderr, "course_learner_bench: no layout %s\n", layoutName.c_str());
            return 1;
        }
        Indexes indexes(words);
        std::string tag = layoutName;
        std::replace(tag.begin(), tag.end(), '(', '_');
        tag.erase(std::remove(tag.begin(), tag.end(), ')'), tag.end());
        for (const LearnerSpec& spec : kLearners) {
            // The same learner, the same draws, under both rules.
            const uint64_t seed = uint64_t(spec.Wpm) * 1000 + uint64_t(spec.ErrorPercent);
            for (const Rule rule : {Rule::Former, Rule::Paced}) {
                const Outcome o = Run(*layout, indexes, spec, rule, seed);
                const std::string name = "course_learner_" + tag + "_" + std::to_string(spec.Wpm) + "wpm_" +
                                         std::to_string(spec.ErrorPercent) + "pct_" +
                                         (rule == Rule::Paced ? "paced" : "former");
                const char* n = name.c_str();
                std::printf("%s_min_to_10_keys %s min\n", n, Figure(o.MinutesTo10, o.Minutes).c_str());
                std::printf("%s_lessons_per_new_key %s lessons\n", n,
                            Figure(o.LessonsToTenNew < 0 ? -1 : o.LessonsToTenNew / double(kKeysAfterStart),
                                   o.Lessons / double(kKeysAfterStart))
                                .c_str());
                std::printf("%s_min_to_all_letters %s min\n", n, Figure(o.MinutesToLetters, o.Minutes).c_str());
                std::printf("%s_longest_stuck %d lessons\n", n, o.LongestStuck);
                if (rule == Rule::Paced)  // the former rule said nothing of the sort
                    std::printf("%s_slow_down_share %.0f %%\n", n, 100.0 * o.SlowDowns / std::max(o.Lessons, 1));
            }
        }
    }
    return 0;
}
