// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Word drawing, noun phrases and the closed word lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "generator/fixture_lexicon.h"
#include "generator/noun_phrase.h"
#include "generator/random.h"
#include "generator/random_words.h"
#include "generator/word_lists.h"

using fixture::Cp;

namespace {

TEST(DrawAdjectiveTest, OnlyAdjectivesThatHaveTheWantedForm) {
    auto lexicon = std::make_unique<Lexicon>();
    fixture::AddAdjective(*lexicon, "verte", "vert", "vertes", "verts");
    fixture::AddAdjective(*lexicon, "chic", "chic", "", "chics");
    fixture::AddAdjective(*lexicon, "", "sot", "", "");
    const Vocabulary vocabulary(*lexicon);
    SeedRandom(7);
    std::set<std::string> femininePlural, masculineSingular, feminineSingular;
    for (int i = 0; i < 400; ++i) {
        femininePlural.insert(std::string(DrawAdjective(vocabulary, Gender::Feminine, 4)));
        masculineSingular.insert(std::string(DrawAdjective(vocabulary, Gender::Masculine, 2)));
        feminineSingular.insert(std::string(DrawAdjective(vocabulary, Gender::Feminine, 0)));
    }
    EXPECT_EQ(femininePlural, (std::set<std::string>{"vertes"}));
    EXPECT_EQ(masculineSingular, (std::set<std::string>{"vert", "chic", "sot"}));
    EXPECT_EQ(feminineSingular, (std::set<std::string>{"verte", "chic"}));
}

TEST(DrawAdjectiveTest, NoAdjectiveWithTheFormGivesTheEmptyText) {
    auto lexicon = std::make_unique<Lexicon>();
    fixture::AddAdjective(*lexicon, "", "sot", "", "sots");
    const Vocabulary vocabulary(*lexicon);
    EXPECT_EQ(DrawAdjective(vocabulary, Gender::Feminine, 3), "");
    auto empty = std::make_unique<Lexicon>();
    const Vocabulary none(*empty);
    EXPECT_EQ(DrawAdjective(none, Gender::Masculine, 0), "");
}

TEST(DrawAdjectiveTest, RareFormIsStillFoundUniformlyPastTheTryBound) {
    // One adjective in 5,000 has the feminine plural: the bounded draw must still find it.
    auto lexicon = std::make_unique<Lexicon>();
    for (int i = 0; i < 5000; ++i) fixture::AddAdjective(*lexicon, "", "sot", "", "");
    lexicon->Adjective(4321).Slots[kFemPl].Assign("rares");
    const Vocabulary vocabulary(*lexicon);
    SeedRandom(3);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(DrawAdjective(vocabulary, Gender::Feminine, 5), "rares");
}

TEST(DrawFirstNameTest, ListsAndEmptyLists) {
    auto lexicon = std::make_unique<Lexicon>();
    fixture::AddFemaleName(*lexicon, "Zoé");
    SeedRandom(1);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(DrawFirstName(*lexicon, Gender::Feminine), Cp("Zoé"));
    EXPECT_EQ(DrawFirstName(*lexicon, Gender::Masculine), "");
    EXPECT_EQ(DrawInfinitive(*lexicon), "");
    fixture::AddRegularVerb(*lexicon, "chant");
    EXPECT_EQ(DrawInfinitive(*lexicon), "chanter");
}

TEST(RandomTest, BoundsAndReproducibility) {
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
    EXPECT_EQ(Random(1), 0);
    SeedRandom(42);
    std::vector<int> first;
    for (int i = 0; i < 50; ++i) first.push_back(Random(1000));
    SeedRandom(42);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(Random(1000), first[std::size_t(i)]);
    std::vector<int> counts(7, 0);
    for (int i = 0; i < 70000; ++i) {
        const int r = Random(7);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 7);
        ++counts[std::size_t(r)];
    }
    for (int c : counts) EXPECT_NEAR(c, 10000, 600);
    EXPECT_LT(Random(2147483647), 2147483647);
}

TEST(ElideDeterminerTest, Rewrites) {
    EXPECT_EQ(ElideDeterminer("ma amie"), "mon amie");
    EXPECT_EQ(ElideDeterminer("sa amie"), "son amie");
    EXPECT_EQ(ElideDeterminer(Cp("ta écharpe verte")), Cp("ton écharpe verte"));
    EXPECT_EQ(ElideDeterminer("la amie"), "l'amie");
    EXPECT_EQ(ElideDeterminer("le arbre"), "l'arbre");
    EXPECT_EQ(ElideDeterminer("le homme"), "l'homme");
    EXPECT_EQ(ElideDeterminer("ce homme"), "cet homme");
    EXPECT_EQ(ElideDeterminer(Cp("ce ôtage")), Cp("cet ôtage"));
    EXPECT_EQ(ElideDeterminer(Cp("la île")), Cp("l'île"));
    EXPECT_EQ(ElideDeterminer(Cp("le à")), Cp("l'à"));
    // Unchanged: other determiners, consonants, capitals, ä and ë, plurals.
    EXPECT_EQ(ElideDeterminer("cette amie"), "cette amie");
    EXPECT_EQ(ElideDeterminer("une amie"), "une amie");
    EXPECT_EQ(ElideDeterminer("le chat"), "le chat");
    EXPECT_EQ(ElideDeterminer("ma maison"), "ma maison");
    EXPECT_EQ(ElideDeterminer("le Arbre"), "le Arbre");
    EXPECT_EQ(ElideDeterminer(Cp("le Ecrin")), Cp("le Ecrin"));
    EXPECT_EQ(ElideDeterminer(Cp("la ärgle")), Cp("la ärgle"));
    EXPECT_EQ(ElideDeterminer(Cp("ce ëtre")), Cp("ce ëtre"));
    for (const char* plural : {"les amis", "leurs amis", "leur ami", "ces amis", "ses amis", "mes amis", "tes amis",
                               "des amis", "nos amis", "vos amis"})
        EXPECT_EQ(ElideDeterminer(plural), plural);
    EXPECT_EQ(ElideDeterminer("le"), "le");
    EXPECT_EQ(ElideDeterminer(""), "");
    EXPECT_TRUE(IsElisionLetter('h'));
    EXPECT_TRUE(IsElisionLetter('\xF4'));   // ô
    EXPECT_FALSE(IsElisionLetter('\xE4'));  // ä
    EXPECT_FALSE(IsElisionLetter('A'));
}

// The phrases that each kind can give for a noun form, with every determiner of its list.
std::set<std::string> PhrasesOfKind(int kind, const std::string& noun) {
    static const char* kLists[3][10] = {{"ce", "un", "le", "son", "mon", "ton", "son", "notre", "votre", "leur"},
                                        {"cette", "une", "la", "sa", "ma", "ta", "sa", "notre", "votre", "leur"},
                                        {"ces", "des", "les", "ses", "mes", "tes", "ses", "nos", "vos", "leurs"}};
    std::set<std::string> phrases;
    for (const char* d : kLists[kind < 2 ? kind : 2]) phrases.insert(ElideDeterminer(std::string(d) + " " + noun));
    return phrases;
}

TEST(DrawNounPhraseTest, DeterminerNounAndAdjectiveAgree) {
    auto lexicon = fixture::SmallLexicon();
    const Vocabulary vocabulary(*lexicon);
    // form -> kinds that have it, for nouns and adjectives
    std::map<std::string, std::set<int>> nounKinds, adjectiveKinds;
    for (int kind = 0; kind < 4; ++kind) {
        const int slot = NounPhraseSlot(kind);
        for (int i = 1; i <= lexicon->NounCount; ++i)
            if (!lexicon->Noun(i).Slots[slot].Empty())
                nounKinds[std::string(lexicon->Noun(i).Slots[slot].View())].insert(kind);
        for (int i = 1; i <= lexicon->AdjectiveCount; ++i)
            adjectiveKinds[std::string(lexicon->Adjective(i).Slots[slot].View())].insert(kind);
    }
    SeedRandom(11);
    int withAdjective = 0, elided = 0, feminineOfMasculineOnly = 0;
    for (int n = 0; n < 3000; ++n) {
        const std::string phrase = DrawNounPhrase(vocabulary);
        ASSERT_FALSE(phrase.empty());
        ASSERT_NE(phrase.front(), ' ');
        ASSERT_NE(phrase.back(), ' ');
        // Split off an adjective: the last word when the phrase has three words, or two
        // after an elided "l'".
        std::string head = phrase, adjective;
        const std::size_t words = std::size_t(std::count(phrase.begin(), phrase.end(), ' ')) + 1;
        const bool apostrophe = phrase.rfind("l'", 0) == 0;
        if (words == (apostrophe ? 2u : 3u)) {
            adjective = phrase.substr(phrase.rfind(' ') + 1);
            head = phrase.substr(0, phrase.rfind(' '));
            ++withAdjective;
        }
        if (apostrophe) ++elided;
        const std::string noun = apostrophe ? head.substr(2) : head.substr(head.find(' ') + 1);
        ASSERT_TRUE(nounKinds.count(noun)) << phrase;
        bool agrees = false;
        for (int kind : nounKinds[noun]) {
            if (!adjective.empty() && !adjectiveKinds[adjective].count(kind)) continue;
            if (PhrasesOfKind(kind, noun).count(head)) agrees = true;
        }
        EXPECT_TRUE(agrees) << phrase;
        if (noun == "arbre" || noun == "homme") {
            feminineOfMasculineOnly +=
                head.rfind("la ", 0) == 0 || head.rfind("une ", 0) == 0 || head.rfind("cette ", 0) == 0;
        }
    }
    EXPECT_EQ(feminineOfMasculineOnly, 0);
    EXPECT_GT(withAdjective, 1200);  // about half
    EXPECT_LT(withAdjective, 1800);
    EXPECT_GT(elided, 0);
}

TEST(DrawNounPhraseTest, DrawsInTheOrderNounKindCoinAdjectiveDeterminer) {
    auto lexicon = fixture::SmallLexicon();
    const Vocabulary vocabulary(*lexicon);
    for (uint64_t seed = 1; seed <= 40; ++seed) {
        SeedRandom(seed);
        const std::string phrase = DrawNounPhrase(vocabulary);
        SeedRandom(seed);
        int noun = 0, kind = 0;
        do {
            noun = Random(lexicon->NounCount) + 1;
            kind = Random(4);
        } while (lexicon->Noun(noun).Slots[NounPhraseSlot(kind)].Empty());
        const int slot = NounPhraseSlot(kind);
        std::string adjective;
        if (Random(2) == 1) {
            int a = 0;
            do a = Random(lexicon->AdjectiveCount) + 1;
            while (lexicon->Adjective(a).Slots[slot].Empty());
            adjective = " " + std::string(lexicon->Adjective(a).Slots[slot].View());
        }
        static const char* kLists[3][10] = {{"ce", "un", "le", "son", "mon", "ton", "son", "notre", "votre", "leur"},
                                            {"cette", "une", "la", "sa", "ma", "ta", "sa", "notre", "votre", "leur"},
                                            {"ces", "des", "les", "ses", "mes", "tes", "ses", "nos", "vos", "leurs"}};
        const std::string determiner = kLists[kind < 2 ? kind : 2][Random(10)];
        const std::string expected =
            ElideDeterminer(determiner + " " + std::string(lexicon->Noun(noun).Slots[slot].View()) + adjective);
        EXPECT_EQ(phrase, expected) << seed;
    }
}

TEST(DrawNounPhraseTest, NoNounGivesTheEmptyTextAndNoAdjectiveLeavesItOut) {
    auto lexicon = std::make_unique<Lexicon>();
    {
        const Vocabulary vocabulary(*lexicon);
        EXPECT_EQ(DrawNounPhrase(vocabulary), "");
    }
    fixture::AddNoun(*lexicon, "", "chat", "", "");  // no adjective at all
    const Vocabulary vocabulary(*lexicon);
    SeedRandom(5);
    for (int i = 0; i < 50; ++i) {
        const std::string phrase = DrawNounPhrase(vocabulary);
        EXPECT_EQ(phrase.substr(phrase.find(' ') + 1), "chat") << phrase;
    }
}

TEST(WordListsTest, EveryValueMapsAndDessousComesTwiceAsOften) {
    SeedRandom(99);
    std::map<std::string, int> place, motion, purpose, wish, masculine, feminine, plural;
    for (int i = 0; i < 90000; ++i) {
        ++place[std::string(DrawPlacePreposition())];
        ++motion[std::string(DrawMotionPreposition())];
        ++purpose[std::string(DrawPurposeLink())];
        ++wish[std::string(DrawWishParticiple())];
    }
    for (int i = 0; i < 20000; ++i) {
        ++masculine[std::string(DrawMasculineDeterminer())];
        ++feminine[std::string(DrawFeminineDeterminer())];
        ++plural[std::string(DrawPluralDeterminer())];
    }
    EXPECT_EQ(place.size(), 8u);
    EXPECT_NEAR(place["dessous"], 20000, 700);
    EXPECT_NEAR(place["sur"], 10000, 500);
    EXPECT_NEAR(place[Cp("derrière")], 10000, 500);
    EXPECT_NEAR(place["par-dessus"], 10000, 500);
    EXPECT_EQ(motion.size(), 4u);
    EXPECT_NEAR(motion[Cp("jusqu'à")], 22500, 800);
    EXPECT_EQ(purpose.size(), 4u);
    EXPECT_NEAR(purpose[Cp("pour réussir à")], 22500, 800);
    EXPECT_NEAR(purpose[Cp("pour parvenir à")], 22500, 800);
    EXPECT_EQ(wish.size(), 3u);
    EXPECT_NEAR(wish[Cp("désiré")], 30000, 900);
    EXPECT_NEAR(wish[Cp("souhaité")], 30000, 900);
    EXPECT_EQ(masculine.size(), 9u);
    EXPECT_NEAR(masculine["son"], 4000, 300);
    EXPECT_NEAR(masculine["leur"], 2000, 250);
    EXPECT_EQ(feminine.size(), 9u);
    EXPECT_NEAR(feminine["sa"], 4000, 300);
    EXPECT_NEAR(feminine["notre"], 2000, 250);
    EXPECT_EQ(plural.size(), 10u - 1u);
    EXPECT_NEAR(plural["ses"], 4000, 300);
    EXPECT_NEAR(plural["leurs"], 2000, 250);
}

}  // namespace

namespace {

TEST(VocabularyTest, FormBitsAndCountsMatchTheTables) {
    // Entries with scattered empty slots: the bits that the draws test must say exactly
    // what the tables hold.
    auto lexicon = std::make_unique<Lexicon>();
    for (int v = 0; v < 40; ++v) {
        const int verb = fixture::AddRegularVerb(*lexicon, "chant");
        for (int slot = 1; slot < kVerbSlotCount; ++slot)
            if ((slot * 7 + v * 13) % 5 == 0) lexicon->Verb(verb).Slots[slot].Assign("");
    }
    for (int n = 0; n < 30; ++n) {
        fixture::AddNoun(*lexicon, n % 2 ? "a" : "", n % 3 ? "b" : "", n % 5 ? "c" : "", n % 7 ? "d" : "");
        fixture::AddAdjective(*lexicon, n % 3 ? "" : "a", n % 2 ? "" : "b", n % 7 ? "c" : "", n % 5 ? "d" : "");
    }
    const Vocabulary vocabulary(*lexicon);
    int total = 0;
    for (int tense = kFirstTense; tense <= kLastTense; ++tense)
        for (int person = 0; person < kPersonCount; ++person) {
            int count = 0;
            for (int verb = 0; verb <= lexicon->VerbCount + 1; ++verb) {
                ASSERT_EQ(vocabulary.HasForm(verb, tense, person), VerbHasForm(*lexicon, verb, tense, person))
                    << verb << " " << tense << " " << person;
                count += VerbHasForm(*lexicon, verb, tense, person);
            }
            EXPECT_EQ(vocabulary.VerbsWithForm(tense, person), count);
            total += count;
        }
    EXPECT_EQ(vocabulary.VerbFormTotal(), total);
    for (int slot = 0; slot < 4; ++slot) {
        int nouns = 0, adjectives = 0;
        for (int i = 1; i <= 30; ++i) {
            EXPECT_EQ(vocabulary.NounHasSlot(i, slot), !lexicon->Noun(i).Slots[slot].Empty());
            EXPECT_EQ(vocabulary.AdjectiveHasSlot(i, slot), !lexicon->Adjective(i).Slots[slot].Empty());
            nouns += !lexicon->Noun(i).Slots[slot].Empty();
            adjectives += !lexicon->Adjective(i).Slots[slot].Empty();
        }
        EXPECT_EQ(vocabulary.NounsWithSlot(slot), nouns);
        EXPECT_EQ(vocabulary.AdjectivesWithSlot(slot), adjectives);
    }
}

}  // namespace
