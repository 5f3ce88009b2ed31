// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The closed words of the course's sentences (determiners, subject pronouns, the present of
// avoir, prepositions, the adverbs and the relative pronoun that give à, ù and ç their
// words), shared by the ranking of the words and the making of the lessons.
#pragma once

#include <cstdint>
#include <string_view>

#include "generator/noun_phrase.h"

namespace course_words {

// How a word starts, for the choice of determiner or subject pronoun: a consonant, a
// vowel (le and je elide), or h or y, where French goes both ways (l'homme, le héros):
// only the forms that never change are used there.
enum Initial : uint8_t { kConsonant = 1, kVowel = 2, kHOrY = 4, kAnyInitial = 7 };

inline Initial InitialOf(std::string_view word) {
    const char c = word.empty() ? ' ' : word[0];
    if (c == 'h' || c == 'y') return kHOrY;
    const unsigned char u = static_cast<unsigned char>(c);
    if (IsElisionLetter(c) || u == 0x9C || u == 0xE6 || u == 0xE4 || u == 0xEB) return kVowel;  // œ æ ä ë
    return kConsonant;
}

// Determiners and subject pronouns: the agreement or person they serve, the initials of
// the next word they go before, whether they are glued to it (l', j'), and whether they
// come only in lessons on one of their letters ("ça": colloquial as the subject of most
// verbs).
struct Closed {
    std::string_view text;
    uint8_t use;  // determiners: 0 masculine singular, 1 feminine singular, 2 plural, 3 either gender
                  // (before a noun that the dictionary gives in both); pronouns: the person
    uint8_t initials;
    bool elided = false;
    bool focusOnly = false;
};

inline constexpr uint8_t kPluralUse = 2;
inline constexpr uint8_t kEitherGenderUse = 3;

inline constexpr Closed kDeterminers[] = {
    {"le", 0, kConsonant},
    {"l'", 0, kVowel, true},
    {"un", 0, kAnyInitial},
    {"ce", 0, kConsonant},
    {"cet", 0, kVowel},
    {"mon", 0, kConsonant | kVowel},
    {"ton", 0, kConsonant | kVowel},
    {"son", 0, kConsonant | kVowel},
    {"notre", 0, kAnyInitial},
    {"votre", 0, kAnyInitial},
    {"leur", 0, kAnyInitial},
    {"la", 1, kConsonant},
    {"l'", 1, kVowel, true},
    {"une", 1, kAnyInitial},
    {"cette", 1, kAnyInitial},
    {"ma", 1, kConsonant},
    {"ta", 1, kConsonant},
    {"sa", 1, kConsonant},
    {"mon", 1, kVowel},
    {"ton", 1, kVowel},
    {"son", 1, kVowel},
    {"notre", 1, kAnyInitial},
    {"votre", 1, kAnyInitial},
    {"leur", 1, kAnyInitial},
    {"les", 2, kAnyInitial},
    {"des", 2, kAnyInitial},
    {"ces", 2, kAnyInitial},
    {"mes", 2, kAnyInitial},
    {"tes", 2, kAnyInitial},
    {"ses", 2, kAnyInitial},
    {"nos", 2, kAnyInitial},
    {"vos", 2, kAnyInitial},
    {"leurs", 2, kAnyInitial},
    {"l'", 3, kVowel, true},
    {"mon", 3, kVowel},
    {"ton", 3, kVowel},
    {"son", 3, kVowel},
    {"notre", 3, kAnyInitial},
    {"votre", 3, kAnyInitial},
    {"leur", 3, kAnyInitial},
};

inline constexpr Closed kPronouns[] = {
    {"je", 0, kConsonant},
    {"j'", 0, kVowel, true},
    {"tu", 1, kAnyInitial},
    {"il", 2, kAnyInitial},
    {"elle", 2, kAnyInitial},
    {"on", 2, kAnyInitial},
    {"nous", 3, kAnyInitial},
    {"vous", 4, kAnyInitial},
    {"ils", 5, kAnyInitial},
    {"elles", 5, kAnyInitial},
    {"\xE7"
     "a",
     2, kAnyInitial, false, true},  // ça
};

// The present of avoir, by person, for the compound past.
inline constexpr std::string_view kHave[6] = {"ai", "as", "a", "avons", "avez", "ont"};

// Prepositions before a second noun phrase, and the conjunction of two objects. "à" does
// not go before le and les (French writes au, aux).
inline constexpr std::string_view kTo = "\xE0";  // à
inline constexpr std::string_view kPrepositions[] = {"dans", "sur", "sous",   "avec", "pour",
                                                     "vers", "par", "contre", "chez", kTo};
inline constexpr std::string_view kAnd = "et";
// "déjà" after the first verb word, "voilà" before a noun phrase, "(là) où" before a
// second clause.
inline constexpr std::string_view kAlready = "d\xE9j\xE0";
inline constexpr std::string_view kHere = "voil\xE0";
inline constexpr std::string_view kThere = "l\xE0";
inline constexpr std::string_view kWhere = "o\xF9";

inline bool Holds(std::string_view word, char c) { return word.find(c) != std::string_view::npos; }

}  // namespace course_words
