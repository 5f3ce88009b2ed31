// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: every control of the trainer and the handlers bound to their events.
// Handlers stay thin; the work is done by the lexicon, generator, exercise and statistics
// code, which needs no widget.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/controls.h"
#include "app/keyboard_edge.h"
#include "common/io_error.h"
#include "exercise/typing.h"
#include "exercise/typing_cursor.h"
#include "lexicon/lexicon.h"
#include "stats/history.h"
#include "stats/progress.h"

class StatsWindow;
class CourseWindow;
class TextWindow;
struct CourseServices;
class OnscreenKeyboard;

extern const char* const kWindowTitle;  // UTF-8

// What the window shows or sounds outside its own controls. Tests replace them.
struct FormServices {
    std::function<void(const std::string& text)> ShowMessage;  // modal box, one OK button (UTF-8)
    std::function<void()> Beep;
};
FormServices DefaultFormServices();
// The message box alone, for a box shown before the window exists: no sound is prepared.
FormServices MessageServices();

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(FormServices services = DefaultFormServices(), QWidget* parent = nullptr);
    ~TForm1() override;

    // Controls, named as the window has always named them.
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label5;
    QGroupBox* GroupBox5;
    QGroupBox* GroupBox1;
    QGroupBox* GroupBox3;
    QGroupBox* GroupBox2;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;
    QPushButton* Button1;
    QCheckBox* CheckBox1;
    ClickSpinBox* SpinEdit1;
    QGroupBox* GroupBox4;
    CentredMemo* Memo3;
    QPushButton* OK;
    QLineEdit* Edit1;
    MemoEdit* Memo1;
    QProgressBar* ProgressBar1;
    TypingEdit* Edit2;
    MemoEdit* Memo2;
    QLabel* StaticText1;
    QTimer* Timer1;
    QPushButton* StatsButton = nullptr;   // opens the detailed statistics (form1_statistics.cpp)
    QPushButton* CourseButton = nullptr;  // opens the typing course (form1_keyboard.cpp)
    QPushButton* TextsButton = nullptr;   // opens "Vos textes" (form1_keyboard.cpp)
    QCheckBox* KeyboardBox = nullptr;     // shows the on-screen keyboard under the typing field
    OnscreenKeyboard* Keyboard = nullptr;

    // Handlers.
    void FormCreate();
    void FormPaint();
    void FormClose();
    void OKClick();
    void Button1Click();
    void CheckBox1Click();
    void SpinEdit1Click();
    void SpinEdit1Change();
    void Memo1Enter();
    void Memo1Change();
    void Edit2KeyDown(uint8_t virtualKey);
    void Edit2KeyPress(int character);  // a Windows-1252 byte or kNotCp1252
    // A key press of the typing field as the window system gives it: its key-down, then
    // the characters it types once dead keys are composed, each at the event's own time.
    void Edit2Key(const KeyPress& press, uint64_t eventMs);
    // Characters an input method committed: the key-downs that type them on the layout,
    // then the characters.
    void Edit2Commit(const QString& text);
    void Edit2Change();
    void Edit2Exit();
    void CheckBox2Click();
    void Timer1Timer();

    // Steps shared by the handlers.
    void GenerateText();
    void ResetTyping();
    void ShortReset();
    void EstimateTextSpeed();
    void FinishRun(int32_t elapsed);
    // At the end of a line: the text is judged once its last line is typed.
    void JudgeIfFinished(int lineCount);
    void Interrupt();
    void ShowStatistics();
    StatsWindow* Statistics() const { return statsWindow_; }

    // The keyboard every typing window types through: its layout, record and key events.
    KeyboardEdge& Edge() { return *edge_; }
    const KeyboardLayout& Layout() const { return ActiveLayout(); }
    // Where the run stands in the model: the next character and its keystrokes.
    const TypingCursor& Cursor() {
        SyncCursor();
        return cursor_;
    }
    // The typing course, in a window of its own (F3); with characters, a lesson around them.
    void ShowCourse(const std::string& practise = {});
    CourseWindow* Course() const { return courseWindow_; }
    // The user's own texts and books, in a window of their own (F5); with a path, that
    // file opened where the user stopped in it.
    void ShowTexts(const std::string& path = {});
    TextWindow* Texts() const { return textWindow_; }
    // The on-screen keyboard under the typing field (F4), off at start.
    void ShowKeyboard(bool shown);

    // State, readable by tests.
    const std::string& DataDirectory() const { return dataDirectory_; }
    const std::string& ProgramFolder() const { return programFolder_; }
    RunState& Run() { return run_; }
    ProgressRecord& Record() { return *record_; }
    ProgressKeeper& Progress() { return edge_->Keeper(); }
    Lexicon& LexiconTables() { return *lexicon_; }
    bool StartupPending() { return edge_->Keeper().StartupPending; }

    // Text of a control as Windows-1252 bytes.
    std::string TextOf(const QLineEdit* edit) const;
    void SetTextOf(QLineEdit* edit, const std::string& text);

signals:
    // The first paint's loading sequence has ended (completed or stopped by an error).
    void firstPaintDone();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BindHandlers();
    void FirstPaint();
    // Runs a handler; a file error it throws is shown in a message box and the program goes on.
    void Guarded(const std::function<void()>& handler);
    void ShowMessage(const std::string& text);
    void SetEdit2Blank();
    // Appends the judged run to historique.csv; returns a message (UTF-8) to show once judged.
    std::string AppendHistoryRow(int32_t elapsed, bool interrupted);
    // Appends a row (a run, a lesson); returns a message (UTF-8) when it could not be written.
    std::string AppendRow(const HistoryRow& row);
    // Saves the record; returns the error of a failed save (none when saved or skipped).
    std::optional<IoError> SaveReportingLater();
    // The lexicon is loaded and has verbs (not while the first paint is still loading).
    bool LexiconReady() const;

    FormServices services_;
    std::unique_ptr<Lexicon> lexicon_;
    ProgressRecord* record_ = nullptr;
    RunState run_;
    ClockGuard clockGuard_;
    std::string dataDirectory_;
    std::string programFolder_;
    int folderError_ = 0;
    bool closed_ = false;
    bool loading_ = false;
    StatsWindow* statsWindow_ = nullptr;
    std::unique_ptr<HistoryWriter> history_;
    KeyboardEdge* edge_ = nullptr;
    // The time of the key press being handled.
    std::optional<KeyTime> keyTime_;
    // The layout changed: the run under way is cut, the estimate and the keyboard follow.
    void LayoutChanged();
    // The cursor follows the model's display lines, the line copied and the field's text.
    void SyncCursor();
    // Marks the next character in the model; a wrong key flashes the typing field.
    void ShowNext();
    void FlashWrongKey();
    TypingCursor cursor_;
    // What the course and "Vos textes" need of this window: the sound, the history, the
    // record's saves, messages.
    CourseServices TypingServices();
    // Beside this window, inside the screen.
    void PlaceBeside(QWidget* window);
    CourseWindow* courseWindow_ = nullptr;
    TextWindow* textWindow_ = nullptr;
    int lastPlace_ = -1;  // the drawn place of the latest key struck
    bool completingLine_ = false;
    int cursorGeneration_ = -1;
};
