// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/key_characters.h"

#include "common/cp1252.h"
#include "keyboard/layout.h"

std::string KeyPractiseCharacters(int key) {
    if (key < 1 || key > kKeyCount) return {};
    const char ch = ActiveLayout().ByteAt(PhysicalKeyOfKey(key), 0);
    return ch ? std::string(1, ch) : std::string();
}

std::string PairPractiseCharacters(int previous, int current) {
    if (previous < 1 || previous > kKeyCount || current < 1 || current > kKeyCount) return {};
    const KeyboardLayout& layout = ActiveLayout();
    const int from = PhysicalKeyOfKey(previous), to = PhysicalKeyOfKey(current);
    auto one = [](char ch) { return ch ? std::string(1, ch) : std::string(); };
    // A modifier or a dead key types nothing of its own: the character it makes of the next key.
    switch (KeyVirtualCodes[std::size_t(previous)]) {
        case VK_SHIFT: return one(layout.ByteAt(to, kShiftLevelBit));
        case VK_MENU: return one(layout.ByteAt(to, kAltGrLevelBit));
        default: break;
    }
    const uint32_t dead = layout.Symbols(from).Keysyms[0];
    if (KeyboardLayout::IsDeadKeysym(dead)) {
        const char32_t composed = layout.Compose(dead, layout.Symbols(to).Keysyms[0]);
        const int byte = composed ? cp1252_detail::FromUnicode(composed) : -1;
        return byte > 0 ? std::string(1, static_cast<char>(byte)) : std::string();
    }
    const char first = layout.ByteAt(from, 0);
    if (!first) return {};
    // Before a modifier or a dead key, the character after it is not known: the first alone.
    return one(first) + one(layout.ByteAt(to, 0));
}
