// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The "Vos textes" window: the user's own texts and EPUB books typed passage after passage,
// resumed where the user stopped; the recent texts with their progress. It draws a
// TextSession, feeds it the keys and polls its reading, so that a whole book never holds
// the window up.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/course_window.h"
#include "app/keyboard_edge.h"
#include "app/onscreen_keyboard.h"
#include "app/text_session.h"

extern const char* const kTextWindowTitle;  // UTF-8

// What the window needs of the main window: the course's services, and more.
struct TextServices : CourseServices {
    // A question and its buttons (UTF-8); the index of the button chosen, -1 for none.
    std::function<int(const std::string& text, const std::vector<std::string>& buttons)> Ask;
    // A text or book the user chooses, starting in this folder; empty for none.
    std::function<std::string(const std::string& folder)> ChooseFile;
    // The passages' length in characters ("Nombre de phrases").
    std::function<std::size_t()> PassageLength;
};

class TextWindow : public QWidget {
    Q_OBJECT
public:
    // Types through the edge, on its layout and record; follows its changes of layout.
    TextWindow(KeyboardEdge& edge, ProgressRecord& record, TextServices services, QWidget* parent = nullptr);

    // Reads the recent texts and the settings; once, before the window is first shown.
    void Start();
    // Opens a text (a path of the file system), resumed where the user stopped.
    void Open(const std::string& path);
    // Asks for a file and opens it ("Ouvrir un texte…").
    void ChooseAndOpen();
    TextSession& Session() { return session_; }

    // Polls the reading and the checks of the recent texts' files (the timer's work).
    void Poll();
    // Puts the passage on the clipboard (Ctrl+C).
    void CopyPassage();
    // A key press, as the typing field gives it.
    void Key(const KeyPress& press, uint64_t eventMs);
    // The next passage (Enter at the end of one, "Passage suivant").
    void NextPassage();

    QLabel* Heading;
    QListWidget* Recent;
    QPushButton* OpenButton;
    QPushButton* ForgetButton;
    QProgressBar* Progress;
    QTextEdit* Model;
    TypingEdit* Field;
    QLabel* Result;  // the last passage's result, hidden until one is typed
    QLabel* Info;
    OnscreenKeyboard* Keyboard;
    QCheckBox* TypographyBox;
    QCheckBox* KeyboardBox;
    QPushButton* NextButton;
    QPushButton* CloseButton;
    QTimer* Timer;

private:
    // The dialogs that ask a question and choose a file, unless the services give them.
    void SetDialogs();
    void ShowRecent();
    void OpenRecent(const std::string& path);
    // The file of a text kept in the list is gone: find it again, or forget it.
    void FileMissing(const TextPlace& place);
    void Polled(const TextSession::Polled& polled);
    void ShowPassage();
    void ShowState();
    // Paints the model's characters from..to-1 (of the passage's paragraphs one after the
    // other) as typed, wrong, next or to come.
    void PaintModel(int from, int to);
    void PassageDone(const TextSession::KeyOutcome& outcome);
    void Say(const std::string& utf8) const;
    int Ask(const std::string& text, const std::vector<std::string>& buttons) const;
    void LayoutChanged();
    void ShowKeyboard(bool shown);

    KeyboardEdge& edge_;
    TextSession session_;
    TextServices services_;
    std::vector<TextSession::FileStatus> statuses_;
    std::vector<int> starts_;  // where each paragraph of the passage starts, in its characters
    int painted_ = 0;          // the character marked next in the model
    bool started_ = false;
    bool asking_ = false;  // a question is open: the timer waits
};
