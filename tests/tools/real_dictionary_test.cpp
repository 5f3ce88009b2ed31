// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lexicon files that the build made from Debian's French Hunspell dictionary, read the
// way the program's loader reads them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "common/cp1252.h"
#include "lexicon/lexicon.h"
#include "tools/lexicon_file_reader.h"

using namespace lexicon_test;

namespace {

std::string Cp(std::string_view utf8) { return Utf8ToCp1252(utf8); }

class RealDictionary : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* dir = std::getenv("CLAVELLE_DATA_DIR");
        if (!dir) return;
        folder_ = dir;
        dictionaryBytes_ = new std::string(ReadBytes((folder_ / "dictionnaire.txt").string()));
        lex_ = new ReadLexicon(ReadDictionary(*dictionaryBytes_));
        female_ =
            new std::vector<std::string>(ReadNames(ReadBytes((folder_ / "prénomsf.txt").string()), nameProblems_));
        male_ = new std::vector<std::string>(ReadNames(ReadBytes((folder_ / "prénomsg.txt").string()), nameProblems_));
    }
    static void TearDownTestSuite() {
        delete dictionaryBytes_;
        delete lex_;
        delete female_;
        delete male_;
    }
    void SetUp() override {
        if (!std::getenv("CLAVELLE_DATA_DIR")) GTEST_SKIP() << "CLAVELLE_DATA_DIR not set (run through CTest)";
        ASSERT_TRUE(std::filesystem::exists(folder_ / "dictionnaire.txt")) << folder_;
        ASSERT_TRUE(std::filesystem::exists(folder_ / "prénomsf.txt")) << folder_;
        ASSERT_TRUE(std::filesystem::exists(folder_ / "prénomsg.txt")) << folder_;
    }

    static inline std::filesystem::path folder_;
    static inline std::string* dictionaryBytes_ = nullptr;
    static inline ReadLexicon* lex_ = nullptr;
    static inline std::vector<std::string>* female_ = nullptr;
    static inline std::vector<std::string>* male_ = nullptr;
    static inline std::vector<std::string> nameProblems_;
};

}  // namespace

TEST_F(RealDictionary, FilesFollowTheLoaderFormatWithinCapacity) {
    EXPECT_TRUE(lex_->problems.empty()) << lex_->problems.size() << " problems, first: " << lex_->problems.front();
    EXPECT_TRUE(nameProblems_.empty()) << nameProblems_.front();
    // The words in use (the whole dictionary, --all, gives 6,713 verbs, 49,326 nouns,
    // 17,360 adjectives, 1,330 and 1,559 first names).
    EXPECT_GE(lex_->verbs.size(), 800u);
    EXPECT_LE(lex_->verbs.size(), std::size_t(kVerbCapacity));
    EXPECT_GE(lex_->nouns.size(), 4000u);
    EXPECT_LE(lex_->nouns.size(), std::size_t(kNominalCapacity));
    EXPECT_GE(lex_->adjectives.size(), 1000u);
    EXPECT_LE(lex_->adjectives.size(), std::size_t(kNominalCapacity));
    EXPECT_GE(female_->size(), 300u);
    EXPECT_LE(female_->size(), std::size_t(kNameCapacity));
    EXPECT_GE(male_->size(), 300u);
    EXPECT_LE(male_->size(), std::size_t(kNameCapacity));
    // No elided article or pronoun in front of a form (l'arbre, j'aime, qu'il).
    std::size_t start = 0;
    while (start < dictionaryBytes_->size()) {
        std::size_t end = dictionaryBytes_->find('\n', start);
        if (end == std::string::npos) end = dictionaryBytes_->size();
        std::string_view form(dictionaryBytes_->data() + start, end - start);
        form = form.substr(0, form.find('\t'));
        std::size_t apostrophe = form.find('\'');
        if (apostrophe != std::string_view::npos) {
            std::string_view head = form.substr(0, apostrophe);
            EXPECT_FALSE(head.size() == 1 || head == "qu" || head == "Qu" || head == "jusqu" || head == "lorsqu" ||
                         head == "puisqu" || head == "quoiqu")
                << form;
        }
        start = end + 1;
    }
}

TEST_F(RealDictionary, CommonVerbsHaveEveryFormTheGeneratorReads) {
    for (const char* lemma : {"aimer", "finir", "être", "avoir", "prendre", "faire", "tenir"}) {
        const Entry* verb = lex_->Verb(Cp(lemma));
        ASSERT_NE(verb, nullptr) << lemma;
        for (int slot = 1; slot <= 50; ++slot) {
            bool read = (slot <= 24) || (slot >= 37 && slot <= 45) || slot == kPastParticipleMasSgSlot;
            if (read) {
                EXPECT_FALSE(verb->slots[std::size_t(slot)].empty()) << lemma << " slot " << slot;
            }
        }
    }
    // FindVerb takes the first entry of an infinitive: there is one of each.
    int avoirs = 0, etres = 0;
    for (const Entry& e : lex_->verbs) {
        avoirs += e.lemma == "avoir";
        etres += e.lemma == Cp("être");
    }
    EXPECT_EQ(avoirs, 1);
    EXPECT_EQ(etres, 1);
    // Verbs without a direct object are left out.
    EXPECT_EQ(lex_->Verb("aller"), nullptr);
    EXPECT_EQ(lex_->Verb("venir"), nullptr);
}

TEST_F(RealDictionary, ConjugationsAreSpelledRight) {
    auto slots = [&](const char* lemma) { return lex_->Verb(Cp(lemma))->slots; };
    auto cp = [](std::initializer_list<const char*> words) {
        std::vector<std::string> out;
        for (const char* w : words) out.push_back(Cp(w));
        return out;
    };
    auto range = [](const std::vector<std::string>& s, int first, int count) {
        return std::vector<std::string>(s.begin() + first, s.begin() + first + count);
    };
    const auto etre = slots("être");
    EXPECT_EQ(range(etre, 1, 6), cp({"suis", "es", "est", "sommes", "êtes", "sont"}));
    EXPECT_EQ(range(etre, 7, 6), cp({"étais", "étais", "était", "étions", "étiez", "étaient"}));
    EXPECT_EQ(range(etre, 13, 6), cp({"fus", "fus", "fut", "fûmes", "fûtes", "furent"}));
    EXPECT_EQ(range(etre, 19, 6), cp({"serai", "seras", "sera", "serons", "serez", "seront"}));
    EXPECT_EQ(range(etre, 37, 6), cp({"serais", "serais", "serait", "serions", "seriez", "seraient"}));
    EXPECT_EQ(range(etre, 43, 3), cp({"sois", "soyons", "soyez"}));
    EXPECT_EQ(etre[29], "soyez");
    EXPECT_EQ(etre[47], Cp("été"));

    const auto avoir = slots("avoir");
    EXPECT_EQ(range(avoir, 1, 6), cp({"ai", "as", "a", "avons", "avez", "ont"}));
    EXPECT_EQ(range(avoir, 13, 6), cp({"eus", "eus", "eut", "eûmes", "eûtes", "eurent"}));
    EXPECT_EQ(range(avoir, 31, 6), cp({"eusse", "eusses", "eût", "eussions", "eussiez", "eussent"}));
    EXPECT_EQ(range(avoir, 43, 3), cp({"aie", "ayons", "ayez"}));
    EXPECT_EQ(avoir[47], "eu");

    const auto prendre = slots("prendre");
    EXPECT_EQ(range(prendre, 1, 6), cp({"prends", "prends", "prend", "prenons", "prenez", "prennent"}));
    EXPECT_EQ(range(prendre, 19, 6), cp({"prendrai", "prendras", "prendra", "prendrons", "prendrez", "prendront"}));
    EXPECT_EQ(range(prendre, 43, 3), cp({"prends", "prenons", "prenez"}));
    EXPECT_EQ(prendre[36], "prissent");
    EXPECT_EQ(prendre[47], "pris");

    const auto faire = slots("faire");
    EXPECT_EQ(range(faire, 1, 6), cp({"fais", "fais", "fait", "faisons", "faites", "font"}));
    EXPECT_EQ(faire[17], Cp("fîtes"));
    EXPECT_EQ(faire[40], "ferions");
    EXPECT_EQ(faire[47], "fait");

    const auto tenir = slots("tenir");
    EXPECT_EQ(range(tenir, 13, 6), cp({"tins", "tins", "tint", "tînmes", "tîntes", "tinrent"}));
    EXPECT_EQ(range(tenir, 19, 3), cp({"tiendrai", "tiendras", "tiendra"}));
    EXPECT_EQ(tenir[47], "tenu");

    const auto finir = slots("finir");
    EXPECT_EQ(range(finir, 1, 6), cp({"finis", "finis", "finit", "finissons", "finissez", "finissent"}));
    EXPECT_EQ(range(finir, 43, 3), cp({"finis", "finissons", "finissez"}));
    EXPECT_EQ(finir[47], "fini");

    const auto aimer = slots("aimer");
    EXPECT_EQ(range(aimer, 13, 6), cp({"aimai", "aimas", "aima", "aimâmes", "aimâtes", "aimèrent"}));
    EXPECT_EQ(range(aimer, 43, 3), cp({"aime", "aimons", "aimez"}));
    EXPECT_EQ(aimer[47], Cp("aimé"));
}

TEST_F(RealDictionary, NounsAdjectivesAndNames) {
    const Entry* maison = lex_->Noun("maison");
    ASSERT_NE(maison, nullptr);
    EXPECT_EQ(maison->slots, (std::vector<std::string>{"maison", "", "maisons", ""}));
    const Entry* heureux = lex_->Adjective("heureux");
    ASSERT_NE(heureux, nullptr);
    EXPECT_EQ(heureux->slots, (std::vector<std::string>{"heureuse", "heureux", "heureuses", "heureux"}));
    const Entry* cheval = lex_->Noun("cheval");
    ASSERT_NE(cheval, nullptr);
    EXPECT_EQ(cheval->slots[kMasPl], "chevaux");

    EXPECT_TRUE(Contains(*female_, "Marie"));
    EXPECT_FALSE(Contains(*male_, "Marie"));
    EXPECT_TRUE(Contains(*male_, "Paul"));
    EXPECT_FALSE(Contains(*female_, "Paul"));
    EXPECT_TRUE(Contains(*female_, Cp("Hélène")));
    EXPECT_FALSE(Contains(*female_, "Paris"));
    EXPECT_FALSE(Contains(*male_, "Paris"));
    // Moons, planets and armies are not first names; demonyms are adjectives, not nouns.
    EXPECT_FALSE(Contains(*male_, "Phobos") || Contains(*male_, "Uranus") || Contains(*female_, "Tsahal"));
    EXPECT_EQ(lex_->Noun("anglais"), nullptr);
    EXPECT_NE(lex_->Adjective("anglais"), nullptr);
    EXPECT_EQ(lex_->Noun("yoctomole"), nullptr);
}
