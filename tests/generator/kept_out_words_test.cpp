// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the built lexicon lets the program show: 2,000 generated sentences and a course
// lesson at each unlock step of AZERTY and BÉPO hold no word of the bad-word and themes'
// lists, and no form of a lemma on them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/cp1252.h"
#include "exercise/course.h"
#include "generator/built_lexicon.h"
#include "generator/course_text.h"
#include "generator/driver.h"
#include "generator/random.h"
#include "keyboard/xkb_layout.h"
#include "stats/progress.h"
#include "tools/lexicon-builder/usage_lists.h"

namespace {

bool IsWordByte(char c) {
    return c != ' ' && c != '\'' && c != '\xA0' && std::string_view(".,;:!?«»()").find(c) == std::string_view::npos;
}

class KeptOutWords : public ::testing::Test {
protected:
    void SetUp() override {
        lexicon_.reset(LoadBuiltLexicon());
        if (!lexicon_) GTEST_SKIP() << "CLAVELLE_DATA_DIR not set";
        lists_ = lexbuild::ReadUsageLists();
        const Lexicon& l = *lexicon_;
        const auto add = [&](const auto& entry, int lemmaSlot) {
            for (const ShortString& form : entry.Slots)
                if (!form.Empty()) lemmas_[lexbuild::FoldWord(form.View())].push_back(entry.Slots[lemmaSlot].View());
        };
        for (int v = 1; v <= l.VerbCount; ++v) add(l.Verb(v), kVerbInfinitive);
        for (int n = 1; n <= l.NounCount; ++n) add(l.Noun(n), kNominalLemma);
        for (int a = 1; a <= l.AdjectiveCount; ++a) add(l.Adjective(a), kNominalLemma);
    }

    // Why a word of a text may not be shown: it is listed, or a form of a listed lemma.
    std::string Fault(const std::string& word) const {
        const auto listed = [&](std::string_view w) { return lists_.IsBadWord(w) || lists_.ThemeOf(w) >= 0; };
        if (listed(word)) return "listed";
        const auto found = lemmas_.find(lexbuild::FoldWord(word));
        if (found != lemmas_.end())
            for (std::string_view lemma : found->second)
                if (listed(lemma)) return "a form of " + Cp1252ToUtf8(std::string(lemma));
        return {};
    }

    void ExpectClean(const std::string& text) const {
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = start;
            while (end < text.size() && IsWordByte(text[end])) ++end;
            if (end > start) {
                const std::string word = text.substr(start, end - start);
                const std::string fault = Fault(word);
                const std::size_t from = start < 60 ? 0 : start - 60;
                EXPECT_EQ(fault, "") << Cp1252ToUtf8(word)
                                     << " in: " << Cp1252ToUtf8(text.substr(from, end + 60 - from));
            }
            start = end + 1;
        }
    }

    std::unique_ptr<Lexicon> lexicon_;
    lexbuild::UsageLists lists_;
    std::unordered_map<std::string, std::vector<std::string_view>> lemmas_;  // folded form -> its lemmas
};

}  // namespace

TEST_F(KeptOutWords, NoneInGeneratedSentences) {
    std::unique_ptr<ProgressRecord, void (*)(ProgressRecord*)> record(ReserveProgress(), ReleaseProgress);
    SeedRandom(23);
    for (int batch = 0; batch < 4; ++batch)
        ExpectClean(GenerateSentences(*lexicon_, *record, 500, batch % 2 == 0, nullptr));
}

TEST_F(KeptOutWords, NoneInCourseLessonsAtEveryUnlockStep) {
    const CourseWords words(*lexicon_, LoadWordRanking(BuiltLexiconFolder()));
    for (const char* name : {"fr", "fr(bepo)"}) {
        SCOPED_TRACE(name);
        const std::unique_ptr<KeyboardLayout> layout = LoadXkbLayout(*LayoutName::Parse(name));
        ASSERT_TRUE(layout);
        const std::vector<CourseStep> order = CourseOrder(*layout);
        std::string allowed;
        for (std::size_t step = 0; step < order.size(); ++step) {
            allowed += order[step].Chars;
            if (int(step) + 1 < kStartLetters) continue;
            const CourseIndex index(words, allowed);
            SeedRandom(step);
            for (const char focus : order[step].Chars) {
                const CourseText lesson = MakeCourseText(index, focus, {}, 120);
                ExpectClean(AddDrillCharacter(lesson.text, static_cast<unsigned char>(focus), allowed));
            }
        }
    }
}
