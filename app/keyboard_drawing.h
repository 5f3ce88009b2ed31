// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the two drawn keyboards share (the heat map of the statistics and the clavier
// visuel): where each physical key lies in a widget, the outline of a key (the ISO Enter
// in one piece), the names on the keys that type no character, and a key's caps on a
// layout.
#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <array>

#include "keyboard/layout.h"

namespace keyboard_drawing {

// The keyboard fitted and centred in a widget, with `extraRows` key rows below it (a
// legend, a hint).
struct Frame {
    Frame(QSizeF size, double extraRows);

    double Unit = 0;  // one key width, in pixels
    QPointF Origin;   // the keyboard's top-left corner

    // Where a place of PhysicalKeys() is drawn, empty for none.
    QRectF KeyRect(int place) const;
    // Its outline: a rounded rectangle, the ISO Enter's two parts joined.
    QPainterPath KeyShape(int place) const;
    // The top of the rows below the keyboard.
    double Bottom() const { return Origin.y() + kKeyboardRows * Unit; }
};

// The lower part of the Enter key: a place of its own, drawn with the upper part.
int LowerEnterPlace();
// The place whose state a place shows: the lower part of Enter follows its upper part.
int OwnerPlace(int place);
bool ValidPlace(int place);

// The French name on a key that types no character ("Maj", "Entrée", "" for the Windows
// keys), nullptr for a key that types.
const char* FunctionKeyName(const char* xkbName);

// What a layout engraves on a key, level by level (the spacing form of a dead key).
struct Caps {
    std::array<QString, kLevelCount> Text;
    std::array<bool, kLevelCount> Dead{};
    // A letter is engraved once, as its capital (Text[1]).
    bool Letter = false;
};
Caps CapsOf(const KeyboardLayout& layout, int place);

}  // namespace keyboard_drawing
