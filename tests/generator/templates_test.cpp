// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/templates.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "generator/conjugation.h"
#include "generator/fixture_lexicon.h"
#include "generator/random.h"
#include "generator/random_words.h"
#include "generator/sentence_checks.h"

using checks::EndsWith;
using checks::StartsWith;
using fixture::Cp;

namespace {

class TemplatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        lexicon = fixture::SmallLexicon();
        vocabulary = std::make_unique<Vocabulary>(*lexicon);
        for (int v = 1; v <= lexicon->VerbCount; ++v)
            infinitives.push_back(std::string(lexicon->Verb(v).Slots[kVerbInfinitive].View()));
    }
    std::string Conjugate(int verb, int tense, int person) { return ConjugateVerb(*lexicon, verb, tense, person); }

    std::unique_ptr<Lexicon> lexicon;
    std::unique_ptr<Vocabulary> vocabulary;
    std::vector<std::string> infinitives;
};

const std::vector<std::string> kMotions = {"avec", "contre", Cp("jusqu'à"), "vers"};
const std::vector<std::string> kPurposes = {"pour", Cp("pour parvenir à"), Cp("pour réussir à"), Cp("jusqu'à")};
const std::vector<std::string> kPlaces = {"vers",         "dans",   "sur",        "dessous",
                                          Cp("derrière"), "dessus", "par-dessus", "devant"};

// A clause in the pluperfect carries an imperfect of avoir.
bool IsPluperfect(const std::string& clause) {
    for (const char* aux : {"avais ", "avait ", "avions ", "aviez ", "avaient "})
        if (clause.find(aux) != std::string::npos) return true;
    return false;
}

TEST_F(TemplatesTest, EachComplementShapeHasItsGlue) {
    std::set<int> shapes;
    for (uint64_t seed = 1; seed <= 90; ++seed) {
        SeedRandom(seed);
        std::string sentence;
        const int shape = ImperativeTemplate(*vocabulary, "Chantez", "Xavi", "Yann", sentence);
        shapes.insert(shape);
        EXPECT_EQ(checks::Problem(sentence, true), "") << sentence;
        EXPECT_TRUE(StartsWith(sentence, "Chantez ")) << sentence;
        // The glue between and around the two names.
        std::set<int> matching;
        for (const auto& m : kMotions)
            if (sentence.find(" " + m + " Xavi et Yann ") != std::string::npos) matching.insert(0);
        for (const auto& p : kPurposes)
            for (const auto& inf : infinitives)
                if (sentence.find(" " + p + " " + inf + " Xavi et Yann ") != std::string::npos) matching.insert(1);
        for (const auto& m : kMotions)
            for (const auto& inf : infinitives)
                if (sentence.find(" " + m + " Xavi pour " + inf + " Yann ") != std::string::npos) matching.insert(2);
        EXPECT_EQ(matching, std::set<int>{shape}) << sentence;
        // After the second name: a place preposition and a noun phrase.
        const std::string after = sentence.substr(sentence.find("Yann ") + 5);
        bool placed = false;
        for (const auto& place : kPlaces) placed |= StartsWith(after, place + " ");
        EXPECT_TRUE(placed) << sentence;
    }
    EXPECT_EQ(shapes, (std::set<int>{0, 1, 2}));
}

TEST_F(TemplatesTest, StatementHeadsAndCapitals) {
    const std::set<std::string> names = {"Marie", "Anne", "Paul", "Luc"};
    for (int tense = kIndicativePresent; tense <= kFuturePerfect; ++tense) {
        int verbHeads = 0, nameHeads = 0;
        for (uint64_t seed = 1; seed <= 40; ++seed) {
            const std::string phrase = Conjugate(1, tense, int(seed % 6));
            SeedRandom(seed * 31 + uint64_t(tense));
            std::string sentence;
            StatementTemplate(*vocabulary, tense, phrase, "Xavi", "Yann", sentence);
            EXPECT_EQ(checks::Problem(sentence, false), "") << sentence;
            EXPECT_TRUE(checks::StartsWithCapital(sentence)) << sentence;
            std::string expectedHead = phrase;
            if (tense == kIndicativePresent) expectedHead[0] = char(std::toupper(expectedHead[0]));
            if (StartsWith(sentence, expectedHead + " ")) {
                ++verbHeads;
                continue;
            }
            // Otherwise a first name and a third-person form in the same tense.
            const std::string name = sentence.substr(0, sentence.find(' '));
            EXPECT_TRUE(names.count(name)) << sentence;
            bool thirdPerson = false;
            static const char* kAux[] = {"", "", "", "", "avait ", "a ", "eut ", "aura "};
            for (int v = 1; v <= lexicon->VerbCount; ++v) {
                if (!VerbHasForm(*lexicon, v, tense, 2)) continue;
                const std::string form =
                    kAux[tense - 10] + std::string(lexicon->Verb(v).Slots[ConjugationSlot(tense, 2)].View());
                thirdPerson |= StartsWith(sentence, name + " " + form + " ");
            }
            EXPECT_TRUE(thirdPerson) << sentence;
            ++nameHeads;
        }
        EXPECT_GT(verbHeads, 5) << tense;
        EXPECT_GT(nameHeads, 5) << tense;
    }
}

TEST_F(TemplatesTest, CodeTenSentenceIsCapitalisedWhateverItsSubject) {
    for (int person = 0; person < 6; ++person)
        for (uint64_t seed = 1; seed <= 10; ++seed) {
            SeedRandom(seed);
            std::string sentence;
            StatementTemplate(*vocabulary, kIndicativePresent, Conjugate(2, kIndicativePresent, person), "X", "Y",
                              sentence);
            EXPECT_TRUE(checks::StartsWithCapital(sentence)) << sentence;
        }
}

TEST_F(TemplatesTest, ConditionClausesElideSiIl) {
    EXPECT_EQ(ElideSiIl("Si il mangeait"), "S'il mangeait");
    EXPECT_EQ(ElideSiIl("Si ils avaient vu"), "S'ils avaient vu");
    EXPECT_EQ(ElideSiIl("Si je mangeais"), "Si je mangeais");
    EXPECT_EQ(ElideSiIl("Si Isabelle"), "Si Isabelle");
    EXPECT_EQ(ElideSiIl("Si"), "Si");

    int elided = 0, named = 0;
    for (int tense : {kConditionalPresent, kConditionalPast}) {
        for (uint64_t seed = 1; seed <= 150; ++seed) {
            const std::string phrase = Conjugate(1, tense, int(seed % 6));
            SeedRandom(seed);
            std::string sentence;
            ConditionTemplate(*vocabulary, tense, phrase, "Xavi", "Yann", sentence);
            EXPECT_EQ(checks::Problem(sentence, false), "") << sentence;
            EXPECT_NE(sentence.find(", " + phrase + " "), std::string::npos) << sentence;
            ASSERT_TRUE(StartsWith(sentence, "Si ") || StartsWith(sentence, "S'il")) << sentence;
            elided += StartsWith(sentence, "S'il ") || StartsWith(sentence, "S'ils ");
            const std::string clause = sentence.substr(0, sentence.find(", "));
            // The clause is in the imperfect for 20 and the pluperfect for 21.
            if (tense == kConditionalPast) {
                EXPECT_TRUE(IsPluperfect(clause)) << sentence;
            }
            for (const char* name : {"Si Marie ", "Si Anne ", "Si Paul ", "Si Luc "})
                named += StartsWith(sentence, name);
        }
    }
    EXPECT_GT(elided, 10);
    EXPECT_GT(named, 50);
}

TEST_F(TemplatesTest, IfClauseAndThirdPersonForms) {
    for (uint64_t seed = 1; seed <= 60; ++seed) {
        SeedRandom(seed);
        const std::string clause = DrawIfClause(*vocabulary, kPluperfect);
        EXPECT_TRUE(IsPluperfect(clause)) << clause;
        EXPECT_TRUE(clause[0] >= 'a' && clause[0] <= 'z') << clause;
        const std::string imperfect = DrawIfClause(*vocabulary, kImperfect);
        EXPECT_TRUE(imperfect[0] >= 'a' && imperfect[0] <= 'z') << imperfect;
        EXPECT_TRUE(StartsWith(DrawThirdPersonForm(*vocabulary, kFuturePerfect), "aura ")) << seed;
        EXPECT_TRUE(StartsWith(DrawThirdPersonForm(*vocabulary, kCompoundPast), "a ")) << seed;
        EXPECT_TRUE(EndsWith(DrawThirdPersonForm(*vocabulary, kImperfect), "ait")) << seed;
    }
}

TEST_F(TemplatesTest, JudgementHeadsAgree) {
    const std::string phrase = Conjugate(1, kSubjunctivePast, 1);  // "que tu aies chanté"
    const std::set<std::string> feminine = {"heureuse", "petite", "verte"}, masculine = {"heureux", "petit", "vert"};
    const std::vector<std::pair<std::string, bool>> beHeads = {{"Je suis ", false},      {"Tu es ", false},
                                                               {"Il est ", false},       {"Nous sommes ", true},
                                                               {Cp("Vous êtes "), true}, {"Ils sont ", true}};
    std::set<std::string> impersonal;
    int nameHeads = 0, beCount = 0;
    for (uint64_t seed = 1; seed <= 300; ++seed) {
        SeedRandom(seed);
        std::string sentence;
        JudgementTemplate(*vocabulary, phrase, "Xavi", "Yann", sentence);
        EXPECT_EQ(checks::Problem(sentence, false), "") << sentence;
        const std::size_t at = sentence.find(" " + phrase + " ");
        ASSERT_NE(at, std::string::npos) << sentence;
        const std::string head = sentence.substr(0, at);
        if (head == "Il suffit" || head == "Il faut" || head == "Il est possible") {
            impersonal.insert(head);
            continue;
        }
        const std::string adjective = head.substr(head.rfind(' ') + 1);
        bool matched = false;
        for (const char* name : {"Marie", "Anne"})
            if (head == std::string(name) + " est " + adjective) {
                EXPECT_TRUE(feminine.count(adjective)) << sentence;
                matched = true;
            }
        for (const char* name : {"Paul", "Luc"})
            if (head == std::string(name) + " est " + adjective) {
                EXPECT_TRUE(masculine.count(adjective)) << sentence;
                matched = true;
            }
        nameHeads += matched;
        for (const auto& [be, plural] : beHeads)
            if (head == be + adjective) {
                matched = true;
                ++beCount;
                const bool pluralAdjective = adjective.back() == 's' && adjective != "heureux";
                if (plural)
                    EXPECT_TRUE(pluralAdjective || adjective == "heureux") << sentence;
                else
                    EXPECT_FALSE(pluralAdjective) << sentence;
            }
        EXPECT_TRUE(matched) << sentence;
    }
    EXPECT_EQ(impersonal.size(), 3u);
    EXPECT_GT(nameHeads, 40);
    EXPECT_GT(beCount, 40);
}

TEST_F(TemplatesTest, NecessityHeads) {
    const std::string phrase = Conjugate(1, kSubjunctivePluperfect, 2);
    EXPECT_EQ(phrase, Cp("qu'il eût chanté"));
    std::set<std::string> heads;
    for (uint64_t seed = 1; seed <= 300; ++seed) {
        SeedRandom(seed);
        std::string sentence;
        NecessityTemplate(*vocabulary, phrase, "Xavi", "Yann", sentence);
        EXPECT_EQ(checks::Problem(sentence, false), "") << sentence;
        const std::size_t at = sentence.find(" " + phrase + " ");
        ASSERT_NE(at, std::string::npos) << sentence;
        std::string head = sentence.substr(0, at);
        for (const char* wish : {" souhaité", " voulu", " désiré"}) {
            const std::string w = Cp(wish);
            if (EndsWith(head, w)) head = head.substr(0, head.size() - w.size()) + " <wish>";
        }
        heads.insert(head);
    }
    EXPECT_EQ(heads, (std::set<std::string>{"Il fallait", Cp("Il est nécessaire"), "Il faudrait", "J'aurais <wish>",
                                            "Tu aurais <wish>", "Il aurait <wish>", "Nous aurions <wish>",
                                            "Vous auriez <wish>", "Ils auraient <wish>"}));
}

TEST(TemplatesWithoutBeOrHave, HeadsTurnImpersonal) {
    auto lexicon = std::make_unique<Lexicon>();
    fixture::AddRegularVerb(*lexicon, "chant");
    fixture::AddNoun(*lexicon, "", "chat", "", "chats");
    fixture::AddAdjective(*lexicon, "petite", "petit", "petites", "petits");
    fixture::AddFemaleName(*lexicon, "Marie");
    fixture::AddMaleName(*lexicon, "Paul");
    const Vocabulary vocabulary(*lexicon);
    ASSERT_EQ(vocabulary.BeVerb(), 0);
    ASSERT_EQ(vocabulary.HaveVerb(), 0);
    std::set<std::string> judgement, necessity;
    for (uint64_t seed = 1; seed <= 200; ++seed) {
        SeedRandom(seed);
        std::string sentence;
        JudgementTemplate(vocabulary, "que tu aies X", "A", "B", sentence);
        EXPECT_EQ(checks::Problem(sentence, false), "") << sentence;
        judgement.insert(sentence.substr(0, sentence.find(" que tu aies X ")));
        sentence.clear();
        NecessityTemplate(vocabulary, "que tu eusses X", "A", "B", sentence);
        EXPECT_EQ(checks::Problem(sentence, false), "") << sentence;
        necessity.insert(sentence.substr(0, sentence.find(" que tu eusses X ")));
    }
    EXPECT_EQ(judgement,
              (std::set<std::string>{"Il suffit", "Il faut", "Il est possible", "Marie est petite", "Paul est petit"}));
    EXPECT_EQ(necessity, (std::set<std::string>{"Il fallait", Cp("Il est nécessaire"), "Il faudrait"}));
}

}  // namespace
