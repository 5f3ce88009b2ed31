// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The numbering of the 51 tracked keys of the progress record. A key is a position on the
// keyboard, named by the virtual-key code that classic AZERTY gives it; what each key
// types on the user's layout is in layout.h.
#pragma once

#include <array>
#include <cstdint>

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

// Key index (1..51) to virtual-key code; entry 0 unused.
inline constexpr std::array<uint8_t, kKeyCount + 1> KeyVirtualCodes = [] {
    std::array<uint8_t, kKeyCount + 1> codes{};
    for (int i = 0; i < 26; ++i) codes[std::size_t(1 + i)] = static_cast<uint8_t>('A' + i);
    const uint8_t others[] = {VK_OEM_5, VK_OEM_6,   VK_OEM_3, VK_OEM_1, VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_2,
                              VK_OEM_8, VK_OEM_102, VK_SHIFT, VK_MENU,  VK_SPACE,     VK_OEM_7};
    for (int i = 0; i < 13; ++i) codes[std::size_t(27 + i)] = others[i];
    for (int i = 0; i < 9; ++i) codes[std::size_t(40 + i)] = static_cast<uint8_t>('1' + i);
    codes[49] = '0';
    codes[50] = VK_OEM_4;
    codes[51] = VK_OEM_PLUS;
    return codes;
}();

// Virtual-key code to key index, 0 for an untracked key.
inline constexpr std::array<uint8_t, 256> KeyOfVirtualKey = [] {
    std::array<uint8_t, 256> keys{};
    for (int k = 1; k <= kKeyCount; ++k) keys[KeyVirtualCodes[std::size_t(k)]] = static_cast<uint8_t>(k);
    return keys;
}();
