// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Control classes of the window that need more than Qt's stock widgets give.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QSpinBox>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The typing field: read-only for the user, yet every key press reaches the window with
// its physical key (XKB keycode), its keysym, its text and its own time. Dead keys are not
// left to an input method: the window composes them with the layout, so that their
// key-downs arrive too. Characters that an input method commits all the same are passed on.
class TypingEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TypingEdit(QWidget* parent);

    // The text as Windows-1252 bytes.
    std::string Text() const;
    // Sets the text; setting the present text changes nothing and raises no change event.
    void SetText(const std::string& text);
    void SetCaret(int position) { setCursorPosition(position); }
    // A wrong key: the field turns pale red for a quarter of a second.
    void FlashWrong();
    bool Flashing() const { return flashTimer_ && flashTimer_->isActive(); }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    // A key went down: keycode and keysym as the window system gives them (0 when it gives
    // none), the toolkit's key value, the typed text, the event's time in milliseconds.
    void keyStruck(quint32 keycode, quint32 keysym, int qtKey, const QString& text, quint64 time);
    // Characters committed by an input method, which come without their keys.
    void committed(const QString& text);
    void exited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QTimer* flashTimer_ = nullptr;
    QPalette normalPalette_;
};

// A multi-line edit whose text and display lines are read as Windows-1252 bytes. The
// display lines are those of the laid-out document, a blank at which a line wrapped
// staying at the end of that line; they are computed once per change of text or width.
class MemoEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MemoEdit(QWidget* parent);

    // The whole text, paragraphs separated by CR LF.
    const std::string& Text();
    // Sets the text (CR LF or LF between paragraphs); the present text raises no change event.
    void SetText(const std::string& text);
    // Display line i (from 0), empty beyond the last.
    const std::string& Line(int index);
    // Display lines, less one when the last of them is empty.
    int LineCount();

    // Marks character `index` of display line `line` (its background), without touching the
    // text or the selection; a negative line clears the mark.
    void MarkCharacter(int line, int index);
    // Changes each time the display lines are computed anew (text, width).
    int Generation() {
        Refresh();
        return generation_;
    }
    const std::vector<std::string>& Lines() {
        Refresh();
        return lines_;
    }

    // Scrolling by display lines.
    void ScrollToTop();
    void ScrollToLine(int line);
    void ScrollDown(int lines);
    int FirstVisibleLine() const;

signals:
    void entered();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The click that enters the memo keeps the selection made on entry; a click inside the
    // focused memo places the caret as usual.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Refresh();

    bool swallowClick_ = false;

    bool dirty_ = true;
    int generation_ = 0;
    std::string text_;
    std::vector<std::string> lines_;
    std::vector<int> lineStarts_;  // document position of each display line
    // Where each display line is laid out (its paragraph and its line there), and the top of
    // each paragraph in the document: the mark is placed from them without laying out again.
    std::vector<std::pair<int, int>> lineInBlock_;
    std::vector<double> blockTops_;
    QRect MarkRect();
    int markLine_ = -1;
    int markIndex_ = 0;
    QRect markRect_;
    // The marked line laid out alone, so that moving the mark along it shapes no text.
    std::unique_ptr<QTextLayout> markLineLayout_;
    int markLayoutLine_ = -1;
};

// A spin edit that reports clicks.
class ClickSpinBox : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// A multi-line edit with centred text (the interruption time).
class CentredMemo : public QTextEdit {
    Q_OBJECT
public:
    explicit CentredMemo(QWidget* parent);
    std::string Text() const;
    void SetText(const std::string& text);
    void MoveCaretToEnd();
};

// The program's style: hints appear 100 ms after the pointer comes to rest.
class HintTimingStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override;
};
