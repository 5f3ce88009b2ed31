// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The words of a course lesson's sentences: noun phrases, the closed words that fit, and
// the draw of each word (frequent first, slow pairs preferred, none twice in a lesson and
// those of recent lessons last); the memory of recent lessons.
#include <algorithm>
#include <array>

#include "common/cp1252.h"
#include "generator/course_lesson.h"
#include "generator/course_words.h"
#include "generator/noun_phrase.h"
#include "generator/random.h"

using namespace course_words;

namespace course_lesson {

namespace {

constexpr int kWordTries = 12;  // draws before the pool is searched for an unused word
constexpr int kCandidates = 3;  // words drawn; the one richest in slow pairs is kept
// Words are drawn among the most frequent of a pool: the square of a uniform draw puts
// half of them in its first quarter.
constexpr int kCommonWords = 3000;

int DrawAcrossRanks(int n) {
    const int common = std::min(n, kCommonWords);
    const double u = double(Random(1 << 20)) / double(1 << 20);
    return std::min(int(double(common) * u * u), common - 1);
}

}  // namespace

bool LessonMaker::Allowed(const Closed& c) const { return !c.focusOnly || rareClosed_; }

// A determiner or pronoun that serves the use, goes before a word of that initial, can be
// typed, and starts with the letter asked for.
bool LessonMaker::Fits(const Closed& c, uint8_t use, Initial initial) const {
    return c.use == use && (c.initials & initial) && index_.Typable(c.text) && Allowed(c) &&
           (!initial_ || c.text[0] == initial_) && !(afterTo_ && (c.text == "le" || c.text == "les"));  // au, aux
}

// Determiner, noun and sometimes an adjective, appended to out; plural tells the number.
// False when no fitting noun has a typable determiner.
bool LessonMaker::AppendNounPhrase(std::string& out, bool& plural, bool object, int numbers) {
    const bool bound = Binds(Role::Noun);
    const std::vector<int>* nouns = NounIndices(bound);
    // A digit's number stands for the determiner, and a plural noun follows it.
    std::string numberDeterminer;
    std::string after;
    const bool numbered = object && !number_.empty() && NumberedPhrase(numberDeterminer, after);
    if (!numberDeterminer.empty()) numbers &= kPlural;
    // The determiner's use: its gender and number, or neither gender.
    const auto useOf = [](const CourseNounForm& noun) {
        const bool feminine = noun.slot == kFemSg || noun.slot == kFemPl;
        return uint8_t(noun.slot >= kFemPl ? kPluralUse : noun.epicene ? kEitherGenderUse : feminine ? 1 : 0);
    };
    // A noun of a number that fits, with a determiner that goes before it.
    const auto fits = [&](const CourseNounForm& noun) {
        if (!(numbers & (noun.slot >= kFemPl ? kPlural : kSingular))) return false;
        if (!numberDeterminer.empty()) return true;
        const uint8_t use = useOf(noun);
        const Initial initial = InitialOf(noun.text);
        return std::any_of(std::begin(kDeterminers), std::end(kDeterminers),
                           [&](const Closed& c) { return Fits(c, use, initial); });
    };
    for (int tries = 0; tries < kWordTries; ++tries) {
        const int at = PickIndex(index_.NounForms(), nouns, fits);
        if (at < 0) return false;
        const CourseNounForm& noun = index_.NounForms()[std::size_t(at)];
        const bool nounPlural = noun.slot >= kFemPl;
        std::string determiner = numberDeterminer;
        if (determiner.empty()) {
            const Closed* closed = ChooseClosed(kDeterminers, useOf(noun), noun.text);
            if (!closed) continue;
            determiner = closed->text;
            if (!closed->elided) determiner += ' ';
        }
        plural = nounPlural;
        Use(noun.text);
        if (bound) Bound(Role::Noun);
        out += determiner;
        out += noun.text;
        // An epicene noun takes an adjective alike in both genders.
        const int slot = noun.epicene ? (nounPlural ? kEitherGenderPl : kEitherGenderSg) : noun.slot;
        const bool boundAdjective = Binds(Role::Adjective);
        const std::vector<int>* adjectives = AdjectiveIndices(slot, boundAdjective);
        if ((Forced(Role::Adjective) || Random(2) == 0) && (!adjectives || !adjectives->empty())) {
            // One that a recent lesson had comes only where it binds the focus.
            const std::string_view adjective = Pick(index_.AdjectiveForms(slot), adjectives);
            const bool stale = variety_ && !Forced(Role::Adjective) && variety_->Recent(adjective);
            if (!adjective.empty() && !stale) {
                Use(adjective);
                if (boundAdjective) Bound(Role::Adjective);
                out += ' ';
                out += adjective;
            }
        }
        out += after;
        if (numbered) number_.clear();
        return true;
    }
    return false;
}

// A determiner or pronoun of that use that goes before the word and can be typed, one
// holding the focus when there is one; null when none fits.
const Closed* LessonMaker::ChooseClosed(std::span<const Closed> table, uint8_t use, std::string_view next) {
    const Initial initial = InitialOf(next);
    std::array<const Closed*, std::size(kDeterminers)> fitting{};
    static_assert(std::size(kPronouns) <= std::size(kDeterminers));
    int count = 0;
    int holding = 0;
    // Where each word binds the focus, or no word can, closed words holding it first.
    const bool prefer = bind_ == Bind::EveryWord || (bind_ == Bind::OneWord && role_ == Role::Any);
    for (const Closed& c : table) {
        if (!Fits(c, use, initial)) continue;
        if (prefer && Holds(c.text, focus_)) {
            if (holding < count) fitting[std::size_t(count)] = fitting[std::size_t(holding)];
            ++count;
            fitting[std::size_t(holding++)] = &c;
        } else {
            fitting[std::size_t(count++)] = &c;
        }
    }
    if (count == 0) return nullptr;
    return fitting[std::size_t(Random(holding > 0 ? holding : count))];
}

std::string_view LessonMaker::ChoosePreposition() {
    std::vector<std::string_view> fitting;
    std::vector<std::string_view> holding;
    for (const std::string_view w : kPrepositions)
        if (index_.Typable(w)) (bind_ == Bind::EveryWord && Holds(w, focus_) ? holding : fitting).push_back(w);
    const std::vector<std::string_view>& from = holding.empty() ? fitting : holding;
    return from.empty() ? std::string_view() : from[std::size_t(Random(int(from.size())))];
}

// The score of a word: the weights of the slow pairs it holds, its boundaries included.
double LessonMaker::PairScore(std::string_view word) const {
    double score = 0;
    char previous = ' ';
    for (std::size_t i = 0; i <= word.size(); ++i) {
        const char c = i < word.size() ? word[i] : ' ';
        for (const CoursePair& pair : pairs_)
            if (pair.first == previous && pair.second == c) score += pair.weight;
        previous = c;
    }
    return score;
}

void LessonMaker::Use(std::string_view word) {
    used_.insert(word);
    sentenceWords_.push_back(word);
}

template <class Entry, class Accept>
int LessonMaker::PickIndex(const std::vector<Entry>& pool, const std::vector<int>* indices, const Accept& accept) {
    const int n = indices ? int(indices->size()) : int(pool.size());
    if (n == 0) return -1;
    const auto at = [&](int k) { return indices ? (*indices)[std::size_t(k)] : k; };
    const auto usable = [&](int i) {
        return accept(pool[std::size_t(i)]) && !used_.contains(pool[std::size_t(i)].text);
    };
    int recent = -1;
    for (int tries = 0; tries < kWordTries; ++tries) {
        int best = -1;
        double bestScore = 0;
        for (int k = 0; k < (pairs_.empty() ? 1 : kCandidates); ++k) {
            const int i = at(DrawAcrossRanks(n));
            const double score = pairs_.empty() ? 0 : PairScore(pool[std::size_t(i)].text);
            if (best < 0 || score > bestScore) {
                best = i;
                bestScore = score;
            }
        }
        if (!usable(best)) continue;
        if (!variety_ || !variety_->Recent(pool[std::size_t(best)].text)) return best;
        if (recent < 0) recent = best;
    }
    // The draws all met used words: the first usable one from a random place, one not
    // recent if there is one.
    const int start = Random(n);
    for (int k = 0; k < n; ++k) {
        const int i = at((start + k) % n);
        if (!usable(i)) continue;
        if (!variety_ || !variety_->Recent(pool[std::size_t(i)].text)) return i;
        if (recent < 0) recent = i;
    }
    return recent;
}

template int LessonMaker::PickIndex(const std::vector<CourseForm>&, const std::vector<int>*, const AnyEntry&);

}  // namespace course_lesson

bool CourseVariety::Recent(std::string_view word) const {
    for (const std::vector<std::string>& lesson : lessons_)
        if (std::find(lesson.begin(), lesson.end(), word) != lesson.end()) return true;
    return false;
}

void CourseVariety::Remember(std::vector<std::string> words) {
    if (lessons_.size() >= std::size_t(kLessons)) lessons_.erase(lessons_.begin());
    lessons_.push_back(std::move(words));
}

void CourseVariety::Clear() { lessons_.clear(); }

CourseText MakeCourseText(const CourseIndex& index, char focus, std::span<const CoursePair> slowPairs, int targetLength,
                          CourseVariety* variety) {
    return course_lesson::LessonMaker(index, focus, slowPairs, targetLength, variety).Make();
}
