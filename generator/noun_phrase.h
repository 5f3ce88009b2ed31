// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Noun phrases: determiner, common noun and sometimes an adjective, agreeing in gender
// and number, with the elisions of written French (l', cet, mon before a vowel or h).
#pragma once

#include <string>
#include <string_view>

#include "generator/vocabulary.h"

// The gender and number of a noun phrase, drawn as one value 0..3: masculine singular,
// feminine singular, masculine plural, feminine plural.
struct PhraseAgreement {
    Gender gender;
    bool plural;
};
constexpr PhraseAgreement PhraseAgreementOf(int drawn) {
    return {(drawn & 1) != 0 ? Gender::Feminine : Gender::Masculine, (drawn & 2) != 0};
}
// The noun and adjective slot that a drawn value 0..3 reads.
constexpr int NounPhraseSlot(int drawn) {
    const PhraseAgreement agreement = PhraseAgreementOf(drawn);
    return FormSlot(agreement.gender, agreement.plural);
}

// One entry of each determiner list, drawn with one Random(10) ("son", "sa", "ses" stand
// at two values).
std::string_view DrawMasculineDeterminer();
std::string_view DrawFeminineDeterminer();
std::string_view DrawPluralDeterminer();

// Letters before which le, la, ma, sa, ta and ce change: a e h i o u y à â è é ê î ï ô ö
// ù û ü, lower case only.
bool IsElisionLetter(char c);

// "la"/"le" + vowel -> "l'" + noun; "ma"/"sa"/"ta" + vowel -> "mon"/"son"/"ton";
// "ce" + vowel -> "cet". Other phrases come back unchanged.
std::string ElideDeterminer(std::string_view phrase);
// The same rewrite on the phrase that starts at position start of text.
void ElideDeterminerAt(std::string& text, std::size_t start);

// Appends a random noun phrase (no blank at either end). Appends nothing when no noun
// has any form; an adjective is left out when none has the phrase's form.
void AppendNounPhrase(const Vocabulary& vocabulary, std::string& out);
std::string DrawNounPhrase(const Vocabulary& vocabulary);
