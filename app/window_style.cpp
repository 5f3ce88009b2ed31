// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_style.h"

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

}  // namespace window_style
