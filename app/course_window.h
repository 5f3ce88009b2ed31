// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The "Apprendre à taper" window: the course's lessons, real French made of the keys
// learned so far, typed under the on-screen keyboard; the keys learned shown as tiles with
// their speed against the target. It draws a CourseSession and feeds it the keys.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/controls.h"
#include "app/course_session.h"
#include "app/keyboard_edge.h"
#include "app/onscreen_keyboard.h"

extern const char* const kCourseWindowTitle;  // UTF-8

// The key tiles: each key learned with its speed against the target and its accuracy; the
// key the lesson works on is framed. A click on a learned key asks for a lesson on it.
class KeyTiles : public QWidget {
    Q_OBJECT
public:
    explicit KeyTiles(QWidget* parent);
    void SetCourse(const Course* course, int lessonStep) {
        course_ = course;
        lessonStep_ = lessonStep;
        update();
    }
    // The step whose tile is at this point, -1 for none.
    int StepAt(QPointF point) const;
    QSize sizeHint() const override { return {600, 58}; }
    QSize minimumSizeHint() const override { return {300, 58}; }

signals:
    void stepClicked(int step);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The steps drawn (the keys learned and the next, the last as many as fit), each tile
    // of the width given.
    struct Row {
        std::vector<int> Steps;
        double Width = 0;
        int Height = 0;
        QRectF Tile(std::size_t index) const { return QRectF(1 + double(index) * Width, 1, Width - 3, Height - 3); }
    };
    Row Drawn() const;

    const Course* course_ = nullptr;
    int lessonStep_ = -1;
};

// What the course needs of the main window.
struct CourseServices {
    std::function<void()> Beep;                                   // a wrong key, when the sound is on
    std::function<std::string(const HistoryRow&)> AppendHistory;  // a message (UTF-8) when it failed
    std::function<void()> SaveRecord;                             // the layout's record, at each lesson's end
    std::function<void(const std::string& utf8)> ShowMessage;

    // The end of a lesson or a passage: its history row when it has one, then the record
    // saved; a failure is said.
    void RunEnded(const std::optional<HistoryRow>& row) const;
};

// A wrong key in a typing window: its key flashes on the keyboard when shown, the typing
// field flashes, and the sound rings.
void ShowWrongKey(OnscreenKeyboard* keyboard, TypingEdit* field, int place, const CourseServices& services);

class CourseWindow : public QWidget {
    Q_OBJECT
public:
    // Types through the edge, on its layout and record; follows its changes of layout.
    CourseWindow(const Lexicon& lexicon, KeyboardEdge& edge, ProgressRecord& record, std::string dataDirectory,
                 CourseServices services, QWidget* parent = nullptr);

    // Starts (or starts again, after a change of layout) on the active layout.
    void Start();
    // A lesson around these characters (Windows-1252), from the statistics.
    void Practise(const std::string& characters);
    CourseSession& Session() { return session_; }

    // Puts the lesson's text on the clipboard (Ctrl+C).
    void CopyLesson();
    // A key press, as the typing field gives it.
    void Key(const KeyPress& press, uint64_t eventMs);
    // A page before the lesson is shown (where the hands rest, a new key) until Enter or
    // Escape.
    bool ShowingPage() const { return page_; }

    QLabel* Title;
    KeyTiles* Tiles;
    QLabel* Model;
    TypingEdit* Field;
    QLabel* Result;  // the last lesson's result, hidden until one is typed
    QLabel* Info;
    OnscreenKeyboard* Keyboard;
    QSpinBox* TargetBox;
    QPushButton* NextKeyButton;
    QPushButton* BackButton;
    QPushButton* NewTextButton;
    QPushButton* CloseButton;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowLesson();
    void ShowProgress();
    void SaveState();
    void LessonDone(const CourseSession::KeyOutcome& outcome);
    // Pages before a lesson (course_pages.cpp): where the hands rest, at the first opening
    // of a new course; a key just unlocked, lit with its finger.
    void ShowWelcome();
    void ShowNewKey(int step);
    void ShowPage(const QString& title, const QString& text);
    void EndPage();
    bool page_ = false;
    // The result of the lesson just typed, under the typing field.
    void ShowResult(const CourseSession::KeyOutcome& outcome);

    KeyboardEdge& edge_;
    CourseSession session_;
    CourseServices services_;
    bool started_ = false;
};
