// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/stand_ins.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "common/cp1252.h"

namespace {

struct StandIn {
    char32_t Code;
    std::string_view Typed;  // Windows-1252
    bool Typographic;        // replaced even where the layout types it, unless kept
};

// Sorted by code point. Letters with an accent that are not listed fall back to their
// letter (BaseLetter).
constexpr StandIn kStandIns[] = {
    {0x0060, "'", false},    // `
    {0x00A6, "|", false},    // ¦
    {0x00A9, "(c)", false},  // ©
    {0x00AA, "a", false},    // ª
    {0x00AB, "\"", false},   // «
    {0x00AE, "(R)", false},  // ®
    {0x00B2, "2", false},    // ²
    {0x00B3, "3", false},    // ³
    {0x00B4, "'", false},    // ´
    {0x00B7, ".", false},    // · (the inclusive writing's middle dot)
    {0x00B9, "1", false},    // ¹
    {0x00BA, "o", false},    // º
    {0x00BB, "\"", false},   // »
    {0x00BC, "1/4", false},  // ¼
    {0x00BD, "1/2", false},  // ½
    {0x00BE, "3/4", false},  // ¾
    {0x00C6, "AE", false},   // Æ
    {0x00D7, "x", false},    // ×
    {0x00DE, "Th", false},   // Þ
    {0x00DF, "ss", false},   // ß
    {0x00E6, "ae", false},   // æ
    {0x00F7, "/", false},    // ÷
    {0x00FE, "th", false},   // þ
    {0x0132, "IJ", false},   // Ĳ
    {0x0133, "ij", false},   // ĳ
    {0x0149, "'n", false},   // ŉ
    {0x0152, "OE", false},   // Œ
    {0x0153, "oe", false},   // œ
    {0x0192, "f", false},    // ƒ
    {0x02B9, "'", false},    // ʹ
    {0x02BC, "'", false},    // ʼ
    {0x02C6, "^", false},    // ˆ
    {0x02DC, "~", false},    // ˜
    {0x1E9E, "SS", false},   // ẞ
    {0x2010, "-", false},    // ‐
    {0x2011, "-", false},    // ‑
    {0x2012, "-", false},    // ‒
    {0x2013, "-", true},     // –
    {0x2014, "-", true},     // —
    {0x2015, "-", false},    // ―
    {0x2018, "'", true},     // ‘
    {0x2019, "'", true},     // ’
    {0x201A, "'", true},     // ‚
    {0x201B, "'", false},    // ‛
    {0x201C, "\"", true},    // “
    {0x201D, "\"", true},    // ”
    {0x201E, "\"", true},    // „
    {0x201F, "\"", false},   // ‟
    {0x2022, "-", false},    // •
    {0x2023, "-", false},    // ‣
    {0x2024, ".", false},    // ․
    {0x2026, "...", true},   // …
    {0x2032, "'", false},    // ′
    {0x2033, "\"", false},   // ″
    {0x2039, "\"", true},    // ‹
    {0x203A, "\"", true},    // ›
    {0x2043, "-", false},    // ⁃
    {0x2044, "/", false},    // ⁄
    {0x20AC, "EUR", false},  // €
    {0x2122, "TM", false},   // ™
    {0x2190, "<-", false},   // ←
    {0x2192, "->", false},   // →
    {0x2212, "-", false},    // −
    {0x2215, "/", false},    // ∕
    {0x25E6, "-", false},    // ◦
    {0xFB00, "ff", false},   // ﬀ
    {0xFB01, "fi", false},   // ﬁ
    {0xFB02, "fl", false},   // ﬂ
    {0xFB03, "ffi", false},  // ﬃ
    {0xFB04, "ffl", false},  // ﬄ
    {0xFB05, "st", false},   // ﬅ
    {0xFB06, "st", false},   // ﬆ
};

constexpr bool SortedByCode() {
    for (std::size_t i = 1; i < std::size(kStandIns); ++i)
        if (kStandIns[i - 1].Code >= kStandIns[i].Code) return false;
    return true;
}
static_assert(SortedByCode());

const StandIn* FindStandIn(char32_t c) {
    const auto* found = std::lower_bound(std::begin(kStandIns), std::end(kStandIns), c,
                                         [](const StandIn& s, char32_t code) { return s.Code < code; });
    return found != std::end(kStandIns) && found->Code == c ? found : nullptr;
}

// The letters of U+00C0..U+00FF and U+0100..U+017F without their accent ('?' for none),
// and the combining accent of those of U+00C0..U+00FF (its low byte; 0xFF for none).
constexpr std::string_view kLatin1Base = "AAAAAA?CEEEEIIIIDNOOOOO?OUUUUY??aaaaaa?ceeeeiiiidnooooo?ouuuuy?y";
constexpr std::string_view kLatinExtendedBase =
    "AaAaAaCcCcCcCcDd"   // U+0100
    "DdEeEeEeEeEeGgGg"   // U+0110
    "GgGgHhHhIiIiIiIi"   // U+0120
    "Ii??JjKkkLlLlLlL"   // U+0130 (Ĳ ĳ have their stand-ins)
    "lLlNnNnNn?NnOoOo"   // U+0140 (ŉ too)
    "Oo??RrRrRrSsSsSs"   // U+0150 (Œ œ too)
    "SsTtTtTtUuUuUuUu"   // U+0160
    "UuUuWwYyYZzZzZzs";  // U+0170
constexpr uint8_t kNo = 0xFF;
constexpr uint8_t kLatin1Mark[64] = {
    0x00, 0x01, 0x02, 0x03, 0x08, 0x0A, kNo,  0x27, 0x00, 0x01, 0x02, 0x08, 0x00, 0x01, 0x02, 0x08,  // À..Ï
    kNo,  0x03, 0x00, 0x01, 0x02, 0x03, 0x08, kNo,  kNo,  0x00, 0x01, 0x02, 0x08, 0x01, kNo,  kNo,   // Ð..ß
    0x00, 0x01, 0x02, 0x03, 0x08, 0x0A, kNo,  0x27, 0x00, 0x01, 0x02, 0x08, 0x00, 0x01, 0x02, 0x08,  // à..ï
    kNo,  0x03, 0x00, 0x01, 0x02, 0x03, 0x08, kNo,  kNo,  0x00, 0x01, 0x02, 0x08, 0x01, kNo,  0x08,  // ð..ÿ
};
static_assert(kLatin1Base.size() == 64 && kLatinExtendedBase.size() == 128);

// Windows-1252's letters beyond U+00FF that a combining accent composes: Š š Ž ž Ÿ.
struct Composed {
    char32_t Code;
    char Base;
    char32_t Mark;
};
constexpr Composed kComposedBeyondLatin1[] = {
    {0x0160, 'S', 0x030C}, {0x0161, 's', 0x030C}, {0x017D, 'Z', 0x030C}, {0x017E, 'z', 0x030C}, {0x0178, 'Y', 0x0308}};

// The letter without its accent, 0 for none.
char BaseLetter(char32_t c) {
    char base = '?';
    if (c >= 0xC0 && c <= 0xFF) base = kLatin1Base[c - 0xC0];
    if (c >= 0x100 && c <= 0x17F) base = kLatinExtendedBase[c - 0x100];
    return base == '?' ? 0 : base;
}

bool AllTypable(std::string_view bytes, const TypingRules& rules) {
    return std::all_of(bytes.begin(), bytes.end(), [&](char b) { return rules.Typable[uint8_t(b)]; });
}

}  // namespace

TypingRules AnyLayoutRules() {
    TypingRules rules;
    rules.Typable = TypableBytes(
        [](unsigned char b) { return (b >= 0x20 && b < 0x7F) || b >= 0xA0 || Cp1252ToUnicode(b) != char32_t(b); });
    return rules;
}

std::array<bool, 256> TypableBytes(const std::function<bool(unsigned char)>& types) {
    std::array<bool, 256> table{};
    for (int b = 0x20; b < 256; ++b) table[std::size_t(b)] = b != 0x7F && types(static_cast<unsigned char>(b));
    table[0xA0] = true;
    return table;
}

CharClass ClassOf(char32_t c) {
    if (c > 0x20 && c < 0x7F) return CharClass::Printable;
    if (c <= 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) return CharClass::Blank;
    switch (c) {
        case 0x00A0:
        case 0x2007:
        case 0x202F: return CharClass::NoBreakBlank;
        case 0x00AD:
        case 0x034F:
        case 0x200B:
        case 0x200C:
        case 0x200D:
        case 0x200E:
        case 0x200F:
        case 0x2060:
        case 0x2061:
        case 0x2062:
        case 0x2063:
        case 0x2064:
        case 0xFEFF: return CharClass::Invisible;
        case 0x1680:
        case 0x2028:
        case 0x2029:
        case 0x205F:
        case 0x3000: return CharClass::Blank;
        default: break;
    }
    if (c >= 0x2000 && c <= 0x200A) return CharClass::Blank;
    if (c >= 0xFE00 && c <= 0xFE0F) return CharClass::Invisible;  // variation selectors
    return CharClass::Printable;
}

bool AppendTyped(char32_t c, const TypingRules& rules, std::string& out) {
    const int byte = cp1252_detail::FromUnicode(c);
    const StandIn* standIn = FindStandIn(c);
    if (byte >= 0 && rules.Typable[std::size_t(byte)] &&
        (standIn == nullptr || !standIn->Typographic || rules.KeepTypography)) {
        out += char(byte);
        return true;
    }
    if (standIn && AllTypable(standIn->Typed, rules)) {
        out += standIn->Typed;
        return true;
    }
    if (c >= 0xFF01 && c <= 0xFF5E) return AppendTyped(c - 0xFEE0, rules, out);  // full-width forms
    const char base = BaseLetter(c);
    if (base != 0 && rules.Typable[uint8_t(base)]) {
        out += base;
        return true;
    }
    return false;
}

char32_t ComposeAccent(char32_t base, char32_t mark) {
    if (base > 0x7F || !IsCombiningMark(mark)) return 0;
    for (std::size_t i = 0; i < kLatin1Base.size(); ++i)
        if (kLatin1Base[i] == char(base) && kLatin1Mark[i] != kNo && char32_t(0x300 + kLatin1Mark[i]) == mark)
            return char32_t(0xC0 + i);
    for (const Composed& composed : kComposedBeyondLatin1)
        if (composed.Base == char(base) && composed.Mark == mark) return composed.Code;
    return 0;
}
