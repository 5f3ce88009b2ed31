// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What is typed for each character of a text read from a file: its Windows-1252 byte when
// the layout types it, else what a French typist types for it (’ → ', … → ..., ﬁ → fi,
// ā → a), else nothing. The layout is given as a table of the bytes it types, so that this
// code needs no keyboard. Also the kinds of blank and the composition of a letter with a
// combining accent that follows it (e + U+0301 → é).
#pragma once

#include <array>
#include <functional>
#include <string>

struct TypingRules {
    // The Windows-1252 bytes the active layout types.
    std::array<bool, 256> Typable{};
    // "Typographie d'origine": the typographic marks (’ ‘ “ ” … — –) stay where the layout
    // types them; without it they always become their plain stand-ins (' " ... -).
    bool KeepTypography = false;
};

// Every printable Windows-1252 byte, for a text read without a layout (tests, tools).
TypingRules AnyLayoutRules();
// The table of typable bytes from a predicate on each byte; the window passes
// [&](unsigned char b) { return !layout.Strokes(b).empty(); }. The no-break space is
// always typable: a plain space types it.
std::array<bool, 256> TypableBytes(const std::function<bool(unsigned char)>& types);

// How a character of the text separates words.
enum class CharClass : unsigned char {
    Printable,
    Blank,         // a space, a tab, a control character, the breaking typographic spaces
    NoBreakBlank,  // the no-break and thin no-break spaces: the model's 0xA0
    Invisible,     // zero-width characters and the soft hyphen, passed over
};
CharClass ClassOf(char32_t c);

// Appends what is typed for the printable character c (one or more bytes); false, with
// nothing appended, when nothing stands in for it.
bool AppendTyped(char32_t c, const TypingRules& rules, std::string& out);

constexpr bool IsCombiningMark(char32_t c) { return c >= 0x300 && c <= 0x36F; }
// The character that `base` followed by the combining accent `mark` composes, among those
// Windows-1252 holds; 0 when none.
char32_t ComposeAccent(char32_t base, char32_t mark);
