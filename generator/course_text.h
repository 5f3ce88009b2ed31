// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of the typing course: real French made only of the characters the learner may
// type so far. CourseWords ranks every form of the lexicon (and the closed words of the
// course's sentences) once per lexicon; a CourseIndex keeps, once per set of allowed
// characters, those that the characters can type, most frequent first; MakeCourseText then
// draws one lesson from it, built around a focus character and the learner's slowest key
// pairs.
//
// The text is whole sentences whenever the allowed characters can make one ("le rat lit
// une note"; with a capital and a final period once those are allowed), else a list of
// words that all hold the focus. Only when fewer than kMinRealWords real words hold the
// focus are invented letter groups mixed in (and no sentence is made), and the text says
// so.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "generator/word_ranking.h"
#include "lexicon/lexicon.h"

// Below this many typable real words holding the focus, invented groups fill the text.
constexpr int kMinRealWords = 15;

// An ordered pair of characters the learner types slowly, with its weight (any scale,
// larger for slower pairs). A blank stands for a word boundary.
struct CoursePair {
    char first;
    char second;
    double weight;
};

struct CourseText {
    std::string text;        // Windows-1252, words separated by single blanks
    bool sentences = false;  // made of whole sentences
    bool invented = false;   // invented letter groups had to be used
};

// The closed words that course sentences use besides lexicon forms: determiners (with the
// elided "l'"), subject pronouns (with "j'"), prepositions, and the forms of avoir that
// make the compound past. Windows-1252.
std::span<const std::string_view> CourseClosedWords();

// A form with its frequency rank (lower is more common).
struct CourseForm {
    std::string_view text;
    int rank;
};
// A noun form and its slot (kFemSg..kMasPl).
struct CourseNounForm {
    std::string_view text;
    int rank;
    uint8_t slot;
};

// Verb tenses of the sentences: present, imperfect, future, and the compound past (whose
// pools hold the past participle).
constexpr int kCourseTenseKinds = 4;
constexpr int kCourseCompoundPast = 3;

// The forms a course text draws from, each pool most frequent first (then shortest).
struct CoursePools {
    std::vector<CourseForm> words;  // every distinct form: lexicon, first names, closed words
    std::vector<CourseNounForm> nouns;
    std::array<std::vector<CourseForm>, 4> adjectives;                            // by slot
    std::array<std::array<std::vector<CourseForm>, 6>, kCourseTenseKinds> verbs;  // by tense and person
    std::vector<CourseForm> names;
};

// Every word the course may use, ranked: built once per lexicon (looking up the ranking
// costs more than anything else), then filtered for each set of allowed characters. The
// lexicon must outlive it; the ranking is read only while building.
class CourseWords {
public:
    CourseWords(const Lexicon& lexicon, const WordRanking& ranking);
    CourseWords(const CourseWords&) = delete;
    CourseWords& operator=(const CourseWords&) = delete;
    const CoursePools& Pools() const { return pools_; }

private:
    CoursePools pools_;
};

class CourseIndex {
public:
    // The forms that only the allowed characters (Windows-1252 bytes; the blank is always
    // allowed) can type, in the order of the words'. The words must outlive the index.
    // Capital letters count only where the caller allows them.
    CourseIndex(const CourseWords& words, std::string_view allowed);
    CourseIndex(const CourseIndex&) = delete;
    CourseIndex& operator=(const CourseIndex&) = delete;

    bool Allows(char c) const { return allowed_[static_cast<unsigned char>(c)]; }
    bool Typable(std::string_view word) const;
    // Number of distinct typable words (lexicon forms, first names, closed words), and of
    // those holding the character.
    int WordCount() const { return int(pools_.words.size()); }
    int WordsWith(char c) const;
    // Whether at least count of them hold the character (quicker than counting them all).
    bool HasWordsWith(char c, int count) const;

    const std::vector<CourseForm>& Words() const { return pools_.words; }
    const std::vector<CourseNounForm>& NounForms() const { return pools_.nouns; }
    const std::vector<CourseForm>& AdjectiveForms(int slot) const { return pools_.adjectives[std::size_t(slot)]; }
    const std::vector<CourseForm>& VerbForms(int tenseKind, int person) const {
        return pools_.verbs[std::size_t(tenseKind)][std::size_t(person)];
    }
    const std::vector<CourseForm>& Names() const { return pools_.names; }
    // Sentences start with a capital when some capital letter is allowed, and end with a
    // period when the period is.
    bool Capitals() const { return capitals_; }
    bool Period() const { return Allows('.'); }

private:
    std::array<bool, 256> allowed_{};
    bool capitals_ = false;
    CoursePools pools_;
};

// One lesson of about targetLength characters (at least one word or sentence), drawn with
// the program's random generator (the caller seeds it). Every word of a word list holds the
// focus; in sentences every noun, verb, adjective and first name holds it, and the
// determiners, pronouns and prepositions hold it where one of the right ones does. Words
// with the slow pairs are preferred, and frequent words before rare ones. An empty text
// when the allowed characters type no letter at all.
//
// The focus binds the words when it is an allowed lower-case letter. An allowed capital
// binds each sentence (its first letter or a first name), and the words of a list. Any
// other allowed character but the blank must be in each sentence (the period can be);
// when no sentence can hold it, the text is a word list without it: drills for the
// punctuation and digit keys are the caller's. The blank binds nothing.
CourseText MakeCourseText(const CourseIndex& index, char focus, std::span<const CoursePair> slowPairs,
                          int targetLength);

// A lesson whose focus is a punctuation mark, a digit or a symbol: the text made of words
// gains it between them as French writes it (a no-break space before ; : ! ? and inside
// « », a comma after a word, numbers made of the allowed digits, a symbol after a number),
// every few words. A text that already holds the focus, or a letter as focus, is returned
// as it is. `allowed` holds the characters the learner may type (Windows-1252).
std::string AddDrillCharacter(std::string text, unsigned char focus, std::string_view allowed);
