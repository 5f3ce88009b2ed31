// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lexicon/loader.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/cp1252.h"
#include "common/io_error.h"
#include "common/rounding.h"
#include "lexicon/reference_loader.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

std::string Line(std::string_view form, std::string_view lemma, std::string_view tags) {
    return std::string(form) + "\t" + std::string(lemma) + "\t" + std::string(tags) + "\n";
}

void WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = test_support::MakeTempFolder("clavelle-lexicon");
        ASSERT_FALSE(dir_.empty());
        callbacks_.SetProgressPosition = [this](int p) { positions_.push_back(p); };
        callbacks_.ProcessEvents = [this] { ++eventCalls_; };
    }
    void TearDown() override { fs::remove_all(dir_); }

    void WriteData(std::string_view female, std::string_view male, std::string_view dictionary) {
        WriteFile(dir_ / kFemaleNamesFile, female);
        WriteFile(dir_ / kMaleNamesFile, male);
        WriteFile(dir_ / kDictionaryFile, dictionary);
    }

    void LoadFiles() { LoadLexicon(dir_.string(), *lx_, callbacks_); }

    // The dictionary alone, from memory.
    void LoadText(std::string text) { LoadDictionary(text.data(), text.size(), *lx_, callbacks_); }

    void LoadNames(std::string text, NameList list) { LoadNameList(text.data(), text.size(), *lx_, list); }

    fs::path dir_;
    std::unique_ptr<Lexicon> lx_ = std::make_unique<Lexicon>();
    LoadCallbacks callbacks_;
    std::vector<int> positions_;
    int eventCalls_ = 0;
};

// --- first names -------------------------------------------------------------------------

TEST_F(LoaderTest, NameListsStopAtTheFirstEmptyLineAndCountAnEmptyFileAsOneName) {
    LoadNames("", NameList::Female);
    ASSERT_EQ(lx_->FemaleNameCount, 1);
    EXPECT_TRUE(lx_->FemaleName(1).Empty());

    LoadNames("Anna\nBob\n", NameList::Female);  // a final line break adds no name
    ASSERT_EQ(lx_->FemaleNameCount, 2);
    EXPECT_EQ(lx_->FemaleName(2).View(), "Bob");

    LoadNames("Anna\n\nBob\n", NameList::Female);  // the empty line ends the list
    ASSERT_EQ(lx_->FemaleNameCount, 1);
    EXPECT_EQ(lx_->FemaleName(1).View(), "Anna");
    EXPECT_TRUE(lx_->FemaleName(2).Empty());

    LoadNames("\nAnna\n", NameList::Male);  // the first line is read even when empty
    ASSERT_EQ(lx_->MaleNameCount, 2);
    EXPECT_TRUE(lx_->MaleName(1).Empty());
    EXPECT_EQ(lx_->MaleName(2).View(), "Anna");

    LoadNames("Anna\n\r\nBob", NameList::Male);  // a line holding only CR LF is empty
    EXPECT_EQ(lx_->MaleNameCount, 1);
}

TEST_F(LoaderTest, NamesAreStoredAsReadCutToFiftyCharacters) {
    std::string sixty(60, 'x');
    for (int i = 0; i < 60; ++i) sixty[i] = char('A' + i % 26);
    LoadNames(std::string(" Zo\xE9 \r\n") + sixty + "\r\nJe\ran\r\n", NameList::Female);
    ASSERT_EQ(lx_->FemaleNameCount, 3);
    EXPECT_EQ(lx_->FemaleName(1).View(), " Zo\xE9 ");  // nothing trimmed, CR LF ends the line
    EXPECT_EQ(lx_->FemaleName(2).View(), sixty.substr(0, 50));
    EXPECT_EQ(lx_->FemaleName(3).View(), "Jean");  // a lone CR is dropped
}

TEST_F(LoaderTest, Byte26EndsANameFile) {
    LoadNames(
        "Anna\nBob\x1A"
        "Carl\nDavid\n",
        NameList::Male);
    ASSERT_EQ(lx_->MaleNameCount, 2);
    EXPECT_EQ(lx_->MaleName(2).View(), "Bob");
    LoadNames(
        "\x1A"
        "Anna\n",
        NameList::Male);
    ASSERT_EQ(lx_->MaleNameCount, 1);
    EXPECT_TRUE(lx_->MaleName(1).Empty());
}

TEST_F(LoaderTest, NameListsStopAtTheirCapacityWithoutTouchingWhatFollows) {
    std::string names;
    for (int i = 1; i <= kNameCapacity + 1; ++i) names += "N" + std::to_string(i) + "\n";
    lx_->MaleName(1).Assign("Sentinelle");
    LoadNames(names, NameList::Female);
    EXPECT_EQ(lx_->FemaleNameCount, kNameCapacity);
    EXPECT_EQ(lx_->FemaleName(kNameCapacity).View(), "N5000");
    EXPECT_EQ(lx_->MaleName(1).View(), "Sentinelle");

    lx_->VerbCount = 7;
    LoadNames(names, NameList::Male);
    EXPECT_EQ(lx_->MaleNameCount, kNameCapacity);
    EXPECT_EQ(lx_->VerbCount, 7);
}

// --- dictionary lines ----------------------------------------------------------------------

TEST_F(LoaderTest, OneVerbLineFillsTheSlotOfEachOfItsCodes) {
    LoadText(Line("aime", "aimer", "Ver:IPre+SG+P1:IPre+SG+P3"));
    ASSERT_EQ(lx_->VerbCount, 1);
    const VerbEntry& v = lx_->Verb(1);
    EXPECT_EQ(v.Slots[0].View(), "aimer");
    EXPECT_EQ(v.Slots[1].View(), "aime");
    EXPECT_EQ(v.Slots[3].View(), "aime");
    for (int s = 0; s < kVerbSlotCount; ++s) {
        if (s != 0 && s != 1 && s != 3) {
            EXPECT_TRUE(v.Slots[s].Empty()) << s;
        }
    }
}

TEST_F(LoaderTest, EveryVerbCodeFillsItsOwnSlot) {
    std::string text;
    for (int s = 1; s < kVerbSlotCount; ++s)
        text += Line("f" + std::to_string(s), "faire", "Ver:" + std::string(kVerbSlotCodes[s]));
    LoadText(text);
    ASSERT_EQ(lx_->VerbCount, 1);
    for (int s = 1; s < kVerbSlotCount; ++s) EXPECT_EQ(lx_->Verb(1).Slots[s].View(), "f" + std::to_string(s));
    EXPECT_EQ(kVerbSlotCodes[kImperativeTuSlot], "ImPre+SG+P1");
    EXPECT_EQ(VerbSlotOfCode("PPas+Fem+PL"), kPastParticipleFemPlSlot);
    EXPECT_EQ(VerbSlotOfCode("ImPre+SG+P2"), -1);
}

TEST_F(LoaderTest, ConsecutiveLinesOfALemmaMakeOneEntryAndARepeatedLemmaANewOne) {
    LoadText(Line("aime", "aimer", "Ver:IPre+SG+P1") + Line("aimons", "aimer", "Ver:IPre+PL+P1") +
             Line("finis", "finir", "Ver:IPre+SG+P1") + Line("aimez", "aimer", "Ver:IPre+PL+P2") +
             Line("aimai", "aimer", "Ver:IPSim+SG+P1") + Line("aima", "aimer", "Ver:IPSim+SG+P1"));
    ASSERT_EQ(lx_->VerbCount, 3);
    EXPECT_EQ(lx_->Verb(1).Slots[4].View(), "aimons");
    EXPECT_EQ(lx_->Verb(2).Slots[0].View(), "finir");
    EXPECT_TRUE(lx_->Verb(3).Slots[4].Empty());
    EXPECT_EQ(lx_->Verb(3).Slots[kIndicativePresentSlot + 4].View(), "aimez");
    EXPECT_EQ(lx_->Verb(3).Slots[kSimplePastSlot].View(), "aima");  // a later line overwrites
}

TEST_F(LoaderTest, ANounGroupAfterAVerbOfTheSameLemmaGoesIntoTheLastNounEntry) {
    // No noun yet: the group opens the first noun entry.
    LoadText(Line("marche", "marcher", "Ver:IPre+SG+P1") + Line("marcher", "marcher", "Nom:Mas+SG"));
    EXPECT_EQ(lx_->NounCount, 1);
    EXPECT_EQ(lx_->Noun(1).Slots[kMasSg].View(), "marcher");

    // After other nouns: it lands in the entry of the noun before the verb.
    LoadText(Line("table", "table", "Nom:Fem+SG") + Line("tables", "table", "Nom:Fem+PL") +
             Line("porte", "porter", "Ver:IPre+SG+P3") + Line("porter", "porter", "Nom:Mas+SG") +
             Line("porters", "porter", "Adj:Mas+PL"));
    ASSERT_EQ(lx_->NounCount, 1);
    EXPECT_EQ(lx_->Noun(1).Slots[kNominalLemma].View(), "porter");
    EXPECT_EQ(lx_->Noun(1).Slots[kFemSg].View(), "table");
    EXPECT_EQ(lx_->Noun(1).Slots[kMasSg].View(), "porter");
    ASSERT_EQ(lx_->AdjectiveCount, 1);
    EXPECT_EQ(lx_->Adjective(1).Slots[kMasPl].View(), "porters");
    EXPECT_EQ(lx_->VerbCount, 1);
}

TEST_F(LoaderTest, SkippedLinesStoreNothingButStillSeparateLemmaGroups) {
    LoadText(Line("lit", "lit", "Nom:Mas+SG") +                                             // lemma of 3 characters
             Line("aime", "aimer", "Ver:IPre+SG+P1") + Line("lits", "lit", "Nom:Mas+PL") +  // skipped, yet a new lemma
             Line("aimes", "aimer", "Ver:IPre+SG+P2") + Line("aimait", "aimer", "Ver:") +   // bare kind: skipped
             Line("aimions", "aimer", "ver:IImp+PL+P1") +                                   // kind is case-sensitive
             Line("aimiez", "aimer", "Pro:IImp+PL+P2") +
             "aimions\taimer\t\tVer:IImp+PL+P1\n" +   // two TABs before the tags
             "aimera\t\t\taimer\tVer:IFut+SG+P3\n");  // several TABs before the lemma
    EXPECT_EQ(lx_->NounCount, 0);
    ASSERT_EQ(lx_->VerbCount, 2);
    EXPECT_EQ(lx_->Verb(1).Slots[1].View(), "aime");
    EXPECT_TRUE(lx_->Verb(1).Slots[2].Empty());
    const VerbEntry& second = lx_->Verb(2);
    EXPECT_EQ(second.Slots[2].View(), "aimes");
    for (int s = kImperfectSlot; s < kImperfectSlot + 6; ++s) EXPECT_TRUE(second.Slots[s].Empty()) << s;
    EXPECT_EQ(second.Slots[kFutureSlot + 2].View(), "aimera");
}

TEST_F(LoaderTest, LinesWithoutBothSeparatorsAreIgnoredEntirely) {
    LoadText(Line("aime", "aimer", "Ver:IPre+SG+P1") + "aimes aimer Ver:IPre+SG+P2\n" +
             "aimes\taimer Ver:IPre+SG+P2\n" + "aimes\t\t\n" + "\t\n" + Line("aimons", "aimer", "Ver:IPre+PL+P1"));
    ASSERT_EQ(lx_->VerbCount, 1);  // the group of aimer is not broken by them
    EXPECT_TRUE(lx_->Verb(1).Slots[2].Empty());
    EXPECT_EQ(lx_->Verb(1).Slots[4].View(), "aimons");
}

TEST_F(LoaderTest, SubTagsMustMatchACodeExactly) {
    LoadText(Line("chat", "chat", "Nom:mas+SG:Mas+sg:InvGen+SG:Mas+SG :Mas+SG+X") +
             Line("chats", "chat", "Nom:InvGen+PL:Mas+PL:") +
             Line("aime", "aimer", "Ver:IPre+SG+P1 :ipre+SG+P1:IPRE+SG+P1::ImPre+SG+P2"));
    ASSERT_EQ(lx_->NounCount, 1);
    const NominalEntry& n = lx_->Noun(1);
    EXPECT_EQ(n.Slots[kNominalLemma].View(), "chat");  // the lemma is stored even when no code matches
    EXPECT_TRUE(n.Slots[kMasSg].Empty());
    EXPECT_EQ(n.Slots[kMasPl].View(), "chats");
    EXPECT_TRUE(n.Slots[kFemSg].Empty());
    EXPECT_TRUE(n.Slots[kFemPl].Empty());
    ASSERT_EQ(lx_->VerbCount, 1);
    for (int s = 1; s < kVerbSlotCount; ++s) EXPECT_TRUE(lx_->Verb(1).Slots[s].Empty()) << s;
}

TEST_F(LoaderTest, OnlyTheFirstTwentySubTagsOfALineCount) {
    std::string nineteen;
    for (int i = 0; i < 19; ++i) nineteen += "X:";
    LoadText(Line("belle", "beau", "Adj:" + nineteen + "Fem+SG:Fem+PL") +
             Line("beau", "beau", "Adj:" + std::string(60, 'M') + ":Mas+SG"));
    ASSERT_EQ(lx_->AdjectiveCount, 1);
    EXPECT_EQ(lx_->Adjective(1).Slots[kFemSg].View(), "belle");
    EXPECT_TRUE(lx_->Adjective(1).Slots[kFemPl].Empty());
    EXPECT_EQ(lx_->Adjective(1).Slots[kMasSg].View(), "beau");  // an over-long sub-tag is just no code
}

TEST_F(LoaderTest, LongFormsAndLemmasAreCutButLemmasCompareInFull) {
    std::string lemmaA = std::string(50, 'a') + "b";
    std::string lemmaB = std::string(50, 'a') + "c";
    std::string longForm(70, 'f');
    LoadText(Line(longForm, lemmaA, "Nom:Mas+SG") + Line("", lemmaA, "Nom:Fem+SG") + Line("x", lemmaB, "Nom:Mas+SG"));
    ASSERT_EQ(lx_->NounCount, 2);
    EXPECT_EQ(lx_->Noun(1).Slots[kMasSg].View(), longForm.substr(0, 50));
    EXPECT_EQ(lx_->Noun(1).Slots[kNominalLemma].View(), std::string(50, 'a'));
    EXPECT_TRUE(lx_->Noun(1).Slots[kFemSg].Empty());  // an empty form is a form like another
    EXPECT_EQ(lx_->Noun(2).Slots[kNominalLemma].View(), std::string(50, 'a'));
}

// --- line ends, end of file, progress -------------------------------------------------------

TEST_F(LoaderTest, LineEndsAndEndOfFileMarkers) {
    std::string lf = Line("aime", "aimer", "Ver:IPre+SG+P1") + Line("aimes", "aimer", "Ver:IPre+SG+P2") +
                     Line("chat", "chat", "Nom:Mas+SG");
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);

    LoadText(lf);
    ASSERT_EQ(lx_->VerbCount, 1);
    ASSERT_EQ(lx_->NounCount, 1);
    std::string loadedLf(reinterpret_cast<const char*>(&lx_->Verb(1)), sizeof(VerbEntry));
    LoadText(crlf);
    ASSERT_EQ(lx_->NounCount, 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&lx_->Verb(1)), sizeof(VerbEntry)), loadedLf);
    EXPECT_EQ(lx_->Noun(1).Slots[kMasSg].View(), "chat");  // no CR left at the end of a line

    LoadText("ai\rme\taim\rer\tVer:IPre+SG+P1\r\r\n");  // lone CRs vanish from the line
    EXPECT_EQ(lx_->Verb(1).Slots[0].View(), "aimer");
    EXPECT_EQ(lx_->Verb(1).Slots[1].View(), "aime");

    LoadText(Line("aime", "aimer", "Ver:IPre+SG+P1") + "\r\n" + Line("chat", "chat", "Nom:Mas+SG"));
    EXPECT_EQ(lx_->VerbCount, 1);
    EXPECT_EQ(lx_->NounCount, 0);  // the empty line ended the dictionary

    LoadText(Line("aime", "aimer", "Ver:IPre+SG+P1") + "chat\tchat\tNom:Mas+SG\x1A\n" +
             Line("chien", "chien", "Nom:Mas+SG"));
    EXPECT_EQ(lx_->NounCount, 1);
    EXPECT_EQ(lx_->Noun(1).Slots[kNominalLemma].View(), "chat");
}

TEST_F(LoaderTest, ProgressFollowsTheLineNumberAndEndsAt100) {
    LoadText("");
    EXPECT_EQ(positions_, (std::vector<int>{0, 100}));
    EXPECT_EQ(lx_->VerbCount, 0);

    // 289,564 lines, each opening a new entry, so that the tables tell the line being read.
    std::string text;
    for (int i = 1; i <= 289564; ++i)
        text += Line("f", "lemme" + std::to_string(i), i % 2 ? "Nom:Mas+SG" : "Adj:Mas+SG");
    std::vector<std::pair<int, int>> shown, expected;
    callbacks_.SetProgressPosition = [&](int p) { shown.emplace_back(lx_->NounCount + lx_->AdjectiveCount + 1, p); };
    LoadText(text);
    for (int line = 1; line <= 289564; ++line) {
        int p = RoundHalfEven(line / 289564.0 * 100);
        if (expected.empty() || expected.back().second != p) expected.emplace_back(line, p);
    }
    ASSERT_EQ(expected.size(), 101u);
    EXPECT_EQ(expected.back(), std::make_pair(288117, 100));  // 99.5 rounds up to 100
    EXPECT_EQ(shown, expected);                               // every value on its own line, once; none more at the end

    // 300,000 lines: the bar passes 100 (up to 104), then is set to 100.
    std::string line = Line("aime", "aimer", "Ver:IPre+SG+P1");
    text.clear();
    for (int i = 0; i < 300000; ++i) text += line;
    callbacks_.SetProgressPosition = [this](int p) { positions_.push_back(p); };
    positions_.clear();
    LoadText(text);
    ASSERT_EQ(positions_.size(), 106u);
    EXPECT_EQ(positions_[104], 104);
    EXPECT_EQ(positions_[105], 100);
    EXPECT_EQ(lx_->VerbCount, 1);
}

TEST_F(LoaderTest, EventsAreProcessedOnceTheirIntervalHasPassed) {
    std::string line = Line("aime", "aimer", "Ver:IPre+SG+P1");
    std::string text;
    for (int i = 0; i < 100000; ++i) text += line;
    int callsAtStall = -1, callsAtNext = -1;
    callbacks_.SetProgressPosition = [&](int p) {
        if (p == 10) {
            callsAtStall = eventCalls_;
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        } else if (p == 11) {
            callsAtNext = eventCalls_;
        }
    };
    LoadText(text);
    EXPECT_GT(callsAtNext, callsAtStall);  // within the ~2,900 lines that follow the stall

    LoadText(text);  // empty callbacks are allowed
    callbacks_ = {};
    LoadText(text);
    EXPECT_EQ(lx_->VerbCount, 1);
}

// --- capacities -----------------------------------------------------------------------------

TEST_F(LoaderTest, TablesStopAtTheirCapacityAndLoadingGoesOn) {
    std::string text;
    for (int i = 1; i <= kVerbCapacity + 1; ++i) text += Line("f", "verbe" + std::to_string(i), "Ver:PPre");
    text += Line("g", "verbe8001", "Ver:IPre+SG+P1");  // second line of the verb that did not fit
    for (int i = 1; i <= kNominalCapacity + 1; ++i) text += Line("n", "nom" + std::to_string(i), "Nom:Mas+SG");
    text += Line("beau", "beau", "Adj:Mas+SG");
    LoadText(text);
    EXPECT_EQ(lx_->VerbCount, kVerbCapacity);
    EXPECT_EQ(lx_->Verb(kVerbCapacity).Slots[0].View(), "verbe8000");
    EXPECT_TRUE(lx_->Verb(kVerbCapacity).Slots[1].Empty());
    EXPECT_EQ(lx_->NounCount, kNominalCapacity);
    EXPECT_EQ(lx_->Noun(kNominalCapacity).Slots[kNominalLemma].View(), "nom200000");
    EXPECT_EQ(lx_->AdjectiveCount, 1);
}

// --- the three files --------------------------------------------------------------------------

TEST_F(LoaderTest, LoadsTheThreeFilesAndSumsUpTheFirstNamesOfBoth) {
    WriteData("Anne\nZo\xE9\n", "Luc\r\n",
              Line("aime", "aimer", "Ver:IPre+SG+P1") + Line("chat", "chat", "Nom:Mas+SG") +
                  Line("beau", "beau", "Adj:Mas+SG") + Line("belle", "beau", "Adj:Fem+SG"));
    LoadFiles();
    EXPECT_EQ(lx_->FemaleName(2).View(), "Zo\xE9");
    EXPECT_EQ(lx_->MaleName(1).View(), "Luc");
    EXPECT_EQ(LexiconSummary(*lx_),
              "L'ordinateur connaît 1 verbes conjugués, 1 noms communs, 1 adjectifs et 3 prénoms."_cp);
    EXPECT_EQ(positions_, (std::vector<int>{0, 100}));
}

TEST_F(LoaderTest, AMissingFileStopsTheLoadWithTheTablesAsFarAsFilled) {
    WriteData("Anne\n", "Luc\nPaul\n", Line("aime", "aimer", "Ver:IPre+SG+P1"));
    fs::remove(dir_ / kDictionaryFile);
    try {
        LoadFiles();
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.code(), kIoFileNotFound);
        EXPECT_STREQ(e.what(), "Fichier introuvable");
    }
    EXPECT_EQ(lx_->FemaleNameCount, 1);
    EXPECT_EQ(lx_->MaleNameCount, 2);
    EXPECT_EQ(lx_->VerbCount, 0);
    EXPECT_TRUE(positions_.empty());

    fs::remove(dir_ / kMaleNamesFile);
    EXPECT_THROW(LoadFiles(), IoError);
    EXPECT_EQ(lx_->FemaleNameCount, 1);
    EXPECT_EQ(lx_->MaleNameCount, 0);

    fs::remove(dir_ / kFemaleNamesFile);
    EXPECT_THROW(LoadFiles(), IoError);
    EXPECT_EQ(lx_->FemaleNameCount, 0);

    try {
        LoadLexicon((dir_ / "absent").string(), *lx_, callbacks_);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.code(), kIoFileNotFound);
    }
}

TEST_F(LoaderTest, ASecondLoadStartsFromEmptyTables) {
    WriteData("Anne\n", "Luc\n", Line("aime", "aimer", "Ver:IPre+SG+P1") + Line("aimes", "aimer", "Ver:IPre+SG+P2"));
    LoadFiles();
    WriteData("Anne\n", "Luc\n", Line("finis", "finir", "Ver:IPre+SG+P1"));
    LoadFiles();
    ASSERT_EQ(lx_->VerbCount, 1);
    EXPECT_EQ(lx_->Verb(1).Slots[0].View(), "finir");
    EXPECT_TRUE(lx_->Verb(1).Slots[2].Empty());
}

TEST_F(LoaderTest, SampleFixtureInWindowsLineEnds) {
    const char* source = std::getenv("CLAVELLE_SOURCE_DIR");
    if (!source) GTEST_SKIP() << "CLAVELLE_SOURCE_DIR not set";
    LoadLexicon(std::string(source) + "/tests/fixtures/lexicon/sample", *lx_, callbacks_);
    EXPECT_EQ(LexiconSummary(*lx_),
              "L'ordinateur connaît 2 verbes conjugués, 2 noms communs, 1 adjectifs et 5 prénoms."_cp);
    EXPECT_EQ(lx_->FemaleName(1).View(), "Hélène"_cp);
    EXPECT_EQ(lx_->MaleName(3).View(), "Loïc"_cp);
    const VerbEntry& etre = lx_->Verb(2);
    EXPECT_EQ(etre.Slots[0].View(), "être"_cp);
    EXPECT_EQ(etre.Slots[kSimplePastSlot + 2].View(), "fut");
    EXPECT_EQ(etre.Slots[kSubjunctiveImperfectSlot + 2].View(), "fût"_cp);
    EXPECT_EQ(etre.Slots[kImperativeTuSlot].View(), "sois");
    EXPECT_EQ(etre.Slots[kPastParticipleMasSgSlot].View(), "été"_cp);
    EXPECT_EQ(lx_->Noun(1).Slots[kFemPl].View(), "forêts"_cp);
    EXPECT_EQ(lx_->Noun(2).Slots[kMasPl].View(), "échos"_cp);
    EXPECT_EQ(lx_->Adjective(1).Slots[kFemSg].View(), "légère"_cp);
}

// --- against the plain model ------------------------------------------------------------------

// Random files made of plausible and broken pieces, loaded by both the loader and the model.
TEST_F(LoaderTest, AgreesWithThePlainModelOnRandomFiles) {
    std::mt19937 rng(20240611);
    auto pick = [&](const std::vector<std::string>& v) { return v[rng() % v.size()]; };
    const std::vector<std::string> lemmas = {
        "aimer", "finir", "lit", "chat", "beau", "\xEAtre", "aimer ", "x", std::string(55, 'l')};
    const std::vector<std::string> kinds = {"Ver:", "Nom:", "Adj:", "ver:", "Nom", "", "\tNom:", "Adj:Adj:"};
    const std::vector<std::string> ends = {"\n", "\r\n", "\r\n", "\n", "\r", "\r\r\n", "\x1A", "\n\n", "\n\r\n"};
    std::vector<std::string> codes = {"Mas+SG",    "Fem+SG", "Mas+PL", "Fem+PL",
                                      "InvGen+SG", "",       "mas+SG", std::string(52, 'C')};
    for (int s = 1; s < kVerbSlotCount; ++s) codes.emplace_back(kVerbSlotCodes[s]);

    for (int round = 0; round < 300; ++round) {
        std::string file;
        int lines = 1 + int(rng() % 60);
        for (int i = 0; i < lines; ++i) {
            std::string tags = pick(kinds);
            int n = int(rng() % 24);
            for (int k = 0; k < n; ++k) tags += (k ? ":" : "") + pick(codes);
            if (rng() % 5 == 0) tags += ":";
            std::string form;
            for (std::size_t k = rng() % 60; k > 0; --k) form += char('a' + rng() % 26);
            std::string seps[] = {"\t", "\t", "\t\t", "", " "};
            file += form + seps[rng() % 5] + pick(lemmas) + seps[rng() % 4] + tags;
            file += rng() % 4 == 0 ? pick(ends) : "\n";
        }
        std::string female = file.substr(0, rng() % (file.size() + 1));
        std::string male = file.substr(rng() % (file.size() + 1));
        reference::Model model = reference::Load(female, male, file);

        positions_.clear();
        LoadNames(female, NameList::Female);
        LoadNames(male, NameList::Male);
        LoadText(file);
        std::string difference = reference::Compare(model, *lx_);
        ASSERT_EQ(difference, "") << "round " << round;
        ASSERT_EQ(positions_, model.positions) << "round " << round;
    }
}

// Files are read in blocks of 256 KiB: lines, line ends and markers that straddle a block
// boundary, and a line longer than a block, read as in one piece.
TEST_F(LoaderTest, FilesReadInBlocksAgreeWithThePlainModel) {
    constexpr std::size_t kBlock = 256 * 1024;
    std::mt19937 rng(7);
    auto lines = [&](std::size_t bytes) {
        std::string text;
        const char* kinds[] = {"Ver:IPre+SG+P1:PPre", "Nom:Mas+SG", "Adj:Fem+PL:Fem+SG", "Ver:"};
        while (text.size() < bytes)
            text += "f" + std::to_string(rng() % 100) + "\tlemme" + std::to_string(rng() % 3) + "\t" +
                    kinds[rng() % 4] + (rng() % 3 ? "\r\n" : "\n");
        return text;
    };
    // Text of exactly `offset` bytes that ends inside a filler line.
    auto upTo = [&](std::size_t offset) {
        std::string text = lines(offset - 200);
        std::string head = "f\tremplissage\tNom:Fem+PL:";
        text += head + std::string(offset - text.size() - head.size(), 'X');
        return text;
    };
    std::vector<std::string> cases = {
        upTo(kBlock - 1) + "\r\n" + lines(kBlock),  // CR LF across the boundary
        // A lone CR across it, inside a code; then a noun of its own, so that no later line
        // can fall into the filler's entry.
        upTo(kBlock - 6) + ":Mas+\rSG\ng\tgarde\tNom:Fem+SG\n" + lines(kBlock),
        upTo(kBlock) + "\n" + lines(1000),                                                // LF first byte of the block
        upTo(kBlock) + "\n\n" + lines(1000),                                              // empty line there
        lines(1000) + "f\tlong\tNom:" + std::string(600000, 'Y') + "\n" + lines(kBlock),  // buffer grows
        lines(kBlock + 5000) + "\x1A" + lines(1000),                                      // byte 26 in the second block
        lines(kBlock + 5000) + "f\tfin\tNom:Mas+SG\r",                                    // lone CR at the very end
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        WriteData(cases[i], cases[i], cases[i]);
        positions_.clear();
        LoadFiles();
        reference::Model model = reference::Load(cases[i], cases[i], cases[i]);
        ASSERT_EQ(reference::Compare(model, *lx_), "") << "case " << i;
        ASSERT_EQ(positions_, model.positions) << "case " << i;
    }
}

// --- the lexicon built for the program ---------------------------------------------------------

TEST_F(LoaderTest, LoadsTheBuiltLexicon) {
    const char* data = std::getenv("CLAVELLE_DATA_DIR");
    if (!data) GTEST_SKIP() << "CLAVELLE_DATA_DIR not set";
    LoadLexicon(data, *lx_, callbacks_);
    EXPECT_GE(lx_->VerbCount, 800);  // the floors of the default tables
    EXPECT_GE(lx_->NounCount, 4000);
    EXPECT_GE(lx_->AdjectiveCount, 1000);
    EXPECT_GT(lx_->FemaleNameCount, 10);
    EXPECT_GT(lx_->MaleNameCount, 10);
    EXPECT_EQ(positions_.back(), 100);
    int aimer = 0;
    for (int i = 1; i <= lx_->VerbCount; ++i) {
        ASSERT_FALSE(lx_->Verb(i).Slots[0].Empty()) << "verb " << i;
        if (lx_->Verb(i).Slots[0].View() == "aimer") aimer = i;
    }
    ASSERT_NE(aimer, 0);
    EXPECT_EQ(lx_->Verb(aimer).Slots[kIndicativePresentSlot].View(), "aime");
    EXPECT_EQ(lx_->Verb(aimer).Slots[kIndicativePresentSlot + 3].View(), "aimons");
}

}  // namespace
