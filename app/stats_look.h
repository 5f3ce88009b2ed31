// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's faces and colours, for the statistics window and its parts.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace look {

inline const QColor kNavy(0, 0, 128);
inline const QColor kPaleYellow(255, 255, 225);  // the tooltip colour of the typing fields
inline const QColor kInactiveBorder(212, 208, 200);
inline const QColor kErrorRed(192, 0, 0);

// A face at a height in pixels (device-independent: it follows QT_SCALE_FACTOR).
inline QFont PixelFont(const char* family, int pixels, bool bold = false) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

}  // namespace look
