// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What of a text can be typed (the stand-ins, blanks and accents) and how it is cut into
// passages.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "common/cp1252.h"
#include "reading/text_builder.h"

namespace {

// The text the builder makes of UTF-8 lines (each a paragraph).
ReadText Build(std::u32string_view text, const TypingRules& rules = AnyLayoutRules(), std::size_t length = 300) {
    TextBuilder builder(rules, length);
    for (const char32_t c : text) {
        if (c == '\n') {
            builder.EndParagraph();
        } else {
            builder.Add(c);
        }
    }
    builder.Finish();
    return std::move(builder.Text());
}

// Classic AZERTY's characters, roughly: no ’ “ ” … — – œ Œ, « » typed.
TypingRules Azerty() {
    TypingRules rules;
    rules.Typable = TypableBytes([](unsigned char b) {
        return (b >= 0x20 && b < 0x7F) ||
               std::string_view("\xE0\xE2\xE7\xE8\xE9\xEA\xEB\xEE\xEF\xF4\xF9\xFB\xA3\xA7\xB0\xB2\xB5\xAB\xBB\x80")
                       .find(char(b)) != std::string_view::npos;
    });
    return rules;
}

TEST(StandIns, WhatAFrenchTypistTypes) {
    const ReadText text = Build(
        U"\u2019a \u201Cb\u201D c\u2026 d\u2014e \uFB01n \u0153uvre \u00C6 \u00AB\u202Fx\u00A0\u00BB "
        U"e\u0301t\u00E9 \u0101 \u00F1 \u263A\U0001F600 \u200Bz",
        Azerty());
    EXPECT_EQ(text.Text, "'a \"b\" c... d-e fin oeuvre AE «\u00A0x\u00A0» été a n z"_cp);
    EXPECT_EQ(text.Dropped, 2);
    EXPECT_EQ(text.DroppedSample, U"\u263A\U0001F600");
    EXPECT_NE(text.Summary().find("2 caractères sans équivalent omis (\u263A \U0001F600)"), std::string::npos);

    // Any layout: œ is typed, the typographic marks still become their plain stand-ins...
    EXPECT_EQ(Build(U"\u0153 \u2019 \u2026 \u00AB").Text, "œ ' ... «"_cp);
    // ... unless the original typography is kept where the layout types it.
    TypingRules kept = AnyLayoutRules();
    kept.KeepTypography = true;
    EXPECT_EQ(Build(U"\u2019 \u2026 \u2014 \u2010", kept).Text, "\x92 \x85 \x97 -");
    kept.Typable[0x85] = false;
    EXPECT_EQ(Build(U"\u2026", kept).Text, "...");
    // Without ' on the layout, ’ has nothing to stand for it.
    TypingRules noQuote = AnyLayoutRules();
    noQuote.Typable['\''] = false;
    EXPECT_EQ(Build(U"l\u2019eau", noQuote).Text, "leau");
}

TEST(StandIns, BlanksCollapseAndParagraphsStay) {
    const ReadText text = Build(U"  Un\t\t deux \u00A0 trois.  \n\n \n Quatre\u2009cinq\u202F!\u00A0 ");
    EXPECT_EQ(text.Text, "Un deux\xA0trois.\nQuatre cinq\xA0!");
    EXPECT_EQ(text.Passage(0), "Un deux\xA0trois.\r\nQuatre cinq\xA0!");
}

TEST(Passages, WholeSentencesOfAboutTheLengthAsked) {
    std::u32string text;
    for (int i = 0; i < 40; ++i)
        text += U"Voici la phrase num\u00E9ro " + std::u32string(1, U'a' + char32_t(i % 26)) + U" du texte. ";
    text += U"M. Dupont et J. Verne lisent. \u00AB Bonjour\u00A0! \u00BB dit-il. Fin.";
    const ReadText read = Build(text, AnyLayoutRules(), 100);
    ASSERT_GT(read.PassageCount(), 5);
    for (int k = 0; k < read.PassageCount(); ++k) {
        const std::string passage = read.Passage(k);
        SCOPED_TRACE(passage);
        if (k + 1 < read.PassageCount()) {
            EXPECT_GE(passage.size(), 100u);
            EXPECT_LE(passage.size(), 150u);
        }
        EXPECT_TRUE(passage.ends_with('.')) << "a sentence cut";
        EXPECT_EQ(passage.find("M. Dupont"), passage.find("M.")) << "cut after an abbreviation";
        EXPECT_FALSE(passage.starts_with("Dupont") || passage.starts_with("Verne") || passage.starts_with("dit"));
        if (k > 0) {
            EXPECT_GT(read.Passages[std::size_t(k)].Source, read.Passages[std::size_t(k) - 1].Source);
        }
    }
    EXPECT_EQ(read.PassageFrom(0), 0);
    EXPECT_EQ(read.PassageFrom(read.Passages[3].Source), 3);
    EXPECT_EQ(read.PassageFrom(read.Passages[3].Source + 1), 4);
    EXPECT_EQ(read.PassageFrom(read.SourceLength + 10), read.PassageCount() - 1);

    // A sentence far longer than a passage is cut at blanks, never inside a word.
    std::u32string longSentence;
    for (int i = 0; i < 200; ++i) longSentence += U"mot" + std::u32string(1, U'a' + char32_t(i % 26)) + U" ";
    const ReadText cut = Build(longSentence, AnyLayoutRules(), 100);
    for (int k = 0; k < cut.PassageCount(); ++k) {
        EXPECT_LE(cut.Passage(k).size(), 160u);
        EXPECT_TRUE(cut.Passage(k).starts_with("mot"));
    }
    // A run of characters without any blank is cut anyway.
    EXPECT_GT(Build(std::u32string(2000, U'x'), AnyLayoutRules(), 100).PassageCount(), 5);
}

TEST(Passages, APlaceKeptIsAPassageStartWhateverTheStandIns) {
    std::u32string text;
    for (int i = 0; i < 60; ++i) text += U"C\u2019est l\u2019\u00E9t\u00E9\u2026 Il fait chaud\u00A0! ";
    const ReadText plain = Build(text, AnyLayoutRules(), 100);
    // The place of passage 5, kept, then the text read again with the original typography
    // and longer passages: a passage starts there all the same.
    const uint64_t place = plain.Passages[5].Source;
    TypingRules kept = AnyLayoutRules();
    kept.KeepTypography = true;
    TextBuilder builder(kept, 250);
    builder.CutAt(place);
    for (const char32_t c : text) builder.Add(c);
    builder.Finish();
    const ReadText& typographic = builder.Text();
    EXPECT_EQ(typographic.SourceLength, plain.SourceLength);
    EXPECT_EQ(typographic.Passages[std::size_t(typographic.PassageFrom(place))].Source, place);
    EXPECT_NE(plain.Passage(5), typographic.Passage(typographic.PassageFrom(place)));
}

}  // namespace
