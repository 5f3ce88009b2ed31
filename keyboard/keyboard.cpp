// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/keyboard.h"

#include <array>
#include <string_view>

#include "common/cp1252.h"

namespace {

// Qt key values of the two dead keys (the only non-character symbols of the layout).
constexpr char32_t kDeadCircumflex = 0x01001252;
constexpr char32_t kDeadDiaeresis = 0x01001257;

// One key of the French AZERTY keyboard: its virtual-key code and the symbols of its
// unshifted, shifted and AltGr levels (Unicode code points, or a dead key's Qt value;
// 0 for none).
struct LayoutKey {
    uint8_t Vk;
    char32_t Levels[3];
};

constexpr int kShifted = 1;

constexpr LayoutKey Letter(char upper, char32_t altGr = 0) {
    return {static_cast<uint8_t>(upper), {char32_t(upper + ('a' - 'A')), char32_t(upper), altGr}};
}

// The layout, row by row from the top.
constexpr LayoutKey kAzerty[] = {
    {VK_OEM_7, {U'²', 0, 0}},
    {'1', {U'&', U'1', 0}},
    {'2', {U'é', U'2', U'~'}},
    {'3', {U'"', U'3', U'#'}},
    {'4', {U'\'', U'4', U'{'}},
    {'5', {U'(', U'5', U'['}},
    {'6', {U'-', U'6', U'|'}},
    {'7', {U'è', U'7', U'`'}},
    {'8', {U'_', U'8', U'\\'}},
    {'9', {U'ç', U'9', U'^'}},
    {'0', {U'à', U'0', U'@'}},
    {VK_OEM_4, {U')', U'°', U']'}},
    {VK_OEM_PLUS, {U'=', U'+', U'}'}},

    Letter('A', U'æ'),
    Letter('Z'),
    Letter('E', U'€'),
    Letter('R'),
    Letter('T'),
    Letter('Y'),
    Letter('U'),
    Letter('I'),
    Letter('O', U'œ'),
    Letter('P'),
    {VK_OEM_6, {kDeadCircumflex, kDeadDiaeresis, 0}},
    {VK_OEM_1, {U'$', U'£', U'¤'}},

    Letter('Q'),
    Letter('S'),
    Letter('D'),
    Letter('F'),
    Letter('G'),
    Letter('H'),
    Letter('J'),
    Letter('K'),
    Letter('L'),
    Letter('M'),
    {VK_OEM_3, {U'ù', U'%', 0}},
    {VK_OEM_5, {U'*', U'µ', 0}},

    {VK_OEM_102, {U'<', U'>', 0}},
    Letter('W'),
    Letter('X'),
    Letter('C'),
    Letter('V'),
    Letter('B'),
    Letter('N'),
    {VK_OEM_COMMA, {U',', U'?', 0}},
    {VK_OEM_PERIOD, {U';', U'.', 0}},
    {VK_OEM_2, {U':', U'/', 0}},
    {VK_OEM_8, {U'!', U'§', 0}},

    {VK_SPACE, {U' ', U'\u00A0', 0}},
};

// What a dead key makes: its own character when followed by the space bar, and the
// accented letters it composes with the letters typed after it.
struct DeadKey {
    char32_t Symbol;
    char32_t Spacing;
    std::u32string_view Bases;
    std::u32string_view Composed;
};

constexpr DeadKey kDeadKeys[] = {
    {kDeadCircumflex, U'^', U"aeiouAEIOU", U"âêîôûÂÊÎÔÛ"},
    {kDeadDiaeresis, U'¨', U"aeiouyAEIOUY", U"äëïöüÿÄËÏÖÜŸ"},
};

// Key index to virtual-key code, the numbering of the progress record.
constexpr std::array<uint8_t, kKeyCount + 1> kKeyVirtualCodes = [] {
    std::array<uint8_t, kKeyCount + 1> codes{};
    for (int i = 0; i < 26; ++i) codes[1 + i] = static_cast<uint8_t>('A' + i);
    const uint8_t others[] = {VK_OEM_5, VK_OEM_6,   VK_OEM_3, VK_OEM_1, VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_2,
                              VK_OEM_8, VK_OEM_102, VK_SHIFT, VK_MENU,  VK_SPACE,     VK_OEM_7};
    for (int i = 0; i < 13; ++i) codes[27 + i] = others[i];
    for (int i = 0; i < 9; ++i) codes[40 + i] = static_cast<uint8_t>('1' + i);
    codes[49] = '0';
    codes[50] = VK_OEM_4;
    codes[51] = VK_OEM_PLUS;
    return codes;
}();

constexpr std::array<uint8_t, 256> kKeyOfVirtualKey = [] {
    std::array<uint8_t, 256> keys{};
    for (int k = 1; k <= kKeyCount; ++k) keys[kKeyVirtualCodes[k]] = static_cast<uint8_t>(k);
    return keys;
}();

// Windows-1252 byte of a symbol, -1 for a dead key or a character outside the encoding.
constexpr int ByteOf(char32_t symbol) { return symbol == 0 ? -1 : cp1252_detail::FromUnicode(symbol); }

constexpr int LowerCaseByte(int b) {
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) return b + 0x20;
    if (b == 0x8A || b == 0x8C || b == 0x8E) return b + 0x10;  // Š Œ Ž
    if (b == 0x9F) return 0xFF;                                // Ÿ
    return b;
}

constexpr const LayoutKey* KeyWithSymbol(char32_t symbol, int& level) {
    for (const LayoutKey& key : kAzerty)
        for (int l = 0; l < 3; ++l)
            if (key.Levels[l] == symbol) {
                level = l;
                return &key;
            }
    return nullptr;
}

constexpr uint8_t VkOfSymbol(char32_t symbol) {
    int level = 0;
    const LayoutKey* key = KeyWithSymbol(symbol, level);
    return key ? key->Vk : 0;
}

// Virtual-key code of the key that gives each character: the key typing it at one of its
// levels, else the dead key whose own character it is (dead key then space: ¨).
constexpr std::array<uint8_t, 256> kVkOfChar = [] {
    std::array<uint8_t, 256> vks{};
    auto assign = [&vks](int b, uint8_t vk) {
        if (b >= 0 && vks[std::size_t(b)] == 0) vks[std::size_t(b)] = vk;
    };
    for (const LayoutKey& key : kAzerty)
        for (char32_t symbol : key.Levels) assign(ByteOf(symbol), key.Vk);
    for (const DeadKey& dead : kDeadKeys) assign(ByteOf(dead.Spacing), VkOfSymbol(dead.Symbol));
    return vks;
}();

// Characters by the key that types them: the key giving the character, else for the
// letters composed with a dead key their letter key, else for a capital whose small
// letter has a key of its own the same key, struck with Caps Lock (É on the é key, Æ on
// the A key). Anything else has no key.
constexpr std::array<uint8_t, 256> kKeyOfChar = [] {
    std::array<uint8_t, 256> keys{};
    auto assign = [&keys](int b, uint8_t vk) {
        if (b >= 0 && vk != 0 && keys[std::size_t(b)] == 0) keys[std::size_t(b)] = kKeyOfVirtualKey[vk];
    };
    for (int b = 0; b < 256; ++b) assign(b, kVkOfChar[std::size_t(b)]);
    for (const DeadKey& dead : kDeadKeys)
        for (std::size_t i = 0; i < dead.Composed.size(); ++i)
            assign(ByteOf(dead.Composed[i]), VkOfSymbol(dead.Bases[i]));
    for (int b = 0; b < 256; ++b) assign(b, kVkOfChar[std::size_t(LowerCaseByte(b))]);
    return keys;
}();

// Key-downs typing a symbol at its level (Shift first for the shifted level).
void AppendKeystrokes(std::vector<uint8_t>& out, char32_t symbol) {
    int level = 0;
    const LayoutKey* key = KeyWithSymbol(symbol, level);
    if (!key) return;
    if (level == kShifted) out.push_back(VK_SHIFT);
    out.push_back(key->Vk);
}

// Qt values of the keys that are not characters.
constexpr int kQtKeyEscape = 0x01000000;
constexpr int kQtKeyTab = 0x01000001;
constexpr int kQtKeyBackspace = 0x01000003;
constexpr int kQtKeyReturn = 0x01000004;
constexpr int kQtKeyEnter = 0x01000005;
constexpr int kQtKeyShift = 0x01000020;
constexpr int kQtKeyControl = 0x01000021;
constexpr int kQtKeyAlt = 0x01000023;
constexpr int kQtKeyCapsLock = 0x01000024;
constexpr int kQtKeyAltGr = 0x01001103;
constexpr int kQtFirstSpecialKey = 0x01000000;

}  // namespace

// Computed at compile time: the tables are ready before any code runs.
constinit const std::array<uint8_t, kKeyCount + 1> KeyVirtualCodes = kKeyVirtualCodes;
constinit const std::array<uint8_t, 256> KeyOfVirtualKey = kKeyOfVirtualKey;
constinit const std::array<uint8_t, 256> KeyOfChar = kKeyOfChar;

uint8_t VirtualKeyOfQtKey(int qtKey) {
    switch (qtKey) {
        case kQtKeyShift: return VK_SHIFT;
        case kQtKeyAlt:
        case kQtKeyAltGr: return VK_MENU;
        case kQtKeyControl: return VK_CONTROL;
        case kQtKeyCapsLock: return VK_CAPITAL;
        case kQtKeyBackspace: return VK_BACK;
        case kQtKeyTab: return VK_TAB;
        case kQtKeyReturn:
        case kQtKeyEnter: return VK_RETURN;
        case kQtKeyEscape: return VK_ESCAPE;
        case int(kDeadCircumflex):
        case int(kDeadDiaeresis): return VkOfSymbol(char32_t(qtKey));
        default: break;
    }
    if (qtKey <= 0 || qtKey >= kQtFirstSpecialKey) return 0;
    // Character keys: Qt gives letters in upper case (é arrives as É).
    int b = cp1252_detail::FromUnicode(char32_t(qtKey));
    if (b < 0) return 0;
    uint8_t vk = kVkOfChar[std::size_t(b)];
    return vk != 0 ? vk : kVkOfChar[std::size_t(LowerCaseByte(b))];
}

std::vector<uint8_t> ComposedKeystrokes(unsigned char ch) {
    char32_t u = Cp1252ToUnicode(ch);
    std::vector<uint8_t> keystrokes;
    for (const DeadKey& dead : kDeadKeys) {
        std::size_t at = dead.Composed.find(u);
        if (at == std::u32string_view::npos) continue;
        AppendKeystrokes(keystrokes, dead.Symbol);
        AppendKeystrokes(keystrokes, dead.Bases[at]);
        break;
    }
    return keystrokes;
}
