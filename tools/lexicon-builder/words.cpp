// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/lexicon-builder/words.h"

#include <algorithm>

#include "common/cp1252.h"
#include "lexicon/lexicon.h"

namespace lexbuild {

namespace {

bool IsLowerLetter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= 0xDF && c <= 0xFF && c != 0xF7) || c == 0x153 || c == 0x161 ||
           c == 0x17E;  // œ š ž
}

bool IsUpperLetter(char32_t c) {
    return (c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0x152 || c == 0x160 ||
           c == 0x17D || c == 0x178;  // Œ Š Ž Ÿ
}

bool IsLetter(char32_t c) { return IsLowerLetter(c) || IsUpperLetter(c); }

// A word decoded into at most 50 characters.
struct ShortWord {
    char32_t chars[kShortStringCapacity];
    std::size_t size = 0;

    // False when the text has more than 50 characters.
    bool Decode(std::string_view utf8) {
        size = 0;
        std::size_t i = 0;
        while (i < utf8.size()) {
            if (size == std::size_t(kShortStringCapacity)) return false;
            chars[size++] = cp1252_detail::DecodeUtf8(utf8.data(), utf8.size(), i);
        }
        return size > 0;
    }
    // Every character is a letter (all of them exist in Windows-1252) or a hyphen or
    // apostrophe, so nothing turns into '?'.
    void To1252(std::string& out) const {
        char bytes[kShortStringCapacity];
        for (std::size_t k = 0; k < size; ++k) bytes[k] = static_cast<char>(UnicodeToCp1252(chars[k]));
        out.assign(bytes, size);
    }
    // Hyphens and apostrophes stand only between letters.
    bool JoinersBetweenLetters(bool allowApostrophe) const {
        for (std::size_t k = 0; k < size; ++k) {
            char32_t c = chars[k];
            if (IsLetter(c)) continue;
            if (c != U'-' && !(allowApostrophe && c == U'\'')) return false;
            if (k == 0 || k + 1 == size || !IsLetter(chars[k - 1]) || !IsLetter(chars[k + 1])) return false;
        }
        return true;
    }
};

// True when the word starts with an elided word: one letter, or que, jusque, lorsque,
// puisque or quoique, before its first apostrophe. The dictionary lists a few such words
// (p'tit, m'sieur, qu'en-dira-t-on, jusqu'au-boutiste) that would read like "l'arbre"
// in a sentence; presqu'île stays.
bool LooksElided(std::string_view word) {
    std::size_t apostrophe = word.find('\'');
    if (apostrophe == std::string_view::npos) return false;
    std::string_view head = word.substr(0, apostrophe);
    return head.size() == 1 || head == "qu" || head == "jusqu" || head == "lorsqu" || head == "puisqu" ||
           head == "quoiqu";
}

}  // namespace

bool CommonWordTo1252(std::string_view utf8, std::string& out) {
    ShortWord w;
    if (!w.Decode(utf8) || !w.JoinersBetweenLetters(true)) return false;
    for (std::size_t k = 0; k < w.size; ++k)
        if (IsUpperLetter(w.chars[k])) return false;
    w.To1252(out);
    return !LooksElided(out);
}

bool FirstNameTo1252(std::string_view utf8, std::string& out) {
    ShortWord w;
    if (!w.Decode(utf8) || !IsUpperLetter(w.chars[0]) || !w.JoinersBetweenLetters(false)) return false;
    if (std::none_of(w.chars, w.chars + w.size, IsLowerLetter)) return false;
    w.To1252(out);
    return FitsCp1252(utf8);
}

const std::string* LemmaCache::Get(std::string_view utf8) {
    if (!valid_ || utf8 != utf8_) {
        valid_ = true;
        utf8_.assign(utf8);
        ok_ = CommonWordTo1252(utf8, cp1252_) && cp1252_.size() >= kMinLemmaLength;
    }
    return ok_ ? &cp1252_ : nullptr;
}

}  // namespace lexbuild
