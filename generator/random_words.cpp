// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/random_words.h"

#include "generator/conjugation.h"
#include "generator/random.h"

bool VerbHasForm(const Lexicon& lexicon, int verb, int tense, int person) {
    if (verb < 1 || verb > lexicon.VerbCount) return false;
    const int slot = ConjugationSlot(tense, person);
    return slot >= 0 && !lexicon.Verb(verb).Slots[slot].Empty();
}

int FindVerb(const Lexicon& lexicon, std::string_view infinitive) {
    for (int verb = 1; verb <= lexicon.VerbCount; ++verb)
        if (lexicon.Verb(verb).Slots[kVerbInfinitive].View() == infinitive) return verb;
    return 0;
}

std::string_view DrawInfinitive(const Lexicon& lexicon) {
    if (lexicon.VerbCount <= 0) return {};
    return lexicon.Verb(Random(lexicon.VerbCount) + 1).Slots[kVerbInfinitive].View();
}

std::string_view DrawAdjective(const Vocabulary& vocabulary, Gender gender, int person) {
    const Lexicon& lexicon = vocabulary.Tables();
    const int slot = AgreementSlot(gender, person);
    const int i = DrawAccepted(lexicon.AdjectiveCount, vocabulary.AdjectivesWithSlot(slot),
                               [&](int a) { return vocabulary.AdjectiveHasSlot(a, slot); });
    return i ? lexicon.Adjective(i).Slots[slot].View() : std::string_view();
}

std::string_view DrawFirstName(const Lexicon& lexicon, Gender gender) {
    const int count = lexicon.NameCount(gender);
    if (count <= 0) return {};
    return lexicon.Name(gender, Random(count) + 1).View();
}
