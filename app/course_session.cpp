// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/course_session.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "common/cp1252.h"
#include "common/io_error.h"
#include "generator/random.h"
#include "keyboard/layout.h"
#include "stats/key_report.h"

namespace {
constexpr int kLessonLength = 70;  // characters: a line of the course window

// The ranking only orders the words: without its file the course still has every word.
WordRanking RankingOrNone(const std::string& dataDirectory) {
    try {
        return LoadWordRanking(dataDirectory);
    } catch (const IoError&) {
        return WordRanking();
    }
}
}  // namespace

CourseSession::CourseSession(const Lexicon& lexicon, ProgressRecord& record, std::string dataDirectory,
                             std::string programFolder)
    : lexicon_(lexicon),
      record_(record),
      dataDirectory_(std::move(dataDirectory)),
      programFolder_(std::move(programFolder)) {}

std::string CourseSession::Start(const KeyboardLayout& layout) {
    layout_ = &layout;
    course_ = std::make_unique<Course>(layout);
    const CourseLoadResult loaded = course_->Load(programFolder_);
    newCourse_ = loaded.State == CourseLoadResult::Status::Missing;
    if (!words_) {
        ranking_ = std::make_unique<WordRanking>(RankingOrNone(dataDirectory_));
        words_ = std::make_unique<CourseWords>(lexicon_, *ranking_);
    }
    indexedFor_.clear();
    variety_.Clear();
    NewLesson();
    return loaded.State == CourseLoadResult::Status::PartlyRead || loaded.State == CourseLoadResult::Status::Unreadable
               ? loaded.Message()
               : std::string();
}

void CourseSession::Save() const { course_->Save(programFolder_); }

std::string CourseSession::Allowed() const {
    std::string allowed;
    const std::array<bool, 256> unlocked = course_->Unlocked();
    for (int c = 0x21; c < 256; ++c)
        if (unlocked[std::size_t(c)] && c != 0xA0) allowed += char(c);
    return allowed;
}

unsigned char CourseSession::FocusCharacter() const {
    if (lessonStep_ < 0) return 'e';
    const std::string chars = course_->StepCharacters(lessonStep_);
    if (chars.empty()) return 'e';
    // A step of several characters (the capitals) works on one of them at a time.
    return static_cast<unsigned char>(chars[std::size_t(Random(int(chars.size())))]);
}

void CourseSession::Reindex() {
    std::string allowed = Allowed() + practise_;
    std::sort(allowed.begin(), allowed.end());
    allowed.erase(std::unique(allowed.begin(), allowed.end()), allowed.end());
    if (index_ && allowed == indexedFor_) return;
    indexedFor_ = allowed;
    index_ = std::make_unique<CourseIndex>(*words_, allowed);
}

void CourseSession::NewLesson(const std::string& practise) {
    practise_ = practise;
    MakeLesson(practise_.empty() ? course_->Focus() : -1);
}

void CourseSession::NewLessonOn(int step) {
    practise_.clear();
    MakeLesson(course_->IsUnlocked(step) ? step : course_->Focus());
}

void CourseSession::MakeLesson(int step) {
    // A lesson left for another keeps what was typed of it.
    course_->CutLesson();
    SeedRandomFromClock();
    lessonStep_ = step;
    Reindex();
    const unsigned char focus = practise_.empty() ? FocusCharacter() : static_cast<unsigned char>(practise_[0]);
    // The learner's slowest pairs among the keys allowed, by the characters their keys type.
    std::vector<CoursePair> pairs;
    for (const PairFigure& pair : SlowestPairs(record_, 20)) {
        const char a = layout_->ByteAt(PhysicalKeyOfKey(pair.Previous), 0);
        const char b = layout_->ByteAt(PhysicalKeyOfKey(pair.Current), 0);
        if (!a || !b || !index_->Allows(a) || !index_->Allows(b)) continue;
        pairs.push_back({a, b, double(pair.MeanMs)});
    }
    if (practise_.size() >= 2) pairs.push_back({practise_[0], practise_[1], 1e6});
    text_ = MakeCourseLesson(*index_, *layout_, focus, pairs, kLessonLength, &variety_,
                             lessonStep_ >= 0 && course_->NeedsDrill(lessonStep_), indexedFor_);
    cursor_.SetLines({text_.text});
    Restart();
}

void CourseSession::Restart() {
    course_->DiscardLesson();
    run_.ClearCounters();
    cursor_.MoveTo(0, 0);
    missedThisCharacter_ = false;
    missed_.assign(text_.text.size(), 0);
}

std::string CourseSession::LessonName() const {
    if (lessonStep_ >= 0) return course_->Order()[std::size_t(lessonStep_)].Name;
    std::string name;
    for (const char c : practise_) {
        if (!name.empty()) name += ' ';
        name += Cp1252ToUtf8(std::string(1, c));
    }
    return name.empty() ? std::string("?") : name;
}

CourseSession::KeyOutcome CourseSession::KeyPress(std::optional<unsigned char> typed, KeyTime at) {
    KeyOutcome outcome;
    const KeyTime before = run_.LastCorrectTime;
    const bool started = run_.CorrectCount > 0;
    const KeyPressOutcome checked =
        CheckKeyPress(run_, record_, typed, cursor_.Expected(), text_.text.empty(), false, at);
    if (!checked.Correct) {
        missedThisCharacter_ = true;
        if (const std::size_t here = std::size_t(cursor_.Typed()); here < missed_.size() && missed_[here] < UINT8_MAX)
            ++missed_[here];
        return outcome;
    }
    outcome.Correct = true;
    const int64_t interval = started ? KeyInterval(before, run_.LastCorrectTime) : -1;
    course_->Record(checked.Character, interval > 0 && interval < INT32_MAX ? int32_t(interval) : 0,
                    !missedThisCharacter_);
    missedThisCharacter_ = false;
    cursor_.MoveTo(0, cursor_.Typed() + 1);
    if (cursor_.Expected()) return outcome;
    // The lesson is typed: its figures go to the history, and a key may unlock.
    outcome.Finished = true;
    const int64_t duration = RunKeyDuration(run_);
    const int32_t elapsed = duration > 0 && duration < INT32_MAX ? int32_t(duration) : 0;
    HistoryRow row =
        HistoryRowNow(run_.CorrectCount, run_.ErrorCount, elapsed, WordsPerMinute(run_.CorrectCount, elapsed),
                      ErrorPercent(run_.ErrorCount, run_.CorrectCount), false, false);
    row.Layout = layout_->Name().Text();
    row.LessonKey = LessonName();
    outcome.Row = row;
    outcome.Result = course_->EndLesson();
    return outcome;
}
