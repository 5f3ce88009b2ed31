// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The maker of one course lesson, shared by the files that build its sentences
// (course_text.cpp) and its word lists and punctuation (course_list.cpp).
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "generator/course_text.h"
#include "generator/course_words.h"

namespace course_lesson {

// Filters a pool of the index to the entries that hold a character, once per lesson.
template <class Entry>
class Filtered {
public:
    const std::vector<int>& Of(const std::vector<Entry>& pool, char c) {
        if (!done_) {
            done_ = true;
            for (int i = 0; i < int(pool.size()); ++i)
                if (course_words::Holds(pool[std::size_t(i)].text, c)) indices_.push_back(i);
        }
        return indices_;
    }

private:
    bool done_ = false;
    std::vector<int> indices_;
};

// How the focus binds the lesson.
enum class Bind : uint8_t {
    None,       // the blank, or a character not allowed
    EveryWord,  // a letter many words hold: every content word holds it
    OneWord,    // a letter or sign few words hold: each sentence holds it somewhere
    Capital,    // a capital: each sentence starts with it or holds a first name with it
    Drill,      // punctuation, digits, symbols: put between or into the sentences
};

// The one place of a sentence that holds the focus, when it binds one word.
enum class Role : uint8_t { Any, Noun, Verb, Adjective, Name, To, Where, Already, Here, Start, Fronted };

struct Sentence {
    std::string text;
    bool raised = false;  // its first letter was made a capital
};

class LessonMaker {
public:
    LessonMaker(const CourseIndex& index, char focus, std::span<const CoursePair> pairs, int targetLength,
                CourseVariety* variety);
    CourseText Make();

private:
    // course_text.cpp: sentences.
    void ChooseRoles();
    bool ClosedWordStarts() const;
    bool CapitalSentences() const;
    bool InCapitals();
    bool MakeSentences(std::vector<Sentence>& sentences);
    bool BuildSentence(Sentence& sentence);
    bool AppendClause(std::string& s, bool extras);
    int ChooseTense(int person);
    int PronounPerson();
    static constexpr int kSingular = 1;
    static constexpr int kPlural = 2;
    bool AppendNounPhrase(std::string& out, bool& plural, bool object = false, int numbers = kSingular | kPlural);
    const course_words::Closed* ChooseClosed(std::span<const course_words::Closed> table, uint8_t use,
                                             std::string_view next);
    std::string_view ChoosePreposition();
    // Whether a content word of that role must hold the focus, and whether a closed
    // construction of that role must come.
    bool Binds(Role role) const { return bind_ == Bind::EveryWord || (pending_ && role_ == role); }
    bool Forced(Role role) const { return pending_ && role_ == role; }
    void Bound(Role role) {
        if (role_ == role) pending_ = false;
    }
    bool Allowed(const course_words::Closed& c) const;
    bool Fits(const course_words::Closed& c, uint8_t use, course_words::Initial initial) const;

    // course_list.cpp: word lists, invented groups, punctuation and numbers.
    std::string JoinSentences(std::vector<Sentence>& sentences);
    bool MakeWordList(std::string& text);
    std::vector<std::string> CapitalWords() const;
    std::string InventedGroup();
    bool HasLetters() const;
    // The number of a sentence whose focus is a digit or a unit, empty for none.
    std::string SentenceNumber() const;
    // Appends to a noun phrase what the focus puts there: its number and unit.
    bool NumberedPhrase(std::string& determiner, std::string& after) const;

    // Picks: an index into the pool (of the entries listed, or of all) of an entry that
    // the filter accepts, frequent words first, the richest in slow pairs of a few draws,
    // never a word of this lesson and those of recent lessons last; -1 when every one is
    // used.
    struct AnyEntry {
        template <class Entry>
        bool operator()(const Entry&) const {
            return true;
        }
    };
    template <class Entry, class Accept = AnyEntry>
    int PickIndex(const std::vector<Entry>& pool, const std::vector<int>* indices, const Accept& accept = {});
    template <class Entry>
    std::string_view Pick(const std::vector<Entry>& pool, const std::vector<int>* indices) {
        const int i = PickIndex(pool, indices);
        return i < 0 ? std::string_view() : pool[std::size_t(i)].text;
    }
    double PairScore(std::string_view word) const;
    void Use(std::string_view word);

    // The entries holding the focus, or null for the whole pool, for a role.
    const std::vector<int>* NounIndices(bool bound) { return bound ? &nouns_.Of(index_.NounForms(), focus_) : nullptr; }
    const std::vector<int>* AdjectiveIndices(int slot, bool bound) {
        return bound ? &adjectives_[std::size_t(slot)].Of(index_.AdjectiveForms(slot), focus_) : nullptr;
    }
    const std::vector<int>* VerbIndices(int tense, int person, bool bound) {
        return bound ? &verbs_[std::size_t(tense)][std::size_t(person)].Of(index_.VerbForms(tense, person), focus_)
                     : nullptr;
    }
    const std::vector<int>* NameIndices(bool bound) { return bound ? &names_.Of(index_.Names(), focus_) : nullptr; }
    bool HasVerbsWithFocus();

    const CourseIndex& index_;
    char focus_;
    char lower_;          // the focus's small letter (itself when it is none)
    char shown_ = 0;      // the capital practised through its small letter in capitals
    bool upper_ = false;  // sentences in capitals
    std::span<const CoursePair> pairs_;
    int target_;
    CourseVariety* variety_;
    Bind bind_ = Bind::None;
    std::vector<Role> roles_;  // those that can hold the focus, for OneWord and Capital
    Role role_ = Role::Any;    // the present sentence's
    bool pending_ = false;     // the role's word is still to come in the sentence
    char initial_ = 0;         // the subject's first letter, when it must be one
    bool afterTo_ = false;     // a noun phrase after "à": no le, les
    bool rareClosed_ = false;  // the focus is held only by closed words kept for it ("ça")
    std::string number_;       // the present sentence's number, for a digit or unit focus
    Filtered<CourseForm> words_;
    Filtered<CourseNounForm> nouns_;
    std::array<Filtered<CourseForm>, 6> adjectives_;
    std::array<std::array<Filtered<CourseForm>, 6>, kCourseTenseKinds> verbs_;
    Filtered<CourseForm> names_;
    std::unordered_set<std::string_view> used_;  // content words of the lesson
    std::vector<std::string_view> sentenceWords_;
    std::vector<std::string> lessonWords_;
};

}  // namespace course_lesson
