// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of the typing course: real French made only of the characters the learner may
// type so far. CourseWords ranks every form of the lexicon (and the closed words of the
// course's sentences) once per lexicon; a CourseIndex keeps, once per set of allowed
// characters, those that the characters can type, most frequent first; MakeCourseText then
// draws one lesson from it, built around a focus character and the learner's slowest key
// pairs, and unlike the lessons a CourseVariety remembers.
//
// The text is whole sentences whenever the allowed characters can make one ("le rat lit
// une note"; "Le rat lit une note." once a capital and the period are allowed), else a
// list of real words that hold the focus. Only when no real word holds the focus are
// invented letter groups used (and no sentence is made), and the text says so.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "generator/word_ranking.h"
#include "lexicon/lexicon.h"

// Enough real words for a list that does not come back to the same few: fewer words that
// start with a capital send it to sentences in capitals, or add the words that hold it.
constexpr int kMinRealWords = 12;

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
// A noun form and its slot (kFemSg..kMasPl). An epicene form (the dictionary gives it in
// both genders) has its masculine slot and takes only what does not tell the gender.
struct CourseNounForm {
    std::string_view text;
    int rank;
    uint8_t slot;
    bool epicene = false;
};
// Adjective pools beyond the four slots: the forms alike in both genders, singular and
// plural, for the epicene nouns.
constexpr int kEitherGenderSg = 4;
constexpr int kEitherGenderPl = 5;

// Verb tenses of the sentences: present, imperfect, future, and the compound past (whose
// pools hold the past participle).
constexpr int kCourseTenseKinds = 4;
constexpr int kCourseCompoundPast = 3;

// The forms a course text draws from, each pool most frequent first (then shortest).
struct CoursePools {
    std::vector<CourseForm> words;  // every distinct form: lexicon, first names, closed words
    std::vector<CourseNounForm> nouns;
    std::array<std::vector<CourseForm>, 6> adjectives;                            // by slot
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
    // period when the period is too.
    bool Capitals() const { return capitals_; }
    bool Period() const { return Allows('.'); }

private:
    std::array<bool, 256> allowed_{};
    bool capitals_ = false;
    CoursePools pools_;
};

// The words of the latest lessons, which the next ones avoid: a session keeps one and
// passes it to every lesson, so that the lessons on a few keys do not come back to the
// same few words.
class CourseVariety {
public:
    // How many lessons are remembered.
    static constexpr int kLessons = 10;
    bool Recent(std::string_view word) const;
    // The content words (nouns, verbs, adjectives, first names) of a lesson just made.
    void Remember(std::vector<std::string> words);
    void Clear();

private:
    std::vector<std::vector<std::string>> lessons_;  // oldest first
};

// One lesson of about targetLength characters (at least one word or sentence), drawn with
// the program's random generator (the caller seeds it). No noun, verb, adjective or first
// name comes twice in it, and those of the lessons the variety remembers come only when
// the others run short; the variety then remembers this one. Words with the slow pairs are
// preferred, and frequent words before rare ones, drawn across the most frequent few
// thousand rather than the first few. An empty text when the allowed characters type no
// letter at all.
//
// A lower-case letter that many words hold binds every noun, verb, adjective and first
// name of the sentences, and the determiners, pronouns and prepositions where one of the
// right ones holds it; a letter that few words hold ("où", "déjà", "à la") and any other
// character that words hold (' -) bind each sentence, in one of its words. A capital binds
// each sentence by its first word or a first name ("Ça", "À sa table", "Émile"), or else
// each word of a list of real words written as at a sentence start ("Œil", "École") or in
// capitals ("OÙ", "NOËL"). Punctuation goes between or around the sentences as French
// writes it (", " between two clauses, " !" at the end, « » around one), digits as numbers
// before a plural noun ("47 notes"), % € $ £ ° after a number; for the other signs, and for
// word lists, AddDrillCharacter does it. The blank binds nothing.
CourseText MakeCourseText(const CourseIndex& index, char focus, std::span<const CoursePair> slowPairs, int targetLength,
                          CourseVariety* variety = nullptr);

// A lesson whose focus is a punctuation mark, a digit or a symbol: the text made of words
// gains it between them as French writes it (a no-break space before ; : ! ? and inside
// « », a comma after a word, numbers made of the allowed digits only, a symbol after a
// number), every few words. A text that already holds the focus, or a letter as focus, is
// returned as it is. `allowed` holds the characters the learner may type (Windows-1252).
std::string AddDrillCharacter(std::string text, unsigned char focus, std::string_view allowed);
// A number of one to three of the allowed digits that holds the digit when it is one (any
// allowed digits else), with no leading zero and, when the digits can make one, at least
// 2 (a plural follows); empty when no digit is allowed.
std::string CourseNumber(unsigned char digit, std::string_view allowed);
