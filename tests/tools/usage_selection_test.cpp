// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lexicon builder's choice of the words people use: the frequency cut on the lemma,
// demonyms out of the nouns, only given first names, the most frequent lemmas within the
// table sizes, and the themes' list.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/cp1252.h"
#include "tools/lexicon-builder/lexicon_builder.h"
#include "tools/lexicon_file_reader.h"

using namespace lexbuild;
using namespace lexicon_test;

namespace {

// Verbs, nouns, adjectives and names, each with one form per number.
constexpr const char* kAff =
    "SET UTF-8\nFLAG long\n"
    "SFX v1 Y 2\nSFX v1 er e er po:ipre po:3sg\nSFX v1 er ons er po:ipre po:1pl\n"
    "SFX v0 Y 1\nSFX v0 oir ons oir po:ipre po:1pl\n"
    "SFX S. Y 2\nSFX S. 0 0 . is:sg\nSFX S. 0 s . is:pl\n";
constexpr const char* kDic =
    "14\n"
    "aimer/v1 po:v1_it_q__a\nchoser/v1 po:v1__t___zz\nplacer/v1 po:v1__t____a\n"
    "avoir/v0 po:v0a______a\n"
    "chose/S. po:nom is:fem\nsœur/S. po:nom is:fem\nyoctomole/S. po:nom is:fem\n"
    "amiénois po:nom po:adj is:mas is:inv\nbleu/S. po:adj is:mas\n"
    "Marie po:prn is:fem is:inv\nTsahal po:prn is:fem is:inv\n"
    "Paul po:prn is:mas is:inv\nPhobos po:prn is:mas is:inv\nCamille po:prn is:epi is:inv\n";

struct Selected {
    LexiconFiles files;
    ReadLexicon lex;
    std::vector<std::string> female, male, problems;
};

Selected Build(const UsageLists* usage, const char* affText = kAff, const char* dicText = kDic) {
    const AffixFile aff = ParseAffixFile(affText);
    Selected s;
    s.files = BuildLexicon(aff, ParseDicFile(dicText, aff), {}, usage);
    s.lex = ReadDictionary(s.files.dictionary);
    s.female = ReadNames(s.files.femaleNames, s.problems);
    s.male = ReadNames(s.files.maleNames, s.problems);
    return s;
}

std::vector<std::string> Lemmas(const std::vector<Entry>& table) {
    std::vector<std::string> out;
    for (const Entry& e : table) out.push_back(e.lemma);
    return out;
}

// "chose" (the noun) is frequent, so "choser" is frequent only by its forms; the list has
// "soeur" for sœur and "amiénois" is frequent but a demonym.
UsageLists Lists() {
    return MakeUsageLists({"chose", "aimer", "soeur", "amiénois", "bleu", "placer", "choses", "łódka"},
                          {"marie", "paul", "camille"}, {"amiénois", "criméen"});
}

}  // namespace

TEST(UsageSelection, KeepsLemmasRankedWithinTheCutAndAvoir) {
    UsageLists lists = Lists();
    EXPECT_EQ(lists.RankOf("placer"), 6);
    EXPECT_EQ(lists.RankOf(Utf8ToCp1252("SŒUR")), 3);  // folded: lower case, œ as oe
    EXPECT_EQ(lists.RankOf("yoctomole"), 0);

    Selected s = Build(&lists);
    EXPECT_TRUE(s.lex.problems.empty()) << s.lex.problems.front();
    // Ranked by the lemma itself: choser stays out although "chose" ranks first; avoir
    // stays although the list lacks it.
    EXPECT_EQ(Lemmas(s.lex.verbs), (std::vector<std::string>{"aimer", "placer", "avoir"}));
    EXPECT_EQ(Lemmas(s.lex.nouns), (std::vector<std::string>{"chose", Utf8ToCp1252("sœur")}));
    EXPECT_EQ(Lemmas(s.lex.adjectives), (std::vector<std::string>{Utf8ToCp1252("amiénois"), "bleu"}));
    EXPECT_EQ(s.files.rareLemmas, 2);  // choser, yoctomole
    EXPECT_EQ(s.files.demonymNouns, 1);

    lists.maxRank = 5;  // the cut: placer (6) goes
    s = Build(&lists);
    EXPECT_EQ(Lemmas(s.lex.verbs), (std::vector<std::string>{"aimer", "avoir"}));
    EXPECT_EQ(s.files.verbCount, 2);

    // Without lists, everything stays.
    s = Build(nullptr);
    EXPECT_EQ(s.files.verbCount, 4);
    EXPECT_EQ(s.files.nounCount, 4);
    EXPECT_EQ(s.files.rareLemmas + s.files.demonymNouns + s.files.namesNotGiven, 0);
}

TEST(UsageSelection, KeepsOnlyFirstNamesPeopleAreGiven) {
    const UsageLists lists = Lists();
    Selected s = Build(&lists);
    EXPECT_TRUE(s.problems.empty());
    EXPECT_EQ(s.female, (std::vector<std::string>{"Marie", "Camille"}));
    EXPECT_EQ(s.male, (std::vector<std::string>{"Paul", "Camille"}));
    EXPECT_EQ(s.files.namesNotGiven, 2);  // Tsahal, Phobos
    s = Build(nullptr);
    EXPECT_EQ(s.female.size() + s.male.size(), 6u);
}

TEST(UsageSelection, KeepsTheMostFrequentLemmasWithinTheTableSizes) {
    UsageLists lists = Lists();
    lists.sizes = {2, 1, 5};  // avoir always, then aimer (2) before placer (6); chose (1) before sœur (3)
    const Selected s = Build(&lists);
    EXPECT_EQ(Lemmas(s.lex.verbs), (std::vector<std::string>{"aimer", "avoir"}));
    EXPECT_EQ(Lemmas(s.lex.nouns), (std::vector<std::string>{"chose"}));
    EXPECT_EQ(s.lex.adjectives.size(), 2u);
    EXPECT_EQ(s.files.rareLemmas, 4);  // choser, yoctomole, placer, sœur
}

// A listed lemma leaves with every form, from every table, and so does a compound with a
// listed part (porte-arme); a listed word that is only a form of another lemma leaves that
// lemma alone (armer without "arme", protester without "protestant").
TEST(UsageSelection, LeavesOutTheThemesLemmasAndTheirCompounds) {
    constexpr const char* aff =
        "SET UTF-8\nFLAG long\n"
        "SFX v1 Y 2\nSFX v1 er e er po:ipre po:3sg\nSFX v1 er ant er po:ppre\n"
        "SFX v0 Y 1\nSFX v0 oir ons oir po:ipre po:1pl\n"
        "SFX S. Y 2\nSFX S. 0 0 . is:sg\nSFX S. 0 s . is:pl\n";
    constexpr const char* dic =
        "7\nprotester/v1 po:v1_itn___a\narmer/v1 po:v1__t___zz\navoir/v0 po:v0a______a\n"
        "arme/S. po:nom is:fem\nporte-arme/S. po:nom is:mas\nprotestant/S. po:nom po:adj is:mas\n"
        "chose/S. po:nom is:fem\n";
    UsageLists lists = MakeUsageLists({"chose", "arme", "protester", "armer", "porte-arme", "protestant"}, {}, {});
    const std::filesystem::path file = std::filesystem::path(std::getenv("HOME")) / "themes.txt";
    {
        std::ofstream f(file);
        f << "# word, theme, note\n\narme  violence  # a weapon\nprotestant\tfoi\n";
    }
    SetThemedWords(lists, ReadThemeList(file));
    const Selected s = Build(&lists, aff, dic);
    EXPECT_TRUE(s.lex.problems.empty()) << s.lex.problems.front();
    EXPECT_EQ(Lemmas(s.lex.verbs), (std::vector<std::string>{"protester", "armer", "avoir"}));
    EXPECT_EQ(Lemmas(s.lex.nouns), (std::vector<std::string>{"chose"}));
    EXPECT_TRUE(s.lex.adjectives.empty());
    for (const char* gone : {"\narme\t", "\nprotestant\t", "\nporte-arme"})
        EXPECT_EQ(("\n" + s.files.dictionary).find(gone), std::string::npos) << gone;
    EXPECT_NE(s.files.dictionary.find("proteste\tprotester"), std::string::npos);
    EXPECT_EQ(s.files.themedWords[1][0], 2);  // nouns, violence: arme, porte-arme
    EXPECT_EQ(s.files.themedWords[1][4], 1);  // nouns, foi: protestant
    EXPECT_EQ(s.files.themedWords[2][4], 1);  // adjectives, foi: protestant
    EXPECT_EQ(s.files.themedWords[0], (std::array<int, kThemeCount>{}));

    // A damaged line or an unknown theme names the file and the line.
    for (const auto& [text, message] :
         {std::pair{"arme violence\nbombe\n", "ligne 2 : le thème de « bombe » manque"},
          std::pair{"arme violence guerre\n", "ligne 1 : « arme violence guerre » : un mot et son thème attendus"},
          std::pair{"# note\nfusil armes\n", "ligne 2 : thème inconnu « armes »"}}) {
        {
            std::ofstream f(file);
            f << text;
        }
        try {
            ReadThemeList(file);
            ADD_FAILURE() << text;
        } catch (const BuildError& e) {
            EXPECT_NE(std::string(e.what()).find(file.string() + ", " + message), std::string::npos) << e.what();
        }
    }
    std::filesystem::remove(file);
}
