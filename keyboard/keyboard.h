// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The French AZERTY keyboard, held once. From it come the key tables of the progress
// record, the virtual-key code of a key event, and the keystrokes that type a character.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Windows virtual-key codes used by the program.
enum VirtualKey : uint8_t {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_OEM_1 = 0xBA,
    VK_OEM_PLUS = 0xBB,
    VK_OEM_COMMA = 0xBC,
    VK_OEM_PERIOD = 0xBE,
    VK_OEM_2 = 0xBF,
    VK_OEM_3 = 0xC0,
    VK_OEM_4 = 0xDB,
    VK_OEM_5 = 0xDC,
    VK_OEM_6 = 0xDD,
    VK_OEM_7 = 0xDE,
    VK_OEM_8 = 0xDF,
    VK_OEM_102 = 0xE2,
};

// The tracked keys are numbered 1..51; 0 stands for a key that is not tracked.
constexpr int kKeyCount = 51;

// The key tables, derived from the layout at compile time.
// Key index (1..51) to virtual-key code; entry 0 unused.
extern const std::array<uint8_t, kKeyCount + 1> KeyVirtualCodes;
// Virtual-key code to key index, 0 for an untracked key.
extern const std::array<uint8_t, 256> KeyOfVirtualKey;
// Windows-1252 character to the index of the key that types it on AZERTY (capitals and
// accented letters to their letter key), 0 when no key types it.
extern const std::array<uint8_t, 256> KeyOfChar;

// Virtual-key code of a Qt key (the value of QKeyEvent::key()): every symbol of the
// unshifted, shifted and AltGr levels maps to the AZERTY key that types it; Shift to
// VK_SHIFT, Alt and AltGr to VK_MENU, the dead circumflex and diaeresis to VK_OEM_6.
// 0 for a key the keyboard does not know.
uint8_t VirtualKeyOfQtKey(int qtKey);

// The key-downs that type a character composed with a dead key on AZERTY, in order
// (for ê: VK_OEM_6 then 'E'; for ë: VK_SHIFT, VK_OEM_6, 'E'; for Ê: VK_OEM_6, VK_SHIFT,
// 'E'); empty for a character that is not composed.
std::vector<uint8_t> ComposedKeystrokes(unsigned char ch);
