// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/controls.h"

#include <algorithm>

#include <QAbstractTextDocumentLayout>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
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

void TypingEdit::FlashWrong() {
    if (!flashTimer_) {
        flashTimer_ = new QTimer(this);
        flashTimer_->setSingleShot(true);
        flashTimer_->setInterval(250);
        connect(flashTimer_, &QTimer::timeout, this, [this] { setPalette(normalPalette_); });
        normalPalette_ = palette();
    }
    QPalette flash = normalPalette_;
    flash.setColor(QPalette::Base, QColor(255, 190, 190));
    setPalette(flash);
    flashTimer_->start();
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
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        dirty_ = true;
        markLine_ = -1;  // the mark belongs to the text it was put on
        markLayoutLine_ = -1;
    });
}

void MemoEdit::Refresh() {
    if (!dirty_) return;
    dirty_ = false;
    ++generation_;
    text_.clear();
    lines_.clear();
    lineStarts_.clear();
    lineInBlock_.clear();
    blockTops_.clear();
    double top = 0;
    auto* layout = qobject_cast<QPlainTextDocumentLayout*>(document()->documentLayout());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QString blockText = block.text();
        if (block != document()->begin()) text_ += "\r\n";
        text_ += FromQString(blockText);
        if (layout) layout->ensureBlockLayout(block);
        blockTops_.push_back(top);
        top += blockBoundingRect(block).height();
        QTextLayout* lines = block.layout();
        int count = lines ? lines->lineCount() : 0;
        if (count == 0) {
            lines_.push_back(FromQString(blockText));
            lineStarts_.push_back(block.position());
            lineInBlock_.emplace_back(block.blockNumber(), -1);
            continue;
        }
        for (int i = 0; i < count; ++i) {
            QTextLine line = lines->lineAt(i);
            lines_.push_back(FromQString(blockText.mid(line.textStart(), line.textLength())));
            lineStarts_.push_back(block.position() + line.textStart());
            lineInBlock_.emplace_back(block.blockNumber(), i);
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
    if (line < 0 || std::size_t(line) >= lines_.size() || index < 0 ||
        std::size_t(index) >= lines_[std::size_t(line)].size())
        line = -1;
    if (line == markLine_ && (line < 0 || index == markIndex_)) return;
    // Only the old and the new mark are painted again: a long text is not laid out anew.
    viewport()->update(markRect_);
    markLine_ = line;
    markIndex_ = index;
    markRect_ = MarkRect();
    viewport()->update(markRect_);
}

QRect MemoEdit::MarkRect() {
    if (markLine_ < 0 || std::size_t(markLine_) >= lineInBlock_.size()) return {};
    const auto [blockNumber, lineNumber] = lineInBlock_[std::size_t(markLine_)];
    const QTextBlock block = document()->findBlockByNumber(blockNumber);
    if (!block.isValid() || !block.layout()) return {};
    const QTextLine line = block.layout()->lineAt(lineNumber < 0 ? 0 : lineNumber);
    if (!line.isValid()) return {};
    if (markLayoutLine_ != markLine_) {
        markLayoutLine_ = markLine_;
        const QString text = block.text().mid(lineStarts_[std::size_t(markLine_)] - block.position(),
                                              lineNumber < 0 ? -1 : line.textLength());
        markLineLayout_ = std::make_unique<QTextLayout>(text, font());
        markLineLayout_->beginLayout();
        markLineLayout_->createLine().setLineWidth(1e6);
        markLineLayout_->endLayout();
    }
    const QTextLine alone = markLineLayout_->lineAt(0);
    const double left = line.x() + alone.cursorToX(markIndex_), right = line.x() + alone.cursorToX(markIndex_ + 1);
    // The first line shown is the scroll bar's value, as this memo scrolls by display lines;
    // the text is drawn from there (below the document's margin at the very top), so no
    // paragraph is measured again here.
    const int topLine = std::clamp(verticalScrollBar()->value(), 0, int(lineInBlock_.size()) - 1);
    const auto [topBlockNumber, topLineInBlock] = lineInBlock_[std::size_t(topLine)];
    double top = topLine == 0 ? document()->documentMargin() : 0.0;
    if (topLineInBlock > 0) {
        const QTextBlock topBlock = document()->findBlockByNumber(topBlockNumber);
        if (topBlock.isValid() && topBlock.layout()) top -= topBlock.layout()->lineAt(topLineInBlock).y();
    }
    top += blockTops_[std::size_t(blockNumber)] - blockTops_[std::size_t(topBlockNumber)] + line.y();
    const double width = right > left ? right - left : fontMetrics().averageCharWidth();
    return QRectF(left - horizontalScrollBar()->value(), top, width, line.height()).toAlignedRect();
}

void MemoEdit::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    if (markLine_ < 0) return;
    // Scrolling moves the mark with the text.
    markRect_ = MarkRect();
    if (markRect_.isEmpty()) return;
    QPainter painter(viewport());
    painter.fillRect(markRect_, QColor(255, 200, 60, 110));
    painter.fillRect(QRect(markRect_.left(), markRect_.bottom() - 1, markRect_.width(), 2), QColor(200, 120, 0));
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
    markLayoutLine_ = -1;
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
