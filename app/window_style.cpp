// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_style.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>

namespace {

// Swallows the key events aimed at one window until a delay has passed. The shortcut
// check that precedes a key press is answered as taken, so that no shortcut fires either.
class KeyDelay : public QObject {
public:
    KeyDelay(QWidget* window, int delayMs) : window_(window), delayMs_(delayMs) {
        clock_.start();
        qApp->installEventFilter(this);
    }
    ~KeyDelay() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride) return false;
        if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != window_) return false;
        if (clock_.elapsed() >= delayMs_) return false;
        event->accept();
        return true;
    }

private:
    QWidget* window_;
    int delayMs_;
    QElapsedTimer clock_;
};

}  // namespace

namespace window_style {

QFont PixelFont(const char* family, int pixels, bool bold) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void SetColours(QWidget* widget, const QColor& text, const QColor* base) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    if (base) palette.setColor(QPalette::Base, *base);
    widget->setPalette(palette);
}

void Hint(QWidget* widget, const char* utf8) {
    widget->setToolTip(QString::fromUtf8(utf8));
    widget->setToolTipDuration(kHintDurationMs);
}

void SubstituteWindowFonts() {
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
}

QString CountText(int64_t count, const char* singular, const char* plural) {
    return QString::fromUtf8("%1 %2")
        .arg(QLocale(QLocale::French).toString(qlonglong(count)))
        .arg(QString::fromUtf8(count >= 2 ? plural : singular));
}

void StyleTypingField(QWidget* field) {
    field->setFont(PixelFont("Arial", 19));
    SetColours(field, kTeal, &kPaleYellow);
}

QLabel* NewResultLabel(QWidget* parent) {
    auto* result = new QLabel(parent);
    result->setWordWrap(true);
    result->setTextFormat(Qt::RichText);
    result->setFont(PixelFont("Arial", 13));
    result->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    result->setMargin(4);
    result->hide();
    return result;
}

QLabel* NewInfoLabel(QWidget* parent) {
    auto* info = new QLabel(parent);
    info->setWordWrap(true);
    info->setFont(PixelFont("Arial", 13));
    return info;
}

void ShowResultText(QLabel* label, const std::string& utf8) {
    QStringList lines = QString::fromStdString(utf8).split('\n', Qt::SkipEmptyParts);
    for (QString& line : lines) line = line.toHtmlEscaped();
    if (!lines.isEmpty()) lines.front() = QStringLiteral("<b>%1</b>").arg(lines.front());
    label->setText(lines.join(QStringLiteral("<br>")));
    label->setVisible(true);
}

void ShowMessageBox(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    const KeyDelay delay(&box, kMessageBoxKeyDelayMs);
    box.exec();
}

}  // namespace window_style
