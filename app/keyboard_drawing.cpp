// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/keyboard_drawing.h"

#include <algorithm>
#include <cstring>

namespace keyboard_drawing {

namespace {
constexpr double kGap = 0.06;  // space around a key cap, in key units
}  // namespace

Frame::Frame(QSizeF size, double extraRows)
    : Unit(std::min(size.width() / kKeyboardColumns, size.height() / (kKeyboardRows + extraRows))),
      Origin((size.width() - Unit * kKeyboardColumns) / 2, (size.height() - Unit * (kKeyboardRows + extraRows)) / 2) {}

QRectF Frame::KeyRect(int place) const {
    if (!ValidPlace(place)) return {};
    const PhysicalKey& key = PhysicalKeys()[std::size_t(place)];
    const double gap = Unit * kGap;
    return {Origin + QPointF(key.X * Unit + gap, key.Row * Unit + gap),
            QSizeF(key.Width * Unit - 2 * gap, Unit - 2 * gap)};
}

QPainterPath Frame::KeyShape(int place) const {
    const QRectF rect = KeyRect(place);
    const double radius = Unit * 0.1;
    QPainterPath shape;
    shape.addRoundedRect(rect, radius, radius);
    if (ValidPlace(place) && std::strcmp(PhysicalKeys()[std::size_t(place)].XkbName, "RTRN") == 0 &&
        LowerEnterPlace() >= 0) {
        const QRectF lower = KeyRect(LowerEnterPlace());
        QPainterPath below;
        below.addRoundedRect(QRectF(lower.left(), rect.center().y(), lower.width(), lower.bottom() - rect.center().y()),
                             radius, radius);
        shape = shape.united(below).simplified();
    }
    return shape;
}

int LowerEnterPlace() {
    static const int place = [] {
        const auto keys = PhysicalKeys();
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (*keys[i].XkbName == '\0') return int(i);
        return -1;
    }();
    return place;
}

int OwnerPlace(int place) {
    static const int enter = PhysicalKeyOfName("RTRN");
    return place == LowerEnterPlace() ? enter : place;
}

bool ValidPlace(int place) { return place >= 0 && std::size_t(place) < PhysicalKeys().size(); }

const char* FunctionKeyName(const char* xkbName) {
    struct Name {
        const char* Xkb;
        const char* Text;
    };
    static constexpr Name kNames[] = {
        {"TAB", "Tab"},     {"CAPS", "Verr. maj"}, {"LFSH", "Maj"},  {"RTSH", "Maj"}, {"RTRN", "Entrée"},
        {"BKSP", "←"},      {"LCTL", "Ctrl"},      {"RCTL", "Ctrl"}, {"LALT", "Alt"}, {"RALT", "Alt Gr"},
        {"SPCE", "Espace"}, {"LWIN", ""},          {"RWIN", ""},     {"MENU", ""},
    };
    for (const Name& name : kNames)
        if (std::strcmp(name.Xkb, xkbName) == 0) return name.Text;
    return nullptr;
}

Caps CapsOf(const KeyboardLayout& layout, int place) {
    Caps caps;
    for (int level = 0; level < kLevelCount; ++level) {
        caps.Text[std::size_t(level)] = QString::fromStdString(layout.CapText(place, level));
        caps.Dead[std::size_t(level)] = KeyboardLayout::IsDeadKeysym(layout.Symbols(place).Keysyms[std::size_t(level)]);
    }
    caps.Letter = !caps.Text[0].isEmpty() && caps.Text[0] != caps.Text[1] && caps.Text[0].toUpper() == caps.Text[1];
    return caps;
}

}  // namespace keyboard_drawing
