// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/keys.h"

#include <array>

namespace {

using F = Finger;

// Finger of a main-block column: the digit, top and home rows share their columns; the
// bottom row is offset by a quarter key but keeps the same fingers.
constexpr F kColumnFingers[] = {F::LeftPinky,  F::LeftRing,   F::LeftMiddle,  F::LeftIndex, F::LeftIndex,
                                F::RightIndex, F::RightIndex, F::RightMiddle, F::RightRing, F::RightPinky,
                                F::RightPinky, F::RightPinky, F::RightPinky};

constexpr PhysicalKey kKeys[] = {
    // Digit row.
    {"TLDE", 0, 0, 1, VK_OEM_7, F::LeftPinky, false},
    {"AE01", 1, 0, 1, '1', F::LeftPinky, false},
    {"AE02", 2, 0, 1, '2', F::LeftRing, false},
    {"AE03", 3, 0, 1, '3', F::LeftMiddle, false},
    {"AE04", 4, 0, 1, '4', F::LeftIndex, false},
    {"AE05", 5, 0, 1, '5', F::LeftIndex, false},
    {"AE06", 6, 0, 1, '6', F::RightIndex, false},
    {"AE07", 7, 0, 1, '7', F::RightIndex, false},
    {"AE08", 8, 0, 1, '8', F::RightMiddle, false},
    {"AE09", 9, 0, 1, '9', F::RightRing, false},
    {"AE10", 10, 0, 1, '0', F::RightPinky, false},
    {"AE11", 11, 0, 1, VK_OEM_4, F::RightPinky, false},
    {"AE12", 12, 0, 1, VK_OEM_PLUS, F::RightPinky, false},
    {"BKSP", 13, 0, 2, VK_BACK, F::RightPinky, false},
    // Top letter row.
    {"TAB", 0, 1, 1.5, VK_TAB, F::LeftPinky, false},
    {"AD01", 1.5, 1, 1, 'A', kColumnFingers[0], false},
    {"AD02", 2.5, 1, 1, 'Z', kColumnFingers[1], false},
    {"AD03", 3.5, 1, 1, 'E', kColumnFingers[2], false},
    {"AD04", 4.5, 1, 1, 'R', kColumnFingers[3], false},
    {"AD05", 5.5, 1, 1, 'T', kColumnFingers[4], false},
    {"AD06", 6.5, 1, 1, 'Y', kColumnFingers[5], false},
    {"AD07", 7.5, 1, 1, 'U', kColumnFingers[6], false},
    {"AD08", 8.5, 1, 1, 'I', kColumnFingers[7], false},
    {"AD09", 9.5, 1, 1, 'O', kColumnFingers[8], false},
    {"AD10", 10.5, 1, 1, 'P', kColumnFingers[9], false},
    {"AD11", 11.5, 1, 1, VK_OEM_6, kColumnFingers[10], false},
    {"AD12", 12.5, 1, 1, VK_OEM_1, kColumnFingers[11], false},
    {"RTRN", 13.5, 1, 1.5, VK_RETURN, F::RightPinky, false},
    // Home row.
    {"CAPS", 0, 2, 1.75, VK_CAPITAL, F::LeftPinky, false},
    {"AC01", 1.75, 2, 1, 'Q', kColumnFingers[0], false},
    {"AC02", 2.75, 2, 1, 'S', kColumnFingers[1], false},
    {"AC03", 3.75, 2, 1, 'D', kColumnFingers[2], false},
    {"AC04", 4.75, 2, 1, 'F', kColumnFingers[3], true},
    {"AC05", 5.75, 2, 1, 'G', kColumnFingers[4], false},
    {"AC06", 6.75, 2, 1, 'H', kColumnFingers[5], false},
    {"AC07", 7.75, 2, 1, 'J', kColumnFingers[6], true},
    {"AC08", 8.75, 2, 1, 'K', kColumnFingers[7], false},
    {"AC09", 9.75, 2, 1, 'L', kColumnFingers[8], false},
    {"AC10", 10.75, 2, 1, 'M', kColumnFingers[9], false},
    {"AC11", 11.75, 2, 1, VK_OEM_3, kColumnFingers[10], false},
    {"BKSL", 12.75, 2, 1, VK_OEM_5, kColumnFingers[11], false},
    {"", 13.75, 2, 1.25, VK_RETURN, F::RightPinky, false},  // the lower part of the Enter key
    // Bottom letter row.
    {"LFSH", 0, 3, 1.25, VK_SHIFT, F::LeftPinky, false},
    {"LSGT", 1.25, 3, 1, VK_OEM_102, F::LeftPinky, false},
    {"AB01", 2.25, 3, 1, 'W', kColumnFingers[0], false},
    {"AB02", 3.25, 3, 1, 'X', kColumnFingers[1], false},
    {"AB03", 4.25, 3, 1, 'C', kColumnFingers[2], false},
    {"AB04", 5.25, 3, 1, 'V', kColumnFingers[3], false},
    {"AB05", 6.25, 3, 1, 'B', kColumnFingers[4], false},
    {"AB06", 7.25, 3, 1, 'N', kColumnFingers[5], false},
    {"AB07", 8.25, 3, 1, VK_OEM_COMMA, kColumnFingers[6], false},
    {"AB08", 9.25, 3, 1, VK_OEM_PERIOD, kColumnFingers[7], false},
    {"AB09", 10.25, 3, 1, VK_OEM_2, kColumnFingers[8], false},
    {"AB10", 11.25, 3, 1, VK_OEM_8, kColumnFingers[9], false},
    {"RTSH", 12.25, 3, 2.75, VK_SHIFT, F::RightPinky, false},
    // Space row.
    {"LCTL", 0, 4, 1.25, VK_CONTROL, F::None, false},
    {"LWIN", 1.25, 4, 1.25, 0, F::None, false},
    {"LALT", 2.5, 4, 1.25, VK_MENU, F::Thumb, false},
    {"SPCE", 3.75, 4, 6.25, VK_SPACE, F::Thumb, false},
    {"RALT", 10, 4, 1.25, VK_MENU, F::Thumb, false},
    {"RWIN", 11.25, 4, 1.25, 0, F::None, false},
    {"MENU", 12.5, 4, 1.25, 0, F::None, false},
    {"RCTL", 13.75, 4, 1.25, VK_CONTROL, F::None, false},
};

}  // namespace

std::span<const PhysicalKey> PhysicalKeys() { return kKeys; }

int PhysicalKeyOfName(std::string_view xkbName) {
    if (xkbName.empty()) return -1;
    for (std::size_t i = 0; i < std::size(kKeys); ++i)
        if (xkbName == kKeys[i].XkbName) return int(i);
    return -1;
}

int PhysicalKeyOfKey(int key) {
    if (key < 1 || key > kKeyCount) return -1;
    for (std::size_t i = 0; i < std::size(kKeys); ++i)
        if (kKeys[i].Key() == key) return int(i);
    return -1;
}
