// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/conjugation.h"

#include <gtest/gtest.h>

#include "common/cp1252.h"
#include "generator/fixture_lexicon.h"
#include "generator/random_words.h"

using fixture::AddVerb;
using fixture::Cp;

namespace {

class ConjugationTest : public ::testing::Test {
protected:
    void SetUp() override { lexicon = std::make_unique<Lexicon>(); }
    std::string Conjugate(int verb, int tense, int person) { return ConjugateVerb(*lexicon, verb, tense, person); }
    std::unique_ptr<Lexicon> lexicon;
};

TEST_F(ConjugationTest, AuxiliaryPhrasesAreFixedWhateverTheParticiple) {
    const int v = AddVerb(*lexicon, "tondre", {{47, "tondu"}});
    EXPECT_EQ(Conjugate(v, kCompoundPast, 0), "J'ai tondu");  // no "Je ai" before a consonant
    EXPECT_EQ(Conjugate(v, kPluperfect, 5), "Ils avaient tondu");
    EXPECT_EQ(Conjugate(v, kPastAnterior, 3), Cp("Nous eûmes tondu"));
    EXPECT_EQ(Conjugate(v, kFuturePerfect, 4), "Vous aurez tondu");
    EXPECT_EQ(Conjugate(v, kSubjunctivePast, 2), "qu'il ait tondu");
    EXPECT_EQ(Conjugate(v, kSubjunctivePast, 0), "que j'aie tondu");
    EXPECT_EQ(Conjugate(v, kSubjunctivePluperfect, 2), Cp("qu'il eût tondu"));
    EXPECT_EQ(Conjugate(v, kSubjunctivePluperfect, 5), "qu'ils eussent tondu");
    EXPECT_EQ(Conjugate(v, kConditionalPast, 0), "j'aurais tondu");
    EXPECT_EQ(Conjugate(v, kImperativePast, 3), "Ayons tondu");
    EXPECT_EQ(Conjugate(v, kImperativePast, 1), "Aie tondu");
    EXPECT_EQ(Conjugate(v, kImperativePast, 2), "");
    EXPECT_EQ(Conjugate(v, kImperativePresent, 5), "");
}

TEST_F(ConjugationTest, JeElidesBeforeVowelsAndHButNotBeforeOCircumflex) {
    const int h = AddVerb(*lexicon, "habiter", {{1, "habite"}, {7, "habitais"}, {37, "habiterais"}});
    const int o = AddVerb(*lexicon, "ôter", {{1, "ôte"}, {7, "ôtais"}, {37, "ôterais"}});
    const int e = AddVerb(*lexicon, "écouter", {{1, "écoute"}, {13, "écoutai"}});
    const int c = AddVerb(*lexicon, "chanter", {{1, "chante"}, {19, "chanterai"}});
    const int u = AddVerb(*lexicon, "Upper", {{1, "Aime"}});
    EXPECT_EQ(Conjugate(h, kIndicativePresent, 0), "j'habite");
    EXPECT_EQ(Conjugate(o, kIndicativePresent, 0), Cp("je ôte"));
    EXPECT_EQ(Conjugate(h, kImperfect, 0), "J'habitais");  // capital for 11
    EXPECT_EQ(Conjugate(o, kImperfect, 0), Cp("Je ôtais"));
    EXPECT_EQ(Conjugate(h, kConditionalPresent, 0), "j'habiterais");  // lower case for 20
    EXPECT_EQ(Conjugate(o, kConditionalPresent, 0), Cp("je ôterais"));
    EXPECT_EQ(Conjugate(e, kSimplePast, 0), Cp("J'écoutai"));
    EXPECT_EQ(Conjugate(c, kFuture, 0), "Je chanterai");
    EXPECT_EQ(Conjugate(c, kIndicativePresent, 0), "je chante");
    EXPECT_EQ(Conjugate(u, kIndicativePresent, 0), "je Aime");  // capitals never elide

    EXPECT_EQ(SubjectJe(Cp("ëtre")), Cp("J'ëtre"));
    EXPECT_EQ(SubjectJeLower(Cp("à")), Cp("je à"));
    EXPECT_EQ(SubjectJeLower("yodle"), "j'yodle");
}

TEST_F(ConjugationTest, SimpleTensesTakeTheirSubjectAndSlot) {
    const int v = fixture::AddRegularVerb(*lexicon, "chant");
    EXPECT_EQ(Conjugate(v, kIndicativePresent, 1), "tu chantes");
    EXPECT_EQ(Conjugate(v, kIndicativePresent, 5), "ils chantent");
    EXPECT_EQ(Conjugate(v, kImperfect, 2), "Il chantait");
    EXPECT_EQ(Conjugate(v, kSimplePast, 4), Cp("Vous chantâtes"));
    EXPECT_EQ(Conjugate(v, kFuture, 3), "Nous chanterons");
    EXPECT_EQ(Conjugate(v, kConditionalPresent, 4), "vous chanteriez");
    EXPECT_EQ(Conjugate(v, kImperativePresent, 1), "Chante");
    EXPECT_EQ(Conjugate(v, kImperativePresent, 3), "Chantons");
    EXPECT_EQ(Conjugate(v, kImperativePresent, 4), "Chantez");
}

TEST_F(ConjugationTest, ImperativeCapitalDropsTheAccent) {
    const int e = AddVerb(*lexicon, "écouter", {{43, "écoute"}, {44, "écoutons"}, {45, "écoutez"}});
    const int a = AddVerb(*lexicon, "ânonner", {{43, "ânonne"}});
    const int i = AddVerb(*lexicon, "îler", {{45, "îlez"}});
    EXPECT_EQ(Conjugate(e, kImperativePresent, 1), "Ecoute");
    EXPECT_EQ(Conjugate(e, kImperativePresent, 4), "Ecoutez");
    EXPECT_EQ(Conjugate(a, kImperativePresent, 1), Cp("ânonne"));  // unchanged, still lower case
    EXPECT_EQ(Conjugate(i, kImperativePresent, 4), "Ilez");
    EXPECT_EQ(CapitalizeImperative(Cp("ùne")), "Une");
    EXPECT_EQ(CapitalizeImperative(Cp("çà")), Cp("çà"));
    EXPECT_EQ(CapitalizeImperative("9a"), "9a");
    EXPECT_EQ(CapitalizeImperative("Va"), "Va");
    EXPECT_EQ(CapitalizeImperative(""), "");
}

TEST_F(ConjugationTest, MissingVerbsAndFormsGiveDefinedTexts) {
    const int v = AddVerb(*lexicon, "vide", {});
    EXPECT_EQ(Conjugate(0, kIndicativePresent, 1), "");
    EXPECT_EQ(Conjugate(v + 1, kIndicativePresent, 1), "");
    EXPECT_EQ(Conjugate(-3, kCompoundPast, 1), "");
    EXPECT_EQ(Conjugate(v, 9, 1), "");
    EXPECT_EQ(Conjugate(v, 24, 1), "");
    EXPECT_EQ(Conjugate(v, kIndicativePresent, 6), "");
    // A missing form leaves the subject alone, trailing blank included.
    EXPECT_EQ(Conjugate(v, kIndicativePresent, 1), "tu ");
    EXPECT_EQ(Conjugate(v, kIndicativePresent, 0), "je ");
    EXPECT_EQ(Conjugate(v, kCompoundPast, 5), "Ils ont ");
    EXPECT_EQ(Conjugate(v, kImperativePresent, 1), "");
}

TEST(VerbHasFormTest, FollowsTheSlotConjugationReads) {
    auto owner = std::make_unique<Lexicon>();
    Lexicon& lexicon = *owner;
    const int full = fixture::AddRegularVerb(lexicon, "chant");
    const int only = AddVerb(lexicon, "tu", {{2, "tues"}});
    const int participle = AddVerb(lexicon, "pp", {{47, "pu"}});
    for (int person = 0; person < 6; ++person) {
        const bool imperativePerson = person == 1 || person == 3 || person == 4;
        EXPECT_EQ(VerbHasForm(lexicon, full, kImperativePresent, person), imperativePerson) << person;
        EXPECT_EQ(VerbHasForm(lexicon, full, kImperativePast, person), imperativePerson) << person;
        EXPECT_EQ(VerbHasForm(lexicon, full, kIndicativePresent, person), true);
        // Compound tenses answer alike for every person, from the participle alone.
        for (int tense : {14, 15, 16, 17, 18, 19, 21}) {
            EXPECT_TRUE(VerbHasForm(lexicon, participle, tense, person));
            EXPECT_FALSE(VerbHasForm(lexicon, only, tense, person));
        }
        EXPECT_EQ(VerbHasForm(lexicon, only, kIndicativePresent, person), person == 1);
        EXPECT_FALSE(VerbHasForm(lexicon, only, kImperfect, person));
        EXPECT_FALSE(VerbHasForm(lexicon, participle, kConditionalPresent, person));
    }
    EXPECT_TRUE(VerbHasForm(lexicon, participle, kImperativePast, 4));
    EXPECT_FALSE(VerbHasForm(lexicon, participle, kImperativePresent, 4));
    EXPECT_FALSE(VerbHasForm(lexicon, 0, kIndicativePresent, 1));
    EXPECT_FALSE(VerbHasForm(lexicon, 4, kIndicativePresent, 1));
    EXPECT_FALSE(VerbHasForm(lexicon, full, 24, 1));
    EXPECT_FALSE(VerbHasForm(lexicon, full, kIndicativePresent, -1));
}

TEST(FindVerbTest, ExactMatchAndLowestIndex) {
    auto owner = std::make_unique<Lexicon>();
    Lexicon& lexicon = *owner;
    AddVerb(lexicon, "aimer", {});
    const int first = fixture::AddAvoir(lexicon);
    fixture::AddAvoir(lexicon);
    const int etre = fixture::AddEtre(lexicon);
    EXPECT_EQ(FindVerb(lexicon, "avoir"), first);
    EXPECT_EQ(FindVerb(lexicon, "Avoir"), 0);
    EXPECT_EQ(FindVerb(lexicon, "avoi"), 0);
    EXPECT_EQ(FindVerb(lexicon, "avoirs"), 0);
    EXPECT_EQ(FindVerb(lexicon, Cp("être")), etre);
    EXPECT_EQ(FindVerb(lexicon, "etre"), 0);
    auto empty = std::make_unique<Lexicon>();
    EXPECT_EQ(FindVerb(*empty, "avoir"), 0);
}

}  // namespace
