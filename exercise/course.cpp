// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The course's keys: which are unlocked, their figures, the lesson under way, and the rule
// that unlocks the next key.
#include "exercise/course.h"

#include <algorithm>
#include <limits>
#include <map>

#include "common/rounding.h"

namespace {

// Words of 6 characters, as WordsPerMinute counts them.
constexpr double kCharactersPerWord = 6;
constexpr double kMsPerMinute = 60000;

int32_t WpmOfInterval(double ms) { return ms > 0 ? RoundHalfEven(kMsPerMinute / (kCharactersPerWord * ms)) : 0; }

template <class Number>
double Median(std::vector<Number>& values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// What a character takes: each key struck, and half of one for each modifier.
double KeystrokesOf(const KeyboardLayout& layout, unsigned char ch) {
    double count = 0;
    for (const Keystroke& stroke : layout.Strokes(ch))
        count += 1 + 0.5 * (((stroke.Level & kShiftLevelBit) ? 1 : 0) + ((stroke.Level & kAltGrLevelBit) ? 1 : 0) +
                            (stroke.CapsLock ? 1 : 0));
    return std::max(count, 1.0);
}

// The small letter of a capital (Œ to œ included).
unsigned char SmallOf(unsigned char capital) { return capital == 0x8C ? 0x9C : capital | 0x20; }

}  // namespace

Course::Course(const KeyboardLayout& layout) : layout_(layout.Name()), order_(CourseOrder(layout)) {
    for (const CourseStep& step : FormerCourseOrder(layout)) formerChars_.push_back(step.Chars);
    stepOfChar_.fill(-1);
    for (std::size_t i = 0; i < order_.size(); ++i) {
        double keystrokes = 0;
        for (const char c : order_[i].Chars) {
            stepOfChar_[uint8_t(c)] = int16_t(i);
            keystrokes += KeystrokesOf(layout, uint8_t(c));
        }
        keystrokes_.push_back(keystrokes / double(order_[i].Chars.size()));
    }
    startCount_ = int(
        std::count_if(order_.begin(), order_.end(), [](const CourseStep& s) { return s.Kind == StepKind::Letter; }));
    startCount_ = std::min(startCount_, kStartLetters);
    recent_.resize(order_.size());
    ResetState();
}

void Course::ResetState() {
    unlocked_.assign(order_.size(), false);
    unlockedCount_ = 0;
    for (int i = 0; i < startCount_; ++i) SetUnlocked(i, true);
    target_ = kDefaultTargetWpm;
    lessons_ = 0;
    previous_.reset();
    for (std::vector<Sample>& recent : recent_) recent.clear();
    pending_.clear();
    foreignUnlocked_.clear();
    foreignRecent_.clear();
}

void Course::SetUnlocked(int step, bool unlocked) {
    if (unlocked_[std::size_t(step)] == unlocked) return;
    unlocked_[std::size_t(step)] = unlocked;
    unlockedCount_ += unlocked ? 1 : -1;
}

std::string Course::StepCharacters(int step) const {
    const CourseStep& s = order_[std::size_t(step)];
    if (s.Kind != StepKind::Capitals) return s.Chars;
    // A capital comes with its letter: never a capital of a key not learned yet.
    std::string chars;
    for (const char c : s.Chars)
        if (IsUnlocked(StepOf(SmallOf(uint8_t(c))))) chars += c;
    return chars;
}

std::array<bool, 256> Course::Unlocked() const {
    std::array<bool, 256> allowed{};
    allowed[' '] = true;
    allowed[0xA0] = true;
    for (int i = 0; i < int(order_.size()); ++i)
        if (IsUnlocked(i))
            for (const char c : StepCharacters(i)) allowed[uint8_t(c)] = true;
    return allowed;
}

int Course::NextToUnlock() const {
    const auto locked = std::find(unlocked_.begin(), unlocked_.end(), false);
    return locked == unlocked_.end() ? -1 : int(locked - unlocked_.begin());
}

std::vector<int> Course::OnTrial() const {
    int newest = -1;
    for (int i = 0; i < int(order_.size()); ++i)
        if (IsUnlocked(i)) newest = i;
    if (newest >= startCount_) return {newest};
    std::vector<int> start;
    for (int i = 0; i <= newest; ++i) start.push_back(i);
    return start;
}

double Course::PooledMedianMs(bool onTrial) const {
    const std::vector<int> trial = OnTrial();
    std::vector<double> intervals;
    for (int i = 0; i < int(order_.size()); ++i) {
        const bool isTrial = std::find(trial.begin(), trial.end(), i) != trial.end();
        if (!IsUnlocked(i) || isTrial != onTrial) continue;
        for (const Sample& k : recent_[std::size_t(i)])
            if (k.IntervalMs > 0) intervals.push_back(k.IntervalMs / Keystrokes(i));
    }
    return Median(intervals);
}

int32_t Course::DemandedWpm() const {
    // The learner's own pace: on the keys learned before those on trial; at the start, on
    // the start keys together.
    double ownMs = PooledMedianMs(false);
    if (ownMs <= 0) ownMs = PooledMedianMs(true);
    const int32_t share = RoundHalfEven(WpmOfInterval(ownMs) * kPaceSharePercent / 100.0);
    // The floor rises with the square of the share of the order learned: a quarter of the
    // target at half the course, the whole target at its last key.
    const double learned = double(unlockedCount_) / double(std::max<std::size_t>(order_.size(), 1));
    const int32_t floor = RoundHalfEven(target_ * learned * learned);
    return std::min<int32_t>(target_, std::max(share, floor));
}

bool Course::NeedsDrill(int step) const {
    const std::vector<int> trial = OnTrial();
    return std::find(trial.begin(), trial.end(), step) != trial.end() && Figures(step).Samples < kMinKeystrokes;
}

std::vector<KeyDemand> Course::UnlockDemands() const {
    std::vector<KeyDemand> demands;
    const int32_t wpm = DemandedWpm();
    for (const int step : OnTrial()) {
        const CourseKeyFigures figures = Figures(step);
        KeyDemand demand;
        demand.Step = step;
        demand.Samples = figures.Samples;
        demand.AccuracyPercent = figures.AccuracyShown;
        demand.Wpm = figures.Wpm;
        demand.NeededWpm = RoundHalfEven(wpm / Keystrokes(step));
        demands.push_back(demand);
    }
    return demands;
}

int Course::Focus() const {
    // The key on trial furthest from its demand, by its weakest share of what is asked.
    int focus = -1;
    double focusShare = 2;
    if (NextToUnlock() >= 0)
        for (const KeyDemand& d : UnlockDemands()) {
            if (d.Met()) continue;
            const double share =
                std::min({double(d.Samples) / d.NeededSamples, double(d.AccuracyPercent) / d.NeededAccuracyPercent,
                          d.NeededWpm > 0 ? double(d.Wpm) / d.NeededWpm : 1.0});
            if (share <= focusShare) {  // later steps win ties: the last learned needs it most
                focus = d.Step;
                focusShare = share;
            }
        }
    if (focus >= 0) return focus;
    // Else the slowest unlocked key, those short of the target first.
    CourseKeyFigures focusFigures;
    for (int i = 0; i < int(order_.size()); ++i) {
        if (!IsUnlocked(i)) continue;
        const CourseKeyFigures figures = Figures(i);
        auto before = [](const CourseKeyFigures& a, const CourseKeyFigures& b) {
            if (a.Ready() != b.Ready()) return !a.Ready();
            if ((a.MedianMs > 0) != (b.MedianMs > 0)) return a.MedianMs <= 0;
            if (a.MedianMs != b.MedianMs) return a.MedianMs > b.MedianMs;
            return a.Samples <= b.Samples;
        };
        if (focus < 0 || before(figures, focusFigures)) {
            focus = i;
            focusFigures = figures;
        }
    }
    return focus;
}

void Course::AddSample(std::vector<Sample>& recent, Sample sample) {
    if (recent.size() >= std::size_t(kRecentKeystrokes)) recent.erase(recent.begin());
    recent.push_back(sample);
}

void Course::Record(unsigned char ch, int32_t intervalMs, bool firstAttempt) {
    pending_.push_back(
        {ch, {uint16_t(std::clamp<int32_t>(intervalMs, 0, std::numeric_limits<uint16_t>::max())), firstAttempt}});
}

LessonFigures Course::PendingFigures() const {
    LessonFigures figures;
    int timed = 0;
    int first = 0;
    double ms = 0;
    for (const Keystroke& k : pending_) {
        ++figures.Characters;
        first += k.Stroke.FirstAttempt ? 1 : 0;
        if (k.Stroke.IntervalMs > 0) {
            ++timed;
            ms += k.Stroke.IntervalMs;
        }
    }
    figures.Wpm = timed ? WpmOfInterval(ms / timed) : 0;
    figures.FirstAttemptPercent = figures.Characters ? 100.0 * first / figures.Characters : 0;
    return figures;
}

void Course::CommitLesson() {
    for (const Keystroke& k : pending_)
        if (StepOf(k.Char) >= 0) AddSample(recent_[std::size_t(StepOf(k.Char))], k.Stroke);
    pending_.clear();
}

void Course::CutLesson() { CommitLesson(); }

void Course::DiscardLesson() { pending_.clear(); }

LessonResult Course::EndLesson() {
    LessonResult result;
    result.Lesson = PendingFigures();
    result.Previous = previous_;
    std::map<unsigned char, int> missed;
    for (const Keystroke& k : pending_)
        if (!k.Stroke.FirstAttempt) ++missed[k.Char == 0xA0 ? ' ' : k.Char];
    for (const auto& [ch, count] : missed) result.Missed.push_back({ch, count});
    std::stable_sort(result.Missed.begin(), result.Missed.end(),
                     [](const MissedKey& a, const MissedKey& b) { return a.Count > b.Count; });
    CommitLesson();
    if (lessons_ < std::numeric_limits<int>::max()) ++lessons_;
    if (result.Lesson.Characters > 0) previous_ = result.Lesson;
    // Accuracy first: a lesson with too many wrong keys does not count, however fast.
    result.Counted =
        result.Lesson.Characters > 0 && RoundHalfEven(result.Lesson.FirstAttemptPercent) >= kUnlockAccuracyPercent;
    result.SlowDown = result.Lesson.Characters > 0 && !result.Counted;
    const int next = NextToUnlock();
    if (next >= 0) {
        for (const KeyDemand& demand : UnlockDemands())
            if (!demand.Met()) result.HeldBy.push_back(demand);
        if (result.Counted && result.HeldBy.empty()) {
            SetUnlocked(next, true);
            result.Unlocked = next;
        }
    }
    result.Next = NextToUnlock();
    return result;
}

bool Course::UnlockNext() {
    const int next = NextToUnlock();
    if (next < 0) return false;
    SetUnlocked(next, true);
    return true;
}

bool Course::GoBack() {
    for (int i = int(order_.size()) - 1; i >= startCount_; --i)
        if (IsUnlocked(i)) {
            SetUnlocked(i, false);
            return true;
        }
    return false;
}

void Course::SetTarget(int wpm) { target_ = std::clamp(wpm, kMinTargetWpm, kMaxTargetWpm); }

double Course::TargetIntervalMs() const { return kMsPerMinute / (kCharactersPerWord * target_); }

CourseKeyFigures Course::Figures(int step) const {
    CourseKeyFigures figures;
    if (step < 0 || step >= int(recent_.size())) return figures;
    const std::vector<Sample>& recent = recent_[std::size_t(step)];
    std::vector<uint16_t> intervals;
    int first = 0;
    for (const Sample& k : recent) {
        if (k.IntervalMs > 0) intervals.push_back(k.IntervalMs);
        first += k.FirstAttempt ? 1 : 0;
    }
    figures.Samples = int(recent.size());
    figures.MedianMs = Median(intervals);
    figures.Wpm = WpmOfInterval(figures.MedianMs);
    if (!recent.empty()) figures.AccuracyPercent = 100.0 * first / double(recent.size());
    figures.AccuracyShown = RoundHalfEven(figures.AccuracyPercent);
    figures.Enough = figures.Samples >= kMinKeystrokes;
    figures.Fast = figures.Wpm > 0 && figures.Wpm >= target_;
    figures.Accurate = figures.Samples > 0 && figures.AccuracyShown >= kMasteryAccuracyPercent;
    return figures;
}
