// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/vocabulary.h"

#include "common/cp1252.h"
#include "generator/random_words.h"

namespace {

uint8_t NominalBits(const NominalEntry& entry) {
    uint8_t bits = 0;
    for (int slot = 0; slot < 4; ++slot)
        if (!entry.Slots[slot].Empty()) bits = static_cast<uint8_t>(bits | (1u << slot));
    return bits;
}

}  // namespace

Vocabulary::Vocabulary(const Lexicon& lexicon) : lexicon_(lexicon) {
    beVerb_ = FindVerb(lexicon, "être"_cp);
    haveVerb_ = FindVerb(lexicon, "avoir");

    const int verbs = lexicon.VerbCount > 0 ? lexicon.VerbCount : 0;
    verbSlots_.assign(std::size_t(verbs) + 1, 0);
    int verbsWithSlot[kVerbSlotCount] = {};
    for (int verb = 1; verb <= verbs; ++verb) {
        const VerbEntry& entry = lexicon.Verb(verb);
        uint64_t bits = 0;
        for (int slot = 1; slot < kVerbSlotCount; ++slot)
            if (!entry.Slots[slot].Empty()) {
                bits |= uint64_t(1) << slot;
                ++verbsWithSlot[slot];
            }
        verbSlots_[std::size_t(verb)] = bits;
    }
    // A verb has the form of (tense, person) exactly when it has the slot read for it.
    for (int tense = kFirstTense; tense <= kLastTense; ++tense)
        for (int person = 0; person < kPersonCount; ++person) {
            const int slot = ConjugationSlot(tense, person);
            const int n = slot >= 0 ? verbsWithSlot[slot] : 0;
            verbForms_[tense - kFirstTense][person] = n;
            verbFormTotal_ += n;
        }

    const int nouns = lexicon.NounCount > 0 ? lexicon.NounCount : 0;
    nounSlots_.assign(std::size_t(nouns) + 1, 0);
    for (int i = 1; i <= nouns; ++i) {
        const uint8_t bits = NominalBits(lexicon.Noun(i));
        nounSlots_[std::size_t(i)] = bits;
        for (int slot = 0; slot < 4; ++slot) nounCounts_[slot] += bits >> slot & 1;
    }
    const int adjectives = lexicon.AdjectiveCount > 0 ? lexicon.AdjectiveCount : 0;
    adjectiveSlots_.assign(std::size_t(adjectives) + 1, 0);
    for (int i = 1; i <= adjectives; ++i) {
        const uint8_t bits = NominalBits(lexicon.Adjective(i));
        adjectiveSlots_[std::size_t(i)] = bits;
        for (int slot = 0; slot < 4; ++slot) adjectiveCounts_[slot] += bits >> slot & 1;
    }
}

int Vocabulary::VerbsWithForm(int tense, int person) const {
    if (tense < kFirstTense || tense > kLastTense || person < 0 || person >= kPersonCount) return 0;
    return verbForms_[tense - kFirstTense][person];
}

int Vocabulary::VerbFormsOfTense(int tense) const {
    int total = 0;
    for (int person = 0; person < kPersonCount; ++person) total += VerbsWithForm(tense, person);
    return total;
}
