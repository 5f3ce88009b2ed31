// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading of Hunspell affix and dictionary files.
#include <gtest/gtest.h>

#include "tools/lexicon-builder/affix_file.h"
#include "tools/lexicon-builder/dic_file.h"
#include "tools/lexicon-builder/inflection.h"

using namespace lexbuild;

namespace {

bool Matches(std::string_view condition, std::string_view word, bool atEnd = true) {
    return ConditionMatches(ParseCondition(condition), DecodeUtf8(word), atEnd);
}

}  // namespace

TEST(AffixCondition, ClassesNegationAndAnyMatchAtTheWordEnd) {
    EXPECT_TRUE(Matches("[^cg]er", "aimer"));
    EXPECT_FALSE(Matches("[^cg]er", "placer"));
    EXPECT_FALSE(Matches("[^cg]er", "manger"));
    EXPECT_TRUE(Matches("cer", "placer"));
    EXPECT_TRUE(Matches("[aou]yer", "payer"));
    EXPECT_TRUE(Matches("[aou]yer", "essuyer"));
    EXPECT_FALSE(Matches("[^ou]yer", "nettoyer"));
    // A non-ASCII character is one position, in the word and in the condition.
    EXPECT_TRUE(Matches("[aeoœ]u", "vœu"));
    EXPECT_TRUE(Matches("ème", "crème"));
    EXPECT_FALSE(Matches("[^è]me", "crème"));
    EXPECT_TRUE(Matches("être", "être"));
    EXPECT_TRUE(Matches(".", "x"));
    EXPECT_TRUE(Matches(".er", "mer"));
    EXPECT_FALSE(Matches("aller", "ller"));  // condition longer than the word
    // Prefix conditions look at the start.
    EXPECT_TRUE(Matches("[aeiouéh]", "été", false));
    EXPECT_FALSE(Matches("[aeiouéh]", "maison", false));
    EXPECT_THROW(ParseCondition("[abc"), BuildError);
}

TEST(AffixFile, SplitsFlagsInEachSyntax) {
    AffixFile aff;
    aff.flagMode = FlagMode::Long;
    EXPECT_EQ(aff.SplitFlags("a0p+()"), (std::vector<Flag>{"a0", "p+", "()"}));
    EXPECT_EQ(aff.SplitFlags("L'D'Q'"), (std::vector<Flag>{"L'", "D'", "Q'"}));
    aff.flagMode = FlagMode::Char;
    EXPECT_EQ(aff.SplitFlags("Aé1"), (std::vector<Flag>{"A", "é", "1"}));
    aff.flagMode = FlagMode::Number;
    EXPECT_EQ(aff.SplitFlags("12,7,,300"), (std::vector<Flag>{"12", "7", "300"}));
}

TEST(AffixFile, ReadsRulesWithStripAddContinuationConditionAndFields) {
    const AffixFile aff = ParseAffixFile(
        "\xEF\xBB\xBFSET UTF-8\r\nFLAG long\r\nNEEDAFFIX ()\r\n# comment\r\n"
        "SFX a0 Y 2\r\n"
        "SFX a0 er e/j'n' [^y]er po:ipre po:1sg po:3sg\r\n"
        "SFX a0 0 s/L'\r\n"
        "PFX L' N 1\r\n"
        "PFX L' 0 l' . dp:le\r\n");
    EXPECT_EQ(aff.flagMode, FlagMode::Long);
    EXPECT_EQ(aff.needAffix, "()");
    const AffixClass* a0 = aff.FindClass("a0");
    ASSERT_NE(a0, nullptr);
    EXPECT_FALSE(a0->prefix);
    EXPECT_TRUE(a0->crossProduct);
    ASSERT_EQ(a0->rules.size(), 2u);
    const AffixRule& first = a0->rules[0];
    EXPECT_EQ(first.strip, "er");
    EXPECT_EQ(first.add, "e");
    EXPECT_EQ(first.continuation, (std::vector<Flag>{"j'", "n'"}));
    EXPECT_EQ(first.condition.size(), 3u);
    EXPECT_EQ(first.fields, (std::vector<std::string>{"po:ipre", "po:1sg", "po:3sg"}));
    // "0" means nothing; a missing condition means any word.
    EXPECT_EQ(a0->rules[1].strip, "");
    EXPECT_TRUE(a0->rules[1].condition.empty());
    const AffixClass* elision = aff.FindClass("L'");
    ASSERT_NE(elision, nullptr);
    EXPECT_TRUE(elision->prefix);
    EXPECT_FALSE(elision->crossProduct);
    EXPECT_TRUE(IsElisionPrefix(elision->rules[0]));
}

TEST(AffixFile, RefusesWhatItCannotRead) {
    EXPECT_THROW(ParseAffixFile("SET ISO8859-1\n"), BuildError);
    EXPECT_THROW(ParseAffixFile("FLAG long\nAF 2\nAF a0\nAF b0\n"), BuildError);
    EXPECT_THROW(ParseAffixFile("SFX a0 Y 1\nSFX a0 er\n"), BuildError);
    EXPECT_THROW(ParseAffixFile("SFX a0 maybe 1\n"), BuildError);
    try {
        ParseAffixFile("SET UTF-8\n\nSFX a0 Y 1\nSFX a0 er e [^y\n");
        FAIL() << "a malformed condition was accepted";
    } catch (const BuildError& e) {
        EXPECT_NE(std::string(e.what()).find("ligne 4"), std::string::npos) << e.what();
    }
}

TEST(DicFile, ReadsEntriesFlagsAndFields) {
    AffixFile aff;
    aff.flagMode = FlagMode::Long;
    const std::vector<DicEntry> entries = ParseDicFile(
        "4\r\n"
        "aimer/a0p+() po:v1_it_q__a\r\n"
        "\r\n"
        "1\\/2/-- po:nb\r\n"
        "analyste-programmeuse/L'D'Q' po:nom is:fem is:sg st:analyste-programmeur\r\n"
        "mieux po:adv\tpo:nom",
        aff);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].word, "aimer");
    EXPECT_EQ(entries[0].flags, (std::vector<Flag>{"a0", "p+", "()"}));
    EXPECT_EQ(entries[0].fields, (std::vector<std::string>{"po:v1_it_q__a"}));
    EXPECT_TRUE(entries[0].HasFlag("()"));
    EXPECT_FALSE(entries[0].HasFlag("a"));
    EXPECT_EQ(entries[1].word, "1/2");
    EXPECT_EQ(entries[1].flags, (std::vector<Flag>{"--"}));
    EXPECT_EQ(entries[2].Field("st"), "analyste-programmeur");
    EXPECT_EQ(entries[2].Field("is"), "fem");
    EXPECT_EQ(entries[3].word, "mieux");
    EXPECT_TRUE(entries[3].flags.empty());
    EXPECT_EQ(entries[3].fields.size(), 2u);
}

TEST(MorphTags, ReadsFieldsAndLetAffixesRefineTheStem) {
    MorphTags noun = TagsOfFields({"po:nom", "is:epi"});
    EXPECT_EQ(noun.genders, kMasculine | kFeminine);
    EXPECT_EQ(noun.numbers, 0);
    MorphTags plural = TagsOfFields({"is:pl"});
    MorphTags form = noun.RefinedBy(plural);
    EXPECT_EQ(form.genders, kMasculine | kFeminine);
    EXPECT_EQ(form.numbers, kPlural);
    // An affix's gender replaces the entry's (avocat, is:mas, + e, is:fem).
    EXPECT_EQ(TagsOfFields({"is:mas"}).RefinedBy(TagsOfFields({"is:fem", "is:sg"})).genders, kFeminine);

    MorphTags verb = TagsOfFields({"po:ipre", "po:spre", "po:3pl!", "po:1isg"});
    EXPECT_TRUE(verb.HasMood(kMoodIndicativePresent));
    EXPECT_TRUE(verb.HasMood(kMoodSubjunctivePresent));
    EXPECT_EQ(verb.persons, 1u << 5);  // "3pl!" is the 3rd plural; "1isg" is no person slot
    EXPECT_EQ(TagsOfFields({"is:inv"}).numbers, kSingular | kPlural);
    EXPECT_TRUE(TagsOfFields({"po:impe", "ds:+y"}).attachedPronoun);
}
