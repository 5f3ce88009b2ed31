// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lexicon builder on a small hand-written dictionary (tests/fixtures/tools/mini.*).
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/cp1252.h"
#include "tools/lexicon-builder/command_line.h"
#include "tools/lexicon-builder/lexicon_builder.h"
#include "tools/lexicon_file_reader.h"

using namespace lexbuild;
using namespace lexicon_test;

namespace {

std::string FixturePath(const char* name) {
    const char* source = std::getenv("CLAVELLE_SOURCE_DIR");
    std::filesystem::path root = source ? std::filesystem::path(source)
                                        : std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    return (root / "tests" / "fixtures" / "tools" / name).string();
}

struct Built {
    AffixFile aff;
    std::vector<DicEntry> entries;
    LexiconFiles files;
    ReadLexicon lex;
    std::vector<std::string> female, male;
    std::vector<std::string> nameProblems;
};

Built Build(const BuildLimits& limits = {}, const UsageLists* usage = nullptr) {
    Built b;
    const std::string affText = ReadBytes(FixturePath("mini.aff"));
    const std::string dicText = ReadBytes(FixturePath("mini.dic"));
    EXPECT_FALSE(affText.empty() || dicText.empty()) << "fixture missing: " << FixturePath("mini.aff");
    b.aff = ParseAffixFile(affText);
    b.entries = ParseDicFile(dicText, b.aff);
    b.files = BuildLexicon(b.aff, b.entries, limits, usage);
    b.lex = ReadDictionary(b.files.dictionary);
    b.female = ReadNames(b.files.femaleNames, b.nameProblems);
    b.male = ReadNames(b.files.maleNames, b.nameProblems);
    return b;
}

std::vector<std::string> Lemmas(const std::vector<Entry>& table) {
    std::vector<std::string> out;
    for (const Entry& e : table) out.push_back(e.lemma);
    return out;
}

std::string Cp(std::string_view utf8) { return Utf8ToCp1252(utf8); }

// The lines of the dictionary whose form field is exactly this.
std::vector<std::string> LinesOfForm(const std::string& dictionary, const std::string& form) {
    std::vector<std::string> out;
    std::istringstream in(dictionary);
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, form.size() + 1, form + "\t") == 0) out.push_back(line);
    return out;
}

const DicEntry& EntryOf(const Built& b, std::string_view word) {
    for (const DicEntry& e : b.entries)
        if (e.word == word) return e;
    throw std::runtime_error("no entry " + std::string(word));
}

}  // namespace

TEST(LexiconBuilder, FixtureFollowsTheLoaderFormat) {
    Built b = Build();
    EXPECT_TRUE(b.lex.problems.empty()) << b.lex.problems.front();
    EXPECT_TRUE(b.nameProblems.empty()) << b.nameProblems.front();
    EXPECT_EQ(b.files.verbCount, int(b.lex.verbs.size()));
    EXPECT_EQ(b.files.nounCount, int(b.lex.nouns.size()));
    EXPECT_EQ(b.files.adjectiveCount, int(b.lex.adjectives.size()));
    // Deterministic.
    EXPECT_EQ(Build().files.dictionary, b.files.dictionary);
}

TEST(LexiconBuilder, ExpandsSuffixRulesByStripAddAndCondition) {
    Built b = Build();
    const Entry* aimer = b.lex.Verb("aimer");
    const Entry* placer = b.lex.Verb("placer");
    ASSERT_TRUE(aimer && placer);
    EXPECT_EQ(aimer->slots[4], "aimons");        // [^cg]er: er -> ons
    EXPECT_EQ(placer->slots[4], Cp("plaçons"));  // cer: cer -> çons, not "placons"
    EXPECT_EQ(placer->slots[7], Cp("plaçais"));
    EXPECT_EQ(placer->slots[9], Cp("plaçait"));
    EXPECT_TRUE(LinesOfForm(b.files.dictionary, "placons").empty());
    EXPECT_TRUE(LinesOfForm(b.files.dictionary, "placait").empty());
    EXPECT_EQ(aimer->slots[18], Cp("aimèrent"));
    EXPECT_EQ(aimer->slots[13], "");  // no rule for it
    // FULLSTRIP: être's rules replace the whole word.
    const Entry* etre = b.lex.Verb(Cp("être"));
    ASSERT_TRUE(etre);
    EXPECT_EQ(etre->slots[1], "suis");
}

TEST(LexiconBuilder, MapsMorphologicalFieldsToTheSlotCodes) {
    Built b = Build();
    const Entry* aimer = b.lex.Verb("aimer");
    ASSERT_TRUE(aimer);
    for (int slot : {1, 3, 25, 27, 43}) EXPECT_EQ(aimer->slots[slot], "aime") << slot;  // tu imperative in 43
    for (int slot : {10, 28}) EXPECT_EQ(aimer->slots[slot], "aimions") << slot;
    for (int slot : {6, 30}) EXPECT_EQ(aimer->slots[slot], "aiment") << slot;  // "3pl!"
    EXPECT_EQ(aimer->slots[7], "aimais");
    EXPECT_EQ(aimer->slots[8], "aimais");
    EXPECT_EQ(aimer->slots[19], "aimerai");
    EXPECT_EQ(aimer->slots[40], "aimerions");
    EXPECT_EQ(aimer->slots[44], "aimons");
    EXPECT_EQ(aimer->slots[46], "aimant");
    EXPECT_EQ(aimer->slots[47], Cp("aimé"));
    EXPECT_EQ(aimer->slots[49], Cp("aimée"));
    EXPECT_EQ(aimer->slots[48], "");
    // One line for a form that fills several slots.
    EXPECT_EQ(LinesOfForm(b.files.dictionary, "aime"),
              (std::vector<std::string>{"aime\taimer\tVer:IPre+SG+P1:IPre+SG+P3:SPre+SG+P1:SPre+SG+P3:ImPre+SG+P1\r"}));

    const Entry* etre = b.lex.Verb(Cp("être"));
    ASSERT_TRUE(etre);
    for (int slot = 47; slot <= 50; ++slot) EXPECT_EQ(etre->slots[slot], Cp("été")) << slot;  // is:epi is:inv
    EXPECT_EQ(etre->slots[29], "soyez");
    EXPECT_EQ(etre->slots[45], "soyez");
    EXPECT_EQ(etre->slots[17], Cp("fûtes"));

    std::vector<int> slots;
    VerbSlotsOf(TagsOfFields({"po:iimp", "po:1sg", "po:2sg"}), slots);
    EXPECT_EQ(slots, (std::vector<int>{7, 8}));
    VerbSlotsOf(TagsOfFields({"po:impe", "po:1pl", "po:2pl"}), slots);
    EXPECT_EQ(slots, (std::vector<int>{44, 45}));
    VerbSlotsOf(TagsOfFields({"po:impe", "po:3sg"}), slots);
    EXPECT_TRUE(slots.empty());
    VerbSlotsOf(TagsOfFields({"po:cond", "po:3pl"}), slots);
    EXPECT_EQ(slots, (std::vector<int>{42}));
    VerbSlotsOf(TagsOfFields({"po:ppas", "po:adj", "po:1jsg", "is:fem", "is:pl"}), slots);
    EXPECT_EQ(slots, (std::vector<int>{50}));
    NominalSlotsOf(TagsOfFields({"is:epi", "is:pl"}), slots);
    EXPECT_EQ(slots, (std::vector<int>{kFemPl, kMasPl}));
    NominalSlotsOf(TagsOfFields({"is:mas"}), slots);
    EXPECT_TRUE(slots.empty());  // no number: no slot
}

TEST(LexiconBuilder, LeavesOutElisionsAttachedPronounsAndBareStemsThatNeedAnAffix) {
    Built b = Build();
    const Inflector inflector(b.aff);
    std::vector<Inflection> forms;
    for (const char* word : {"aimer", "Marie", "maison", "ampère"}) inflector.Expand(EntryOf(b, word), forms);
    for (const Inflection& f : forms) {
        EXPECT_EQ(f.form.find('\''), std::string::npos) << f.form;
        // "kilo/S.()" needs its suffix: no prefixed form without a number.
        if (f.form.rfind("kilo", 0) == 0) {
            EXPECT_NE(f.tags.numbers, 0) << f.form;
            EXPECT_EQ(f.stem, "kiloampère");
        }
    }
    std::istringstream in(b.files.dictionary);
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_EQ(line.find('\''), std::string::npos) << line;  // l', j', d'
        EXPECT_EQ(line.find("-y"), std::string::npos) << line;  // aimez-y
    }
    EXPECT_EQ(b.lex.Verb("aimer")->slots[45], "aimez");
    // avocat needs an affix: only the feminine that its suffix makes.
    EXPECT_TRUE(LinesOfForm(b.files.dictionary, "avocat").empty());
    const Entry* avocat = b.lex.Noun("avocat");
    ASSERT_TRUE(avocat);
    EXPECT_EQ(avocat->slots[kFemSg], "avocate");
    // The prefix with its own suffix flag makes its own lemma.
    const Entry* kilo = b.lex.Noun(Cp("kiloampère"));
    ASSERT_TRUE(kilo);
    EXPECT_EQ(kilo->slots[kMasPl], Cp("kiloampères"));
    EXPECT_EQ(b.lex.Noun(Cp("ampère"))->slots[kMasSg], Cp("ampère"));
}

TEST(LexiconBuilder, FillsBothGendersForEpiceneAndBothNumbersForInvariable) {
    Built b = Build();
    const Entry* aide = b.lex.Noun("aide");
    ASSERT_TRUE(aide);
    EXPECT_EQ(aide->slots, (std::vector<std::string>{"aide", "aide", "aides", "aides"}));
    EXPECT_EQ(LinesOfForm(b.files.dictionary, "souris"),
              (std::vector<std::string>{"souris\tsouris\tNom:Fem+SG:Fem+PL\r"}));
    const Entry* maison = b.lex.Noun("maison");
    ASSERT_TRUE(maison);
    EXPECT_EQ(maison->slots, (std::vector<std::string>{"maison", "", "maisons", ""}));
    const Entry* rapide = b.lex.Adjective("rapide");
    ASSERT_TRUE(rapide);
    EXPECT_EQ(rapide->slots, (std::vector<std::string>{"rapide", "rapide", "rapides", "rapides"}));
    const Entry* heureux = b.lex.Adjective("heureux");
    ASSERT_TRUE(heureux);
    EXPECT_EQ(heureux->slots, (std::vector<std::string>{"heureuse", "heureux", "heureuses", "heureux"}));
    // st: names the lemma, which joins the masculine's group.
    const Entry* analyst = b.lex.Noun("analyste-programmeur");
    ASSERT_TRUE(analyst);
    EXPECT_EQ(analyst->slots[kMasSg], "analyste-programmeur");
    EXPECT_EQ(analyst->slots[kFemSg], "analyste-programmeuse");
    EXPECT_EQ(b.lex.Noun("analyste-programmeuse"), nullptr);
}

TEST(LexiconBuilder, KeepsGroupsOfOneLemmaButDifferentKindsApart) {
    // In the fixture the last verb and the first noun are both "être", and the last noun
    // and the first adjective both "heureux".
    Built b = Build();
    EXPECT_TRUE(b.lex.problems.empty()) << b.lex.problems.front();
    ASSERT_TRUE(b.lex.Verb(Cp("être")) && b.lex.Noun(Cp("être")));
    ASSERT_TRUE(b.lex.Noun("heureux") && b.lex.Adjective("heureux"));
    EXPECT_EQ(b.lex.Noun(Cp("être"))->slots[kMasSg], Cp("être"));
    EXPECT_EQ(b.lex.Verb(Cp("être"))->slots[3], "est");

    // A lexicon of one lemma in two kinds cannot separate them: one group goes.
    AffixFile aff = ParseAffixFile("SET UTF-8\nSFX S Y 1\nSFX S 0 s . is:pl\n");
    std::vector<DicEntry> entries = ParseDicFile("dire po:nom is:mas is:sg\ndire po:adj is:epi is:sg\n", aff);
    LexiconFiles files = BuildLexicon(aff, entries);
    ReadLexicon lex = ReadDictionary(files.dictionary);
    EXPECT_TRUE(lex.problems.empty()) << lex.problems.front();
    EXPECT_EQ(files.nounCount + files.adjectiveCount, 1);
}

TEST(LexiconBuilder, WritesWindows1252WithCrLfAndDropsWhatItCannotHold) {
    Built b = Build();
    for (const std::string* text : {&b.files.dictionary, &b.files.femaleNames, &b.files.maleNames}) {
        for (std::size_t i = 0; i < text->size(); ++i) {
            if ((*text)[i] == '\n') {
                EXPECT_TRUE(i > 0 && (*text)[i - 1] == '\r') << "lone LF at " << i;
            }
            if ((*text)[i] == '\r') {
                EXPECT_TRUE(i + 1 < text->size() && (*text)[i + 1] == '\n') << "lone CR at " << i;
            }
        }
        EXPECT_EQ(text->find("\xC3"), std::string::npos) << "UTF-8 left in the output";
    }
    EXPECT_NE(b.files.dictionary.find("\xE9t\xE9\t\xEAtre\tVer:PPas+Mas+SG"), std::string::npos);
    EXPECT_EQ(b.files.dictionary.find("dka"), std::string::npos);  // łódka
    EXPECT_TRUE(Contains(b.female, "Zo\xEB"));
    EXPECT_EQ(b.files.maleNames.find("Boles"), std::string::npos);
    EXPECT_EQ(b.lex.Noun("abrv"), nullptr);  // NOSUGGEST: abbreviations and symbols
}

TEST(LexiconBuilder, SortsFirstNamesByGender) {
    Built b = Build();
    EXPECT_EQ(b.female, (std::vector<std::string>{"Marie", "Camille", "Zo\xEB"}));
    EXPECT_EQ(b.male, (std::vector<std::string>{"Paul", "Camille", "Jean-Luc"}));
    EXPECT_EQ(b.files.femaleNameCount, 3);
    EXPECT_EQ(b.files.maleNameCount, 3);
}

TEST(LexiconBuilder, KeepsOnlyConjugatedNonPronominalVerbs) {
    Built b = Build();
    EXPECT_EQ(Lemmas(b.lex.verbs), (std::vector<std::string>{"aimer", "placer", Cp("abîmer"), "clore", Cp("être")}));
    EXPECT_EQ(b.files.verbsOverCapacity, 0);
    EXPECT_EQ(b.lex.Verb(Cp("méfier")), nullptr);  // se méfier
    EXPECT_EQ(b.lex.Verb("brouter"), nullptr);     // infinitive only
}

// A verb the dictionary marks intransitive only (sombrer) is left out, lists or not: every
// sentence gives its verb a direct object; être stays whatever its marks. A bad word leaves
// with all its forms, whether the list names its lemma (placer) or one of its forms
// (avocate); an allowed word stays (maison).
TEST(LexiconBuilder, LeavesOutVerbsWithoutDirectObjectAndBadWordsWithAllTheirForms) {
    Built b = Build();
    EXPECT_EQ(b.lex.Verb("sombrer"), nullptr);
    EXPECT_EQ(b.files.verbsWithoutDirectObject, 1);

    UsageLists usage = MakeUsageLists({"aimer", "placer", "abîmer", "clore", "sombrer", "maison", "aide", "avocat"},
                                      {"marie", "paul"}, {});
    const std::filesystem::path allowed = std::filesystem::path(std::getenv("HOME")) / "allowed.txt";
    {
        std::ofstream f(allowed);
        f << "# ordinary words\nmaison   # a house\n\n";
    }
    SetBadWords(usage, {"placer", "avocate", "MAISON", "Paul"}, ReadReviewedList(allowed));
    b = Build({}, &usage);
    EXPECT_TRUE(b.lex.problems.empty()) << b.lex.problems.front();
    EXPECT_EQ(Lemmas(b.lex.verbs), (std::vector<std::string>{"aimer", Cp("abîmer"), "clore", Cp("être")}));
    EXPECT_EQ(Lemmas(b.lex.nouns), (std::vector<std::string>{"maison", "aide"}));
    EXPECT_TRUE(LinesOfForm(b.files.dictionary, "avocat").empty());
    EXPECT_TRUE(LinesOfForm(b.files.dictionary, "avocats").empty());
    EXPECT_EQ(b.male, (std::vector<std::string>{}));
    EXPECT_EQ(b.female, (std::vector<std::string>{"Marie"}));
    EXPECT_EQ(b.files.badWords, 3);  // placer, avocat, Paul
    EXPECT_EQ(b.files.verbsWithoutDirectObject, 1);
}

TEST(LexiconBuilder, OverCapacityDropsDefectiveThenUncheckedVerbsButNeverEtre) {
    BuildLimits limits;
    limits.verbs = 4;
    Built b = Build(limits);
    EXPECT_EQ(Lemmas(b.lex.verbs), (std::vector<std::string>{"aimer", "placer", Cp("abîmer"), Cp("être")}));
    EXPECT_EQ(b.files.verbsOverCapacity, 1);
    limits.verbs = 3;
    b = Build(limits);
    EXPECT_EQ(Lemmas(b.lex.verbs), (std::vector<std::string>{"aimer", "placer", Cp("être")}));
    limits.verbs = 1;
    b = Build(limits);
    EXPECT_EQ(Lemmas(b.lex.verbs), (std::vector<std::string>{Cp("être")}));
    EXPECT_EQ(b.files.verbsOverCapacity, 4);
    EXPECT_TRUE(b.lex.problems.empty()) << b.lex.problems.front();

    limits = {};
    limits.nouns = 2;
    limits.names = 1;
    b = Build(limits);
    EXPECT_EQ(b.files.nounCount, 2);
    EXPECT_EQ(b.female, (std::vector<std::string>{"Marie"}));
    EXPECT_EQ(b.male, (std::vector<std::string>{"Paul"}));
}

TEST(LexiconBuilder, KeepsOneOfTwoHomographVerbs) {
    AffixFile aff = ParseAffixFile(
        "SET UTF-8\nFLAG long\n"
        "SFX v2 Y 2\nSFX v2 ir is ir po:ipre po:1sg\nSFX v2 ir issons ir po:ipre po:1pl\n"
        "SFX v3 Y 2\nSFX v3 tir s tir po:ipre po:1sg\nSFX v3 ir ons ir po:ipre po:1pl\n");
    // A transitive direct verb wins over one without a direct object; then checked
    // auxiliaries win over unchecked ones; between two checked -ir verbs the 3rd group
    // wins; the kept verb's forms are not mixed with the other's.
    std::vector<DicEntry> entries = ParseDicFile(
        "sortir/v2 po:v2__t___zz\nsortir/v3 po:v3_it_q_ea\n"
        "partir/v2 po:v2_it___e_\npartir/v3 po:v3_it___e_\n"
        "servir/v3 po:v3__t___zz\nservir/v2 po:v2_it____a\n"
        "repartir/v3 po:v3_i_____a\nrepartir/v2 po:v2__t___zz\n",
        aff);
    LexiconFiles files = BuildLexicon(aff, entries);
    ReadLexicon lex = ReadDictionary(files.dictionary);
    EXPECT_TRUE(lex.problems.empty()) << lex.problems.front();
    ASSERT_EQ(files.verbCount, 4);
    EXPECT_EQ(lex.Verb("sortir")->slots[1], "sors");
    EXPECT_EQ(lex.Verb("sortir")->slots[4], "sortons");
    EXPECT_EQ(lex.Verb("partir")->slots[4], "partons");
    EXPECT_EQ(lex.Verb("servir")->slots[4], "servissons");
    EXPECT_EQ(lex.Verb("servir")->slots[1], "servis");
    EXPECT_EQ(lex.Verb("repartir")->slots[4], "repartissons");
}

TEST(LexiconBuilderCommand, WritesTheThreeFilesAndReportsBadInput) {
    const std::filesystem::path out = std::filesystem::path(std::getenv("HOME")) / "lexicon-out";
    const std::string aff = FixturePath("mini.aff"), dic = FixturePath("mini.dic");
    std::ostringstream so, se;
    auto run = [&](std::vector<std::string> args) {
        so.str("");
        se.str("");
        args.insert(args.begin(), "clavelle-lexicon");
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        return RunLexiconBuilder(int(argv.size()), argv.data(), so, se);
    };

    ASSERT_EQ(run({"--aff", aff, "--dic", dic, "--out", out.string(), "--all"}), 0) << se.str();
    EXPECT_NE(so.str().find("5 verbes"), std::string::npos) << so.str();
    EXPECT_NE(so.str().find("Écartés : 1 verbes sans complément d'objet direct"), std::string::npos) << so.str();
    const Built b = Build();
    EXPECT_EQ(ReadBytes((out / "dictionnaire.txt").string()), b.files.dictionary);
    EXPECT_EQ(ReadBytes((out / "prénomsf.txt").string()), b.files.femaleNames);
    EXPECT_EQ(ReadBytes((out / "prénomsg.txt").string()), b.files.maleNames);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 3);  // nothing else left
    // By default only the words in use stay, with the lists of the source tree.
    ASSERT_EQ(run({"--aff", aff, "--dic", dic, "--out", out.string()}), 0) << se.str();
    EXPECT_NE(so.str().find("prénoms que l'on ne donne pas, 0 mots grossiers"), std::string::npos) << so.str();
    EXPECT_NE(so.str().find("sexuels, 0 mots des thèmes écartés, "), std::string::npos) << so.str();
    EXPECT_EQ(run({"--aff", aff, "--dic", dic, "--out", out.string(), "--max-rank", "0"}), 2);
    EXPECT_EQ(run({"--aff", aff, "--dic", dic, "--out", out.string(), "--nouns", "-3"}), 2);
    EXPECT_NE(se.str().find("--nouns attend un nombre entier positif"), std::string::npos) << se.str();
    EXPECT_EQ(run({"--aff", aff, "--dic", dic, "--out", out.string(), "--frequency", aff + ".absent"}), 1);

    EXPECT_EQ(run({}), 2);
    EXPECT_NE(se.str().find("usage"), std::string::npos);
    EXPECT_EQ(run({"--aff", aff, "--dic", dic}), 2);
    EXPECT_EQ(run({"--aff", aff, "--dic", dic, "--out"}), 2);
    EXPECT_EQ(run({"--aff", aff, "--dic", dic, "--out", out.string(), "--verbose"}), 2);
    EXPECT_EQ(run({"--aff", aff, "--aff", aff, "--dic", dic, "--out", out.string()}), 2);

    EXPECT_EQ(run({"--aff", aff + ".absent", "--dic", dic, "--out", out.string()}), 1);
    EXPECT_NE(se.str().find("mini.aff.absent"), std::string::npos) << se.str();
    EXPECT_EQ(run({"--aff", aff, "--dic", out.string(), "--out", out.string()}), 1);  // a folder

    const std::filesystem::path bad = out / "bad.aff";
    {
        std::ofstream f(bad);
        f << "SET UTF-8\nSFX a0 Y 1\nSFX a0 er e [^y\n";
    }
    EXPECT_EQ(run({"--aff", bad.string(), "--dic", dic, "--out", out.string()}), 1);
    EXPECT_NE(se.str().find("ligne 3"), std::string::npos) << se.str();
    // A dictionary that yields no verb would leave the program unable to write anything.
    EXPECT_EQ(run({"--aff", aff, "--dic", aff, "--out", (out / "empty").string()}), 1);
    EXPECT_FALSE(std::filesystem::exists(out / "empty" / "dictionnaire.txt"));
}

TEST(LexiconBuilderCommand, RefusesTruncatedOrWronglyEncodedHunspellFiles) {
    const std::filesystem::path dir = std::filesystem::path(std::getenv("HOME")) / "hunspell-checks";
    std::filesystem::create_directories(dir);
    const std::string affText = ReadBytes(FixturePath("mini.aff")), dicText = ReadBytes(FixturePath("mini.dic"));
    auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    };
    const std::string aff = write("good.aff", affText), dic = write("good.dic", dicText);
    std::string message;
    auto run = [&](const std::string& affPath, const std::string& dicPath) {
        std::ostringstream so, se;
        const std::string out = (dir / "out").string();
        const char* argv[] = {"clavelle-lexicon", "--aff", affPath.c_str(), "--dic",
                              dicPath.c_str(),    "--out", out.c_str(),     "--all"};
        const int status = RunLexiconBuilder(8, argv, so, se);
        message = se.str();
        return status;
    };
    ASSERT_EQ(run(aff, dic), 0) << message;

    // A .dic cut in half holds far fewer entries than its first line declares.
    EXPECT_EQ(run(aff, write("half.dic", dicText.substr(0, dicText.size() / 2))), 1);
    EXPECT_NE(message.find("annonce 29 entrées"), std::string::npos) << message;
    EXPECT_EQ(run(aff, write("nocount.dic", dicText.substr(dicText.find('\n') + 1))), 1);
    // Latin-1 bytes in the .dic or the .aff; an .aff that does not declare UTF-8.
    std::string latin1 = dicText;
    latin1.replace(latin1.find("\xC3\xAE"), 2, "\xEE");  // abîmer
    EXPECT_EQ(run(aff, write("latin1.dic", latin1)), 1);
    EXPECT_NE(message.find("latin1.dic, ligne 4 : octets qui ne sont pas de l'UTF-8"), std::string::npos) << message;
    EXPECT_EQ(run(write("latin1.aff", affText + "# \xE9\n"), dic), 1);
    EXPECT_NE(message.find("latin1.aff"), std::string::npos) << message;
    std::string noSet = affText;
    noSet.erase(noSet.find("SET UTF-8\n"), 10);
    EXPECT_EQ(run(write("noset.aff", noSet), dic), 1);
    EXPECT_NE(message.find("SET UTF-8"), std::string::npos) << message;
    EXPECT_EQ(run(write("iso.aff", "SET ISO8859-1\n" + noSet), dic), 1);
}

TEST(LexiconFileSet, ReplacesTheThreeFilesTogetherOrNotAtAll) {
    const std::filesystem::path out = std::filesystem::path(std::getenv("HOME")) / "file-set";
    LexiconFiles old;
    old.dictionary = "old dictionary";
    old.femaleNames = "Marie\r\n";
    old.maleNames = "Paul\r\n";
    WriteLexiconFiles(old, out);
    auto unchanged = [&]() {
        EXPECT_EQ(ReadBytes((out / "dictionnaire.txt").string()), old.dictionary);
        EXPECT_EQ(ReadBytes((out / "prénomsf.txt").string()), old.femaleNames);
        EXPECT_EQ(ReadBytes((out / "prénomsg.txt").string()), old.maleNames);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 3);  // no debris
    };
    unchanged();

    // The second file cannot be written (a file-size limit that only it exceeds).
    LexiconFiles fresh = old;
    fresh.dictionary = "new dictionary";
    fresh.femaleNames.assign(1 << 16, 'x');
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1 << 12;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(WriteLexiconFiles(fresh, out), BuildError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    unchanged();

    // The second rename fails (a folder stands in the way): the dictionary, already
    // replaced, gets its old contents back.
    fresh.femaleNames = "Zoé\r\n";
    std::filesystem::remove(out / "prénomsf.txt");
    std::filesystem::create_directories(out / "prénomsf.txt" / "sub");
    EXPECT_THROW(WriteLexiconFiles(fresh, out), BuildError);
    EXPECT_EQ(ReadBytes((out / "dictionnaire.txt").string()), old.dictionary);
    EXPECT_EQ(ReadBytes((out / "prénomsg.txt").string()), old.maleNames);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), {}), 3);
    std::filesystem::remove_all(out / "prénomsf.txt");
    WriteLexiconFiles(fresh, out);
    EXPECT_EQ(ReadBytes((out / "dictionnaire.txt").string()), fresh.dictionary);
    EXPECT_EQ(ReadBytes((out / "prénomsf.txt").string()), fresh.femaleNames);
}
