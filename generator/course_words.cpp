// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Every word the course may use, ranked once per lexicon, and the words a set of keys can
// type.
#include <algorithm>
#include <unordered_map>

#include "common/cp1252.h"
#include "generator/course_text.h"
#include "generator/course_words.h"

using namespace course_words;

namespace {

// Nouns of the lexicon that French uses mostly as something else (adverbs, pronouns,
// verbs): "ton dessus", "leur leur" and "notre dire" are French but read like errors, so
// sentences leave them out (word lists keep them).
const std::string_view kOddNounLemmas[] = {
    "amen",   "au-delà"_cp, "après"_cp,    "assez",   "autre",  "avant",  "avoir",    "comment",  "dedans",
    "dehors", "demain",     "derrière"_cp, "dessous", "dessus", "devant", "dire",     "ensemble", "hier",
    "leur",   "même"_cp,    "merci",       "mien",    "moins",  "non",    "nôtre"_cp, "oui",      "pendant",
    "peu",    "plus",       "pourquoi",    "rien",    "sien",   "tien",   "tout",     "trop",     "vôtre"_cp};
// Adjectives that go before the noun or stand for a determiner or a pronoun ("une
// vérité petite", "ma maladie mienne"): sentences, which put the adjective after the
// noun, leave them out.
const std::string_view kOddAdjectiveLemmas[] = {
    "aise",    "autre", "beau",  "bon",     "certain", "chaque", "divers", "grand",    "gros",  "jeune",
    "joli",    "leur",  "maint", "mauvais", "même"_cp, "mien",   "nul",    "nôtre"_cp, "petit", "plusieurs",
    "premier", "quel",  "sien",  "tel",     "tien",    "tout",   "vieux",  "vôtre"_cp};

bool IsLiterarySlot(int slot) {
    return (slot >= kSimplePastSlot && slot < kSimplePastSlot + 6) ||
           (slot >= kSubjunctiveImperfectSlot && slot < kSubjunctiveImperfectSlot + 6);
}

template <std::size_t N>
bool IsAmong(std::string_view word, const std::string_view (&list)[N]) {
    return std::find(std::begin(list), std::end(list), word) != std::end(list);
}

// The closed words, each once.
const std::vector<std::string_view>& ClosedWordList() {
    static const std::vector<std::string_view> words = [] {
        std::vector<std::string_view> all;
        for (const Closed& d : kDeterminers) all.push_back(d.text);
        for (const Closed& p : kPronouns) all.push_back(p.text);
        for (std::string_view h : kHave) all.push_back(h);
        for (std::string_view p : kPrepositions) all.push_back(p);
        for (std::string_view w : {kAnd, kAlready, kHere, kThere, kWhere}) all.push_back(w);
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        return all;
    }();
    return words;
}

template <class Entry>
void SortByFrequency(std::vector<Entry>& pool) {
    std::stable_sort(pool.begin(), pool.end(), [](const Entry& a, const Entry& b) {
        if (a.rank != b.rank) return a.rank < b.rank;
        return a.text.size() < b.text.size();
    });
}

}  // namespace

std::span<const std::string_view> CourseClosedWords() { return ClosedWordList(); }

bool CourseIndex::Typable(std::string_view word) const {
    if (word.empty()) return false;
    for (char c : word)
        if (!Allows(c)) return false;
    return true;
}

bool CourseIndex::HasWordsWith(char c, int count) const {
    for (const CourseForm& word : pools_.words)
        if (Holds(word.text, c) && --count <= 0) return true;
    return count <= 0;
}

int CourseIndex::WordsWith(char c) const {
    const auto& words = pools_.words;
    return int(std::count_if(words.begin(), words.end(), [c](const CourseForm& w) { return Holds(w.text, c); }));
}

CourseWords::CourseWords(const Lexicon& lexicon, const WordRanking& ranking) {
    CoursePools& p = pools_;
    // The rank of a form (looked up as rankedAs); the first time, the form joins the
    // word list.
    std::unordered_map<std::string_view, int> seen;
    seen.reserve(std::size_t(lexicon.VerbCount) * kVerbSlotCount +
                 4 * std::size_t(lexicon.NounCount + lexicon.AdjectiveCount));
    const auto take = [&](std::string_view form, std::string_view rankedAs) {
        const auto [entry, fresh] = seen.try_emplace(form, 0);
        if (fresh) {
            entry->second = ranking.Rank(rankedAs);
            p.words.push_back({form, entry->second});
        }
        return entry->second;
    };
    // Forms with a blank would make two words of the text.
    const auto usable = [](std::string_view form) { return !form.empty() && !Holds(form, ' '); };

    for (int v = 1; v <= lexicon.VerbCount; ++v) {
        const VerbEntry& entry = lexicon.Verb(v);
        for (int slot = 0; slot < kVerbSlotCount; ++slot) {
            const std::string_view form = entry.Slots[slot].View();
            // The simple past and the imperfect subjunctive are the written narrative's, not
            // a learner's ("annonçassions"): a form of those tenses only stays out.
            if (!usable(form) || IsLiterarySlot(slot)) continue;
            const int rank = take(form, form);
            if (slot >= kIndicativePresentSlot && slot < kIndicativePresentSlot + 6)
                p.verbs[0][std::size_t(slot - kIndicativePresentSlot)].push_back({form, rank});
            else if (slot >= kImperfectSlot && slot < kImperfectSlot + 6)
                p.verbs[1][std::size_t(slot - kImperfectSlot)].push_back({form, rank});
            else if (slot >= kFutureSlot && slot < kFutureSlot + 6)
                p.verbs[2][std::size_t(slot - kFutureSlot)].push_back({form, rank});
            else if (slot == kPastParticipleMasSgSlot)
                for (auto& pool : p.verbs[kCourseCompoundPast]) pool.push_back({form, rank});
        }
    }
    // A noun form that the dictionary gives in both genders (an epicene "élève", or two
    // homographs merged as "litre", whose feminine is a rare word) is used once, with the
    // determiners and adjectives that do not tell the gender: "notre litre", never "ta
    // litre"; "des leaders rapides", never "des leaders tordantes".
    std::unordered_map<std::string_view, uint8_t> genders;  // bit 1 << slot
    for (int n = 1; n <= lexicon.NounCount; ++n)
        for (int slot = kFemSg; slot <= kMasPl; ++slot) {
            const std::string_view form = lexicon.Noun(n).Slots[slot].View();
            if (usable(form)) genders[form] |= uint8_t(1 << slot);
        }
    for (int n = 1; n <= lexicon.NounCount; ++n) {
        const NominalEntry& entry = lexicon.Noun(n);
        const bool odd = IsAmong(entry.Slots[kNominalLemma].View(), kOddNounLemmas);
        for (int slot = kFemSg; slot <= kMasPl; ++slot) {
            const std::string_view form = entry.Slots[slot].View();
            if (!usable(form)) continue;
            const int rank = take(form, form);
            const bool plural = slot >= kFemPl;
            const uint8_t both = plural ? (1 << kFemPl | 1 << kMasPl) : (1 << kFemSg | 1 << kMasSg);
            const bool epicene = (genders[form] & both) == both;
            // Once: the masculine slot stands for both.
            if (odd || (epicene && (slot == kFemSg || slot == kFemPl))) continue;
            p.nouns.push_back({form, rank, uint8_t(slot), epicene});
        }
    }
    for (int a = 1; a <= lexicon.AdjectiveCount; ++a) {
        const NominalEntry& entry = lexicon.Adjective(a);
        const bool odd = IsAmong(entry.Slots[kNominalLemma].View(), kOddAdjectiveLemmas);
        for (int slot = kFemSg; slot <= kMasPl; ++slot) {
            const std::string_view form = entry.Slots[slot].View();
            if (!usable(form)) continue;
            const int rank = take(form, form);
            if (odd) continue;
            p.adjectives[std::size_t(slot)].push_back({form, rank});
            // The same form in both genders: it goes with a noun of either.
            if ((slot == kMasSg || slot == kMasPl) && entry.Slots[slot - 1].View() == form)
                p.adjectives[slot == kMasPl ? kEitherGenderPl : kEitherGenderSg].push_back({form, rank});
        }
    }
    // First names are ranked as the word they spell (the list is in lower case).
    for (const Gender gender : {Gender::Feminine, Gender::Masculine})
        for (int i = 1; i <= lexicon.NameCount(gender); ++i) {
            const std::string_view name = lexicon.Name(gender, i).View();
            if (!usable(name)) continue;
            std::string lower(name);
            if (lower[0] >= 'A' && lower[0] <= 'Z') lower[0] = char(lower[0] - 'A' + 'a');
            p.names.push_back({name, take(name, lower)});
        }
    for (std::string_view word : ClosedWordList())
        if (word.back() != '\'') take(word, word);

    SortByFrequency(p.words);
    SortByFrequency(p.nouns);
    for (auto& pool : p.adjectives) SortByFrequency(pool);
    for (auto& tense : p.verbs)
        for (auto& pool : tense) SortByFrequency(pool);
    SortByFrequency(p.names);
}

CourseIndex::CourseIndex(const CourseWords& words, std::string_view allowed) {
    for (char c : allowed) allowed_[static_cast<unsigned char>(c)] = true;
    allowed_[' '] = true;
    for (int c = 0; c < 256; ++c)
        if (allowed_[std::size_t(c)] && IsCp1252Upper(static_cast<unsigned char>(c))) capitals_ = true;

    // The pools keep their order: a filter, no sort.
    const auto keep = [this](const auto& from, auto& to) {
        for (const auto& form : from)
            if (Typable(form.text)) to.push_back(form);
    };
    const CoursePools& all = words.Pools();
    keep(all.words, pools_.words);
    keep(all.nouns, pools_.nouns);
    for (std::size_t slot = 0; slot < all.adjectives.size(); ++slot)
        keep(all.adjectives[slot], pools_.adjectives[slot]);
    for (std::size_t tense = 0; tense < std::size_t(kCourseTenseKinds); ++tense)
        for (std::size_t person = 0; person < 6; ++person)
            if (tense != std::size_t(kCourseCompoundPast) || Typable(kHave[person]))
                keep(all.verbs[tense][person], pools_.verbs[tense][person]);
    keep(all.names, pools_.names);
}
