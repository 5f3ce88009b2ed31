// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Punctuation, digits and symbols drilled between the words of a lesson.
#include <algorithm>

#include "common/cp1252.h"
#include "generator/course_text.h"
#include "generator/random.h"

namespace {

std::string Enclosed(const std::string& word, std::string_view open, std::string_view close) {
    std::string out(open);
    out += word;
    out += close;
    return out;
}

}  // namespace

std::string CourseNumber(unsigned char digit, std::string_view allowed) {
    std::string digits;
    for (const char c : allowed)
        if (c >= '0' && c <= '9' && digits.find(c) == std::string::npos) digits += c;
    if (digits.empty()) return {};
    const bool held = digits.find(char(digit)) != std::string::npos;
    for (int tries = 0; tries < 20; ++tries) {
        const int length = 1 + Random(3);
        std::string number;
        for (int i = 0; i < length; ++i) number += digits[std::size_t(Random(int(digits.size())))];
        if (held && number.find(char(digit)) == std::string::npos) number[std::size_t(Random(length))] = char(digit);
        if ((length > 1 && number[0] == '0') || number == "0" || number == "1") continue;
        return number;
    }
    // Only 0 or 1 can be written.
    return std::string(1, held ? char(digit) : digits[0]);
}

std::string AddDrillCharacter(std::string text, unsigned char focus, std::string_view allowed) {
    if (IsCp1252Lower(focus) || IsCp1252Upper(focus) || focus == ' ' || text.empty() ||
        text.find(char(focus)) != std::string::npos)
        return text;
    constexpr char kNoBreak = char(0xA0);
    const bool hasDigits = std::any_of(allowed.begin(), allowed.end(), [](char c) { return c >= '0' && c <= '9'; });
    std::vector<std::string> words;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t blank = text.find(' ', start);
        words.push_back(text.substr(start, blank == std::string::npos ? std::string::npos : blank - start));
        start = blank == std::string::npos ? text.size() : blank + 1;
    }
    const std::string mark(1, char(focus));
    std::string out;
    int untilNext = 1 + Random(2);
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        const bool drill = --untilNext == 0 || (i + 1 == words.size() && out.find(char(focus)) == std::string::npos);
        if (drill) {
            untilNext = 2 + Random(3);
            switch (focus) {
                case ',': word += ","; break;
                case ';':
                case ':':
                case '!':
                case '?':
                    word += kNoBreak;
                    word += mark;
                    break;
                case '-': word += " -"; break;
                case 0xAB:  // « »
                case 0xBB: word = Enclosed(word, "\xAB\xA0", "\xA0\xBB"); break;
                case '"': word = Enclosed(word, "\"", "\""); break;
                case '(':
                case ')': word = Enclosed(word, "(", ")"); break;
                case '[':
                case ']': word = Enclosed(word, "[", "]"); break;
                case '{':
                case '}': word = Enclosed(word, "{", "}"); break;
                default: {
                    // A number before the word; a unit or currency after a number; other signs
                    // on their own between words.
                    const bool unit = focus == '%' || focus == 0x80 || focus == '$' || focus == 0xA3 || focus == 0xB0 ||
                                      focus == 0xB5;
                    std::string before;
                    if (focus >= '0' && focus <= '9') {
                        before = CourseNumber(focus, allowed);
                    } else {
                        if (unit && hasDigits) {
                            before = CourseNumber(0, allowed);
                            before += kNoBreak;
                        }
                        before += mark;
                    }
                    before += ' ';
                    word.insert(0, before);
                }
            }
        }
        if (!out.empty()) out += ' ';
        out += word;
    }
    return out;
}
