// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/noun_phrase.h"

#include "generator/random.h"
#include "generator/random_words.h"

namespace {

constexpr std::string_view kMasculineDeterminers[10] = {"ce",  "un",  "le",    "son",   "mon",
                                                        "ton", "son", "notre", "votre", "leur"};
constexpr std::string_view kFeminineDeterminers[10] = {"cette", "une", "la",    "sa",    "ma",
                                                       "ta",    "sa",  "notre", "votre", "leur"};
constexpr std::string_view kPluralDeterminers[10] = {"ces", "des", "les", "ses", "mes",
                                                     "tes", "ses", "nos", "vos", "leurs"};

std::string_view DrawDeterminer(PhraseAgreement agreement) {
    if (agreement.plural) return DrawPluralDeterminer();
    return agreement.gender == Gender::Feminine ? DrawFeminineDeterminer() : DrawMasculineDeterminer();
}

// Draws (noun, kind) pairs until the noun has the kind's form; 0 when no noun has any.
int DrawNounAndKind(const Vocabulary& vocabulary, int& kind) {
    const Lexicon& lexicon = vocabulary.Tables();
    const int available = vocabulary.NounFormTotal();
    if (lexicon.NounCount <= 0 || available <= 0) return 0;
    for (int tries = 0; tries < kMaxDrawTries; ++tries) {
        const int noun = Random(lexicon.NounCount) + 1;
        kind = Random(4);
        if (vocabulary.NounHasSlot(noun, NounPhraseSlot(kind))) return noun;
    }
    int wanted = Random(available);
    for (int noun = 1; noun <= lexicon.NounCount; ++noun)
        for (kind = 0; kind < 4; ++kind)
            if (vocabulary.NounHasSlot(noun, NounPhraseSlot(kind)) && wanted-- == 0) return noun;
    return 0;
}

}  // namespace

std::string_view DrawMasculineDeterminer() { return kMasculineDeterminers[Random(10)]; }
std::string_view DrawFeminineDeterminer() { return kFeminineDeterminers[Random(10)]; }
std::string_view DrawPluralDeterminer() { return kPluralDeterminers[Random(10)]; }

bool IsElisionLetter(char c) {
    switch (static_cast<unsigned char>(c)) {
        case 'a':
        case 'e':
        case 'h':
        case 'i':
        case 'o':
        case 'u':
        case 'y':
        case 0xE0:
        case 0xE2:
        case 0xE8:
        case 0xE9:
        case 0xEA:  // à â è é ê
        case 0xEE:
        case 0xEF:
        case 0xF4:
        case 0xF6:  // î ï ô ö
        case 0xF9:
        case 0xFB:
        case 0xFC:  // ù û ü
            return true;
        default: return false;
    }
}

void ElideDeterminerAt(std::string& text, std::size_t start) {
    if (text.size() < start + 4) return;
    if (!IsElisionLetter(text[start + 3])) return;
    const char a = text[start];
    const char b = text[start + 1];
    if (a == 'l' && (b == 'a' || b == 'e')) {
        text[start + 1] = '\'';  // "la " -> "l'"
        text.erase(start + 2, 1);
    } else if ((a == 'm' || a == 's' || a == 't') && b == 'a') {
        text[start + 1] = 'o';  // "ma " -> "mon "
        text.insert(text.begin() + std::ptrdiff_t(start + 2), 'n');
    } else if (a == 'c' && b == 'e') {
        text.insert(text.begin() + std::ptrdiff_t(start + 2), 't');  // "ce " -> "cet "
    }
}

std::string ElideDeterminer(std::string_view phrase) {
    std::string text(phrase);
    ElideDeterminerAt(text, 0);
    return text;
}

void AppendNounPhrase(const Vocabulary& vocabulary, std::string& out) {
    const Lexicon& lexicon = vocabulary.Tables();
    int kind = 0;
    const int noun = DrawNounAndKind(vocabulary, kind);
    if (noun == 0) return;
    const int slot = NounPhraseSlot(kind);
    const ShortString& nounForm = lexicon.Noun(noun).Slots[slot];

    std::string_view adjective;
    if (Random(2) == 1) {
        const int i = DrawAccepted(lexicon.AdjectiveCount, vocabulary.AdjectivesWithSlot(slot),
                                   [&](int a) { return vocabulary.AdjectiveHasSlot(a, slot); });
        if (i) adjective = lexicon.Adjective(i).Slots[slot].View();
    }

    const std::size_t start = out.size();
    out += DrawDeterminer(PhraseAgreementOf(kind));
    out += ' ';
    out += nounForm.View();
    if (!adjective.empty()) {
        out += ' ';
        out += adjective;
    }
    ElideDeterminerAt(out, start);
}

std::string DrawNounPhrase(const Vocabulary& vocabulary) {
    std::string out;
    AppendNounPhrase(vocabulary, out);
    return out;
}
