// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cp1252.h"

namespace {

class KeyboardTest : public ::testing::Test {
protected:
};

uint8_t VkOfChar(unsigned char ch) { return KeyVirtualCodes[KeyOfChar[ch]]; }

// Qt key value of a typed character: its Unicode code point, letters in upper case.
int QtKeyOf(unsigned char ch) {
    char32_t u = Cp1252ToUnicode(ch);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) u -= 0x20;
    return int(u);
}

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
        {VK_OEM_7, "²"_cp},   {'1', "&1"},          {'2', "é2~É"_cp},     {'3', "\"3#"},        {'4', "'4{"},
        {'5', "(5["},         {'6', "-6|"},         {'7', "è7`È"_cp},     {'8', "_8\\"},        {'9', "ç9^Ç"_cp},
        {'0', "à0@À"_cp},     {VK_OEM_4, ")°]"_cp}, {VK_OEM_PLUS, "=+}"}, {VK_OEM_6, "¨"_cp},   {VK_OEM_1, "$£¤"_cp},
        {VK_OEM_3, "ù%Ù"_cp}, {VK_OEM_5, "*µ"_cp},  {VK_OEM_102, "<>"},   {VK_OEM_COMMA, ",?"}, {VK_OEM_PERIOD, ";."},
        {VK_OEM_2, ":/"},     {VK_OEM_8, "!§"_cp},  {VK_SPACE, " \xA0"},  {'A', "aAæÆâÂäÄ"_cp}, {'E', "eE€êÊëË"_cp},
        {'I', "iIîÎïÏ"_cp},   {'O', "oOœŒôÔöÖ"_cp}, {'U', "uUûÛüÜ"_cp},   {'Y', "yYÿŸ"_cp},     {'C', "cC"}};
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
    for (unsigned char c : "áñßø«»…’–—\t\r\n"_cp) EXPECT_EQ(KeyOfChar[c], 0) << "0x" << std::hex << int(c);
    EXPECT_EQ(KeyOfChar[0], 0);
    EXPECT_EQ(KeyOfChar[0x81], 0);  // unassigned in Windows-1252
    for (int c = 0; c < 256; ++c) EXPECT_LE(KeyOfChar[c], 51);
}

TEST_F(KeyboardTest, QtKeysMapToTheAzertyKeyOfTheirSymbol) {
    EXPECT_EQ(VirtualKeyOfQtKey(0x41), 'A');
    EXPECT_EQ(VirtualKeyOfQtKey(0xC9), '2');  // é arrives as É
    EXPECT_EQ(VirtualKeyOfQtKey(0xC0), '0');  // à
    EXPECT_EQ(VirtualKeyOfQtKey(0xB2), VK_OEM_7);
    EXPECT_EQ(VirtualKeyOfQtKey(0xB0), VK_OEM_4);
    EXPECT_EQ(VirtualKeyOfQtKey(0xB5), VK_OEM_5);
    EXPECT_EQ(VirtualKeyOfQtKey(0xA4), VK_OEM_1);
    EXPECT_EQ(VirtualKeyOfQtKey(0xA7), VK_OEM_8);
    EXPECT_EQ(VirtualKeyOfQtKey(0xA8), VK_OEM_6);
    EXPECT_EQ(VirtualKeyOfQtKey(0x5E), '9');
    EXPECT_EQ(VirtualKeyOfQtKey(0x20AC), 'E');
    EXPECT_EQ(VirtualKeyOfQtKey(0x20), VK_SPACE);
    EXPECT_EQ(VirtualKeyOfQtKey(0xA0), VK_SPACE);
    EXPECT_EQ(VirtualKeyOfQtKey(0x01001252), VK_OEM_6);
    EXPECT_EQ(VirtualKeyOfQtKey(0x01001257), VK_OEM_6);

    EXPECT_EQ(VirtualKeyOfQtKey(0x01000020), VK_SHIFT);
    EXPECT_EQ(VirtualKeyOfQtKey(0x01000023), VK_MENU);
    EXPECT_EQ(VirtualKeyOfQtKey(0x01001103), VK_MENU);
    EXPECT_EQ(VirtualKeyOfQtKey(0x01000021), VK_CONTROL);
    EXPECT_EQ(VirtualKeyOfQtKey(0x01000024), VK_CAPITAL);
    EXPECT_EQ(VirtualKeyOfQtKey(0x01000003), VK_BACK);
    EXPECT_EQ(VirtualKeyOfQtKey(0x01000001), VK_TAB);
    EXPECT_EQ(VirtualKeyOfQtKey(0x01000004), VK_RETURN);
    EXPECT_EQ(VirtualKeyOfQtKey(0x01000005), VK_RETURN);
    EXPECT_EQ(VirtualKeyOfQtKey(0x01000000), VK_ESCAPE);

    // Symbols AZERTY lacks, other special keys and values outside Qt's range.
    for (int qt : {0xD1, 0xDF, 0x2026, 0x01000022, 0x01001250, 0x01FFFFFF, 0, -1, 0x7FFFFFFF})
        EXPECT_EQ(VirtualKeyOfQtKey(qt), 0) << std::hex << qt;
}

// Both directions come from one layout: a character typed with one key press (Shift or
// AltGr aside) counts for the same key whether it is read from a text or from a key event.
TEST_F(KeyboardTest, KeyEventsAndTextAgreeForEveryDirectlyTypedCharacter) {
    int checked = 0;
    for (int c = 0x20; c < 256; ++c) {
        uint8_t vk = VirtualKeyOfQtKey(QtKeyOf(static_cast<unsigned char>(c)));
        if (vk == 0) continue;
        ++checked;
        EXPECT_NE(KeyOfVirtualKey[vk], 0) << "character 0x" << std::hex << c;
        EXPECT_EQ(KeyOfVirtualKey[vk], KeyOfChar[c]) << "character 0x" << std::hex << c;
    }
    // ASCII; € nbsp £ ¤ § ¨ ° ² µ; à ç è é ù æ and their capitals; œ Œ.
    EXPECT_EQ(checked, 95 + 9 + 12 + 2);
}

TEST_F(KeyboardTest, ComposedCharactersGiveTheirDeadKeyStrokes) {
    using V = std::vector<uint8_t>;
    EXPECT_EQ(ComposedKeystrokes(0xEA), (V{VK_OEM_6, 'E'}));                      // ê
    EXPECT_EQ(ComposedKeystrokes(0xCA), (V{VK_OEM_6, VK_SHIFT, 'E'}));            // Ê
    EXPECT_EQ(ComposedKeystrokes(0xEB), (V{VK_SHIFT, VK_OEM_6, 'E'}));            // ë
    EXPECT_EQ(ComposedKeystrokes(0xCB), (V{VK_SHIFT, VK_OEM_6, VK_SHIFT, 'E'}));  // Ë
    EXPECT_EQ(ComposedKeystrokes(0xFF), (V{VK_SHIFT, VK_OEM_6, 'Y'}));            // ÿ
    EXPECT_EQ(ComposedKeystrokes(0x9F), (V{VK_SHIFT, VK_OEM_6, VK_SHIFT, 'Y'}));  // Ÿ
    for (unsigned char c : "âîôûÂÎÔÛäïöüÄÏÖÜ"_cp) {
        V strokes = ComposedKeystrokes(c);
        ASSERT_FALSE(strokes.empty()) << std::hex << int(c);
        EXPECT_EQ(KeyOfVirtualKey[strokes.back()], KeyOfChar[c]);
    }
    for (unsigned char c : "eEéèàç^¨ œ"_cp) EXPECT_TRUE(ComposedKeystrokes(c).empty()) << std::hex << int(c);
}

}  // namespace
