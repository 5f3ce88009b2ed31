// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lexicon as the generator reads it: the tables, plus what a text needs to know
// about them and would otherwise look up again and again - which forms each entry has
// (a few bits per entry, so that rejection draws do not touch the large tables), how many
// entries have each form, and where "être" and "avoir" are. Built once per text and
// read-only afterwards.
#pragma once

#include <cstdint>
#include <vector>

#include "generator/conjugation.h"
#include "lexicon/lexicon.h"

// Rejection draws (an entry without the wanted form is thrown back) give up after this
// many tries and pick uniformly among the entries that have the form instead, so the
// result keeps the same odds while a lexicon poor in some form cannot stall a text.
constexpr int kMaxDrawTries = 1000;

class Vocabulary {
public:
    explicit Vocabulary(const Lexicon& lexicon);
    Vocabulary(const Vocabulary&) = delete;
    Vocabulary& operator=(const Vocabulary&) = delete;

    // The lexicon tables themselves.
    const Lexicon& Tables() const { return lexicon_; }

    // Index of "être" and "avoir" in the verb table (0 when absent).
    int BeVerb() const { return beVerb_; }
    int HaveVerb() const { return haveVerb_; }

    // VerbHasForm, from the bits.
    bool HasForm(int verb, int tense, int person) const {
        if (verb < 1 || verb > lexicon_.VerbCount) return false;
        const int slot = ConjugationSlot(tense, person);
        return slot >= 0 && (verbSlots_[std::size_t(verb)] >> slot & 1u);
    }
    // Whether noun (adjective) i has its slot 0..3 filled; i must be in the table.
    bool NounHasSlot(int i, int slot) const { return nounSlots_[std::size_t(i)] >> slot & 1u; }
    bool AdjectiveHasSlot(int i, int slot) const { return adjectiveSlots_[std::size_t(i)] >> slot & 1u; }

    // Number of verbs for which VerbHasForm(verb, tense, person) holds.
    int VerbsWithForm(int tense, int person) const;
    // The same added over the six persons, and over every tense and person.
    int VerbFormsOfTense(int tense) const;
    int VerbFormTotal() const { return verbFormTotal_; }

    // Number of nouns (adjectives) whose slot 0..3 is filled.
    int NounsWithSlot(int slot) const { return nounCounts_[slot]; }
    int NounFormTotal() const { return nounCounts_[0] + nounCounts_[1] + nounCounts_[2] + nounCounts_[3]; }
    int AdjectivesWithSlot(int slot) const { return adjectiveCounts_[slot]; }

private:
    const Lexicon& lexicon_;
    int beVerb_ = 0;
    int haveVerb_ = 0;
    std::vector<uint64_t> verbSlots_;  // bit s: slot s filled; by verb index
    std::vector<uint8_t> nounSlots_;   // bits 0..3; by noun index
    std::vector<uint8_t> adjectiveSlots_;
    int verbForms_[kTenseCount][kPersonCount] = {};
    int verbFormTotal_ = 0;
    int nounCounts_[4] = {};
    int adjectiveCounts_[4] = {};
};
