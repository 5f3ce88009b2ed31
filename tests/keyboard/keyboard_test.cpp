// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cp1252.h"
#include "keyboard/xkb_layout.h"

namespace {

// Classic AZERTY as compiled into the program: the same as the system's.
class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override { SetActiveLayout(BuiltInAzerty()); }
};

uint8_t VkOfChar(unsigned char ch) { return KeyVirtualCodes[KeyOfChar[ch]]; }

TEST_F(KeyboardTest, KeyNumberingOfTheProgressRecord) {
    const std::vector<std::pair<int, int>> fixed = {
        {27, 0xDC}, {28, 0xDD}, {29, 0xC0}, {30, 0xBA}, {31, 0xBC}, {32, 0xBE}, {33, 0xBF}, {34, 0xDF},
        {35, 0xE2}, {36, 0x10}, {37, 0x12}, {38, 0x20}, {39, 0xDE}, {49, 0x30}, {50, 0xDB}, {51, 0xBB}};
    for (int k = 1; k <= 26; ++k) EXPECT_EQ(KeyVirtualCodes[k], 0x40 + k);
    for (int k = 40; k <= 48; ++k) EXPECT_EQ(KeyVirtualCodes[k], 0x31 + (k - 40));
    for (auto [key, vk] : fixed) EXPECT_EQ(KeyVirtualCodes[key], vk) << key;

    int tracked = 0;
    for (int vk = 0; vk < 256; ++vk) {
        int key = KeyOfVirtualKey[vk];
        if (key == 0) continue;
        ++tracked;
        EXPECT_EQ(KeyVirtualCodes[key], vk);
    }
    EXPECT_EQ(tracked, 51);
    for (int vk : {0x00, 0x08, 0x0D, 0x11, 0x14, 0x1B, 0x2E, 0x60, 0xA0, 0xFF}) EXPECT_EQ(KeyOfVirtualKey[vk], 0) << vk;
}

// Each AZERTY key with every character a French user types on it: directly, through
// Shift, AltGr or Caps Lock (É on the é key), or through a dead key.
TEST_F(KeyboardTest, CharactersMapToTheKeyThatTypesThemOnAzerty) {
    const std::vector<std::pair<uint8_t, std::string_view>> keys = {
        {VK_OEM_7, "²~"_cp},  {'1', "&1"},          {'2', "é2É"_cp},      {'3', "\"3#"},        {'4', "'4{"},
        {'5', "(5["},         {'6', "-6|"},         {'7', "è7`È"_cp},     {'8', "_8\\"},        {'9', "ç9^Ç"_cp},
        {'0', "à0@À"_cp},     {VK_OEM_4, ")°]"_cp}, {VK_OEM_PLUS, "=+}"}, {VK_OEM_6, "¨"_cp},   {VK_OEM_1, "$£¤"_cp},
        {VK_OEM_3, "ù%Ù"_cp}, {VK_OEM_5, "*µ"_cp},  {VK_OEM_102, "<>"},   {VK_OEM_COMMA, ",?"}, {VK_OEM_PERIOD, ";."},
        {VK_OEM_2, ":/"},     {VK_OEM_8, "!§"_cp},  {VK_SPACE, " \xA0"},  {'A', "aAæÆâÂäÄ"_cp}, {'E', "eE€êÊëË"_cp},
        {'I', "iIîÎïÏ"_cp},   {'O', "oOôÔöÖ"_cp},   {'U', "uUûÛüÜ"_cp},   {'Y', "yYÿŸ"_cp},     {'C', "cC"}};
    std::string seen;
    for (auto [vk, chars] : keys)
        for (char ch : chars) {
            // A character listed under a letter may also be typed elsewhere (à on key 0).
            unsigned char c = static_cast<unsigned char>(ch);
            if (seen.find(ch) != std::string::npos) continue;
            seen += ch;
            EXPECT_EQ(VkOfChar(c), vk) << "character 0x" << std::hex << int(c);
        }
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        EXPECT_EQ(VkOfChar(static_cast<unsigned char>(letter)), letter);
        EXPECT_EQ(VkOfChar(static_cast<unsigned char>(letter + 32)), letter);
    }
    for (int c = 0x20; c < 0x7F; ++c) EXPECT_NE(KeyOfChar[c], 0) << "ASCII " << c;
}

TEST_F(KeyboardTest, CharactersNoKeyTypesHaveNoKey) {
    for (unsigned char c : "ñœŒ…–—\t\r\n"_cp) EXPECT_EQ(KeyOfChar[c], 0) << "0x" << std::hex << int(c);
    EXPECT_EQ(KeyOfChar[0], 0);
    EXPECT_EQ(KeyOfChar[0x81], 0);  // unassigned in Windows-1252
    for (int c = 0; c < 256; ++c) EXPECT_LE(KeyOfChar[c], 51);
}

}  // namespace
