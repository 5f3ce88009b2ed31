// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One learner's course on the active layout, without widgets: the course's state (the keys
// unlocked, the target, the figures of each key), the lesson being typed (its text, the
// run's state and its place in the text), the check of each key by the rules of the main
// window, and the end of a lesson (a key unlocked, the history row). The course window
// draws it and feeds it the keys.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "exercise/course.h"
#include "exercise/typing.h"
#include "exercise/typing_cursor.h"
#include "generator/course_intro.h"
#include "generator/course_text.h"
#include "lexicon/lexicon.h"
#include "stats/history.h"
#include "stats/progress.h"

class CourseSession {
public:
    // The record is the active layout's; the course state lives in the program's folder,
    // the word ranking in the data folder.
    CourseSession(const Lexicon& lexicon, ProgressRecord& record, std::string dataDirectory, std::string programFolder);

    // Reads the course state of the layout (a French message when part of it could not be
    // read; empty otherwise) and makes the first lesson.
    std::string Start(const KeyboardLayout& layout);
    // Saves the course state; throws IoError naming the file.
    void Save() const;

    // A new lesson around the focus key, or around the characters given (a weak pair or key
    // from the statistics), which are allowed in it even when not unlocked yet.
    void NewLesson(const std::string& practise = {});
    // A new lesson on a key already learned (a click on its tile).
    void NewLessonOn(int step);
    const std::string& Text() const { return text_.text; }
    bool Invented() const { return text_.invented; }
    bool Sentences() const { return text_.sentences; }
    const std::string& Practise() const { return practise_; }
    // The step the lesson was built on, for the whole lesson; -1 for a lesson around
    // characters given.
    int LessonStep() const { return lessonStep_; }
    // What the lesson works on, as the user reads it (UTF-8): the step's name, or the
    // characters practised ("l e" for a pair).
    std::string LessonName() const;
    // The wrong keys struck at each character of the lesson, until it ends or starts again.
    const std::vector<uint8_t>& Missed() const { return missed_; }
    // The course had no file on this layout: its first opening.
    bool NewCourse() const { return newCourse_; }
    const TypingCursor& Cursor() const { return cursor_; }
    int Typed() const { return cursor_.Typed(); }

    // The key-downs and characters of the lesson, as the main window takes them.
    void KeyDown(uint8_t virtualKey) { run_.KeyDown(virtualKey); }
    struct KeyOutcome {
        bool Correct = false;
        bool Finished = false;               // the lesson's last character
        std::optional<LessonResult> Result;  // the finished lesson: its figures, a key unlocked
        std::optional<HistoryRow> Row;       // the finished lesson, for the history
    };
    KeyOutcome KeyPress(std::optional<unsigned char> typed, KeyTime at);
    // Escape: the lesson starts again, its keystrokes dropped.
    void Restart();
    // The lesson is cut (a change of layout): its keystrokes kept, no lesson counted.
    void Cut() { course_->CutLesson(); }

    Course& State() { return *course_; }
    const Course& State() const { return *course_; }
    // The characters the learner may type now (Windows-1252, without the blank).
    std::string Allowed() const;
    // The character of a step that the lesson works on.
    unsigned char FocusCharacter() const;

private:
    void Reindex();
    void MakeLesson(int step);

    const Lexicon& lexicon_;
    ProgressRecord& record_;
    std::string dataDirectory_;
    std::string programFolder_;
    const KeyboardLayout* layout_ = nullptr;
    std::unique_ptr<Course> course_;
    std::unique_ptr<WordRanking> ranking_;
    std::unique_ptr<CourseWords> words_;
    std::unique_ptr<CourseIndex> index_;
    CourseVariety variety_;  // the words of the last lessons, which come back only when needed
    std::string indexedFor_;
    CourseText text_;
    std::string practise_;
    TypingCursor cursor_;
    RunState run_;
    bool missedThisCharacter_ = false;
    int lessonStep_ = -1;
    std::vector<uint8_t> missed_;
    bool newCourse_ = false;
};
