// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The physical keys of an ISO keyboard, by position: their XKB names, their place on the
// drawn keyboard, the finger that strikes them in touch typing, and the numbering of the
// 51 tracked keys of the progress record. A key is its position whatever the layout: the
// key left of the top row's first letter is key 1 (A on AZERTY) on every keyboard.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "keyboard/keyboard.h"

// The standard touch-typing assignment: each column of keys to one finger.
enum class Finger : uint8_t {
    LeftPinky,
    LeftRing,
    LeftMiddle,
    LeftIndex,
    Thumb,
    RightIndex,
    RightMiddle,
    RightRing,
    RightPinky,
    None,  // keys no course assigns (Ctrl, the Windows keys)
};

struct PhysicalKey {
    const char* XkbName;  // "AD01"
    double X;             // left edge, in key widths
    int Row;              // 0 the digit row .. 4 the space bar's row
    double Width;
    uint8_t Vk;  // virtual-key code of the key on classic AZERTY, 0 for none
    Finger Hand;
    bool HomeBump;  // the two keys with a raised mark under the index fingers

    // The tracked key it is (1..51), 0 for a key the record does not track.
    int Key() const { return KeyOfVirtualKey[Vk]; }
    bool LeftHand() const { return Hand <= Finger::LeftIndex; }
};

// The keys of the drawn keyboard, row by row from the top; Shift and Alt appear twice.
std::span<const PhysicalKey> PhysicalKeys();
constexpr double kKeyboardColumns = 15;
constexpr int kKeyboardRows = 5;

// The position of an XKB key name among PhysicalKeys(), -1 when it is not drawn.
int PhysicalKeyOfName(std::string_view xkbName);
// The first drawn place of a tracked key (1..51), -1 for none.
int PhysicalKeyOfKey(int key);
