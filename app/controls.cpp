// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/controls.h"

#include <QAbstractTextDocumentLayout>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include "app/qt_text.h"
#include "common/cp1252.h"
#include "keyboard/layout.h"

namespace {
// Focus that moves because another window became active (a message box, another
// program) is not the user leaving or entering a control.
bool MovedWithinWindow(const QFocusEvent* event) {
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}
}  // namespace

TypingEdit::TypingEdit(QWidget* parent) : QLineEdit(parent) { setReadOnly(true); }

std::string TypingEdit::Text() const { return FromQString(text()); }

void TypingEdit::SetText(const std::string& value) {
    QString q = ToQString(value);
    if (q != text()) setText(q);
}

QVariant TypingEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
    // No input method composes for this field: its dead keys reach it as key presses.
    if (query == Qt::ImEnabled) return false;
    return QLineEdit::inputMethodQuery(query);
}

void TypingEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    emit keyStruck(event->nativeScanCode(), event->nativeVirtualKey(), event->key(), typed, event->timestamp());
    if (typed.isEmpty() && !KeyboardLayout::IsDeadKeysym(event->nativeVirtualKey())) {
        // Navigation and copying still work; a read-only field inserts nothing.
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TypingEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty()) emit committed(event->commitString());
    event->accept();
}

void TypingEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (MovedWithinWindow(event)) emit exited();
}

MemoEdit::MemoEdit(QWidget* parent) : QPlainTextEdit(parent) {
    connect(document(), &QTextDocument::contentsChanged, this, [this] { dirty_ = true; });
}

void MemoEdit::Refresh() {
    if (!dirty_) return;
    dirty_ = false;
    ++generation_;
    text_.clear();
    lines_.clear();
    lineStarts_.clear();
    auto* layout = qobject_cast<QPlainTextDocumentLayout*>(document()->documentLayout());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QString blockText = block.text();
        if (block != document()->begin()) text_ += "\r\n";
        text_ += FromQString(blockText);
        if (layout) layout->ensureBlockLayout(block);
        QTextLayout* lines = block.layout();
        int count = lines ? lines->lineCount() : 0;
        if (count == 0) {
            lines_.push_back(FromQString(blockText));
            lineStarts_.push_back(block.position());
            continue;
        }
        for (int i = 0; i < count; ++i) {
            QTextLine line = lines->lineAt(i);
            lines_.push_back(FromQString(blockText.mid(line.textStart(), line.textLength())));
            lineStarts_.push_back(block.position() + line.textStart());
        }
    }
}

const std::string& MemoEdit::Text() {
    Refresh();
    return text_;
}

void MemoEdit::SetText(const std::string& value) {
    QString q = ToQString(value);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (q == document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'))) return;
    setPlainText(q);
}

const std::string& MemoEdit::Line(int index) {
    static const std::string empty;
    Refresh();
    if (index < 0 || std::size_t(index) >= lines_.size()) return empty;
    return lines_[std::size_t(index)];
}

int MemoEdit::LineCount() {
    Refresh();
    int count = int(lines_.size());
    if (count > 0 && lines_.back().empty()) --count;
    return count;
}

void MemoEdit::MarkCharacter(int line, int index) {
    Refresh();
    QList<QTextEdit::ExtraSelection> marks;
    if (line >= 0 && std::size_t(line) < lines_.size() && index >= 0 && std::size_t(index) < lines_[std::size_t(line)].size()) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(document());
        mark.cursor.setPosition(lineStarts_[std::size_t(line)] + index);
        mark.cursor.setPosition(lineStarts_[std::size_t(line)] + index + 1, QTextCursor::KeepAnchor);
        mark.format.setBackground(QColor(255, 214, 102));
        mark.format.setFontUnderline(true);
        marks.append(mark);
    }
    setExtraSelections(marks);
}

void MemoEdit::ScrollToTop() { verticalScrollBar()->setValue(0); }
void MemoEdit::ScrollToLine(int line) { verticalScrollBar()->setValue(line); }
void MemoEdit::ScrollDown(int lines) { verticalScrollBar()->setValue(verticalScrollBar()->value() + lines); }
int MemoEdit::FirstVisibleLine() const { return verticalScrollBar()->value(); }

void MemoEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    if (!MovedWithinWindow(event)) return;
    // The press that gives the focus arrives next: it must not place the caret over the
    // selection made on entry.
    swallowClick_ = event->reason() == Qt::MouseFocusReason;
    emit entered();
}

void MemoEdit::focusOutEvent(QFocusEvent* event) {
    swallowClick_ = false;
    QPlainTextEdit::focusOutEvent(event);
}

void MemoEdit::mousePressEvent(QMouseEvent* event) {
    if (swallowClick_) {
        event->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void MemoEdit::mouseMoveEvent(QMouseEvent* event) {
    if (swallowClick_) {
        event->accept();
        return;
    }
    QPlainTextEdit::mouseMoveEvent(event);
}

void MemoEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (swallowClick_) {
        swallowClick_ = false;
        event->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

void MemoEdit::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    dirty_ = true;
}

void ClickSpinBox::mousePressEvent(QMouseEvent* event) {
    QSpinBox::mousePressEvent(event);
    emit clicked();
}

CentredMemo::CentredMemo(QWidget* parent) : QTextEdit(parent) { setAcceptRichText(false); }

std::string CentredMemo::Text() const {
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return FromQString(raw);
}

void CentredMemo::SetText(const std::string& value) {
    QString q = ToQString(value);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(q);
    selectAll();
    setAlignment(Qt::AlignCenter);
    MoveCaretToEnd();
}

void CentredMemo::MoveCaretToEnd() {
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::End);
    setTextCursor(cursor);
}

int HintTimingStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                               QStyleHintReturn* returned) const {
    if (hint == QStyle::SH_ToolTip_WakeUpDelay) return 100;
    if (hint == QStyle::SH_ToolTip_FallAsleepDelay) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returned);
}
