// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Checks shared by the template and driver tests.
#pragma once

#include <string>
#include <string_view>

namespace checks {

inline bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

inline bool StartsWith(std::string_view text, std::string_view head) { return text.substr(0, head.size()) == head; }

// Empty when the sentence is well formed for its kind (imperative or not), else what is
// wrong with it.
inline std::string Problem(std::string_view sentence, bool imperative) {
    if (sentence.empty()) return "empty";
    if (sentence.front() == ' ') return "leading space";
    const std::string_view terminator = imperative ? std::string_view("\xA0!") : std::string_view(".");
    if (!EndsWith(sentence, terminator)) return "wrong terminator";
    const std::string_view body = sentence.substr(0, sentence.size() - terminator.size());
    if (body.empty() || body.back() == ' ' || body.back() == '\xA0') return "space before the terminator";
    if (sentence.find("  ") != std::string_view::npos) return "double space";
    if (sentence.find("Si il") != std::string_view::npos) return "Si il";
    if (body.find('\xA0') != std::string_view::npos) return "stray no-break space";
    return {};
}

// A capital first letter: A..Z or an upper-case cp1252 letter (À..Þ, Š, Œ, Ž, Ÿ).
inline bool StartsWithCapital(std::string_view sentence) {
    if (sentence.empty()) return false;
    const unsigned char c = static_cast<unsigned char>(sentence[0]);
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0x8A || c == 0x8C || c == 0x8E ||
           c == 0x9F;
}

}  // namespace checks
