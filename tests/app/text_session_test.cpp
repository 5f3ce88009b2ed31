// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// "Vos textes" without its window: a text opened, a passage typed with a wrong key and
// started again, its history row and the place kept, the next opening resumed there.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/text_session.h"
#include "common/cp1252.h"
#include "keyboard/layout.h"
#include "support/test_support.h"

namespace {

class TextSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = test_support::MakeTempFolder("clavelle-textes");
        textPath_ = folder_ + "/lettre.txt";
        // A heading and a paragraph, then more: the first passage holds two paragraphs.
        std::string text = "Chapitre premier\r\nLe matin était clair et la rivière coulait sous le pont.";
        for (int i = 0; i < 12; ++i) text += " Marie regarda l’eau " + std::to_string(i) + " fois…";
        test_support::WriteBytes(textPath_, text);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // Opens the text and polls its reading to the end, as the window's timer does.
    TextSession::Polled OpenAndRead(TextSession& session) {
        session.SetLayout(ActiveLayout(), false);
        session.Open(textPath_, PassageLengthForSentences(1));
        TextSession::Polled last;
        bool shown = false;
        for (int i = 0; i < 5000 && session.Loading(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            last = session.Poll();
            shown = shown || last.NewPassage;
        }
        EXPECT_TRUE(shown);
        return last;
    }

    // Strikes a character at the time given.
    static TextSession::KeyOutcome Strike(TextSession& session, unsigned char c, uint32_t ms) {
        session.KeyDown(KeyVirtualCodes[KeyOfChar[c == 0xA0 ? ' ' : c]]);
        return session.KeyPress(c == 0xA0 ? ' ' : c, KeyTime{ms, true, true});
    }

    std::string folder_;
    std::string textPath_;
};

TEST_F(TextSessionTest, APassageTypedIsARunAndItsPlaceIsKept) {
    const test_support::RecordPtr record = test_support::NewRecord();
    TextSession session(*record, folder_);
    EXPECT_EQ(session.LoadPlaces(), "");
    const TextSession::Polled read = OpenAndRead(session);
    EXPECT_TRUE(read.TextRead);
    EXPECT_EQ(read.Message, "");
    ASSERT_GT(session.PassageCount(), 2);
    EXPECT_EQ(session.PassageIndex(), 0);
    ASSERT_EQ(session.Lines().size(), 2u);
    EXPECT_EQ(session.Lines()[0], "Chapitre premier");
    EXPECT_EQ(session.Passage(), session.Lines()[0] + "\r\n" + session.Lines()[1]);
    EXPECT_EQ(session.Heading(), "lettre — passage 1 sur " + std::to_string(session.PassageCount()) + " (0\u00A0%)");
    EXPECT_EQ(session.Summary().rfind("UTF-8, ", 0), 0u);
    // Opened, the text is among the recent ones.
    ASSERT_EQ(session.Places().Recent().size(), 1u);

    // A wrong key marks the character; Escape starts the passage again, marks cleared.
    EXPECT_TRUE(Strike(session, 'C', 1000).Correct);
    EXPECT_FALSE(Strike(session, 'x', 1100).Correct);
    EXPECT_EQ(session.Missed()[1], 1);
    session.Restart();
    EXPECT_EQ(session.Typed(), 0);
    EXPECT_EQ(session.Missed()[1], 0);

    // Typed again with one wrong key; the heading's paragraph end types nothing.
    const std::string whole = session.Lines()[0] + session.Lines()[1];
    uint32_t ms = 5000;
    TextSession::KeyOutcome outcome;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i == 20) {
            EXPECT_FALSE(Strike(session, '#', ms += 50).Correct);
        }
        outcome = Strike(session, static_cast<unsigned char>(whole[i]), ms += 200);
        ASSERT_TRUE(outcome.Correct) << i;
        EXPECT_EQ(outcome.Finished, i + 1 == whole.size());
    }
    EXPECT_TRUE(session.Finished());
    EXPECT_FALSE(Strike(session, 'a', ms += 200).Correct);  // the passage is over
    ASSERT_TRUE(outcome.Row);
    EXPECT_EQ(outcome.Row->Errors, 1);
    EXPECT_EQ(outcome.Row->Characters, int32_t(whole.size()));
    EXPECT_EQ(outcome.Row->Speed, 50);  // a key every 200 ms: 300 characters a minute
    EXPECT_NE(FormatHistoryRow(*outcome.Row).find(",texte,fin du texte,fr\n"), std::string::npos);
    EXPECT_EQ(outcome.Result.rfind("Passage 1 sur " + std::to_string(session.PassageCount()) +
                                       " terminé\u00A0: 50\u00A0mots/min, 1,0\u00A0% d'erreurs.\nVotre vitesse",
                                   0),
              0u)
        << outcome.Result;
    EXPECT_EQ(outcome.PlaceError, "");
    EXPECT_GT(record->Cell(KeyOfChar['h'], KeyOfChar['a']).Count, 0);

    // The place is kept: the next opening resumes at the second passage.
    ReadingPlaces kept(folder_);
    EXPECT_EQ(kept.Load().State, PlacesLoad::Status::Read);
    ASSERT_EQ(kept.Recent().size(), 1u);
    EXPECT_EQ(kept.Recent()[0].Passage, 1);
    EXPECT_EQ(kept.Recent()[0].Typed, 1);
    EXPECT_DOUBLE_EQ(kept.Recent()[0].MeanWpm, 50);
    std::string failed;
    ASSERT_TRUE(session.Next(failed));
    const std::string second = session.Passage();
    TextSession again(*record, folder_);
    again.LoadPlaces();
    OpenAndRead(again);
    EXPECT_EQ(again.PassageIndex(), 1);
    EXPECT_EQ(again.Passage(), second);
}

// A text moved is found again at its place; a text changed asks whether to start again.
TEST_F(TextSessionTest, AMovedTextResumesAndAChangedOneMayStartAgain) {
    const test_support::RecordPtr record = test_support::NewRecord();
    {
        TextSession session(*record, folder_);
        session.LoadPlaces();
        OpenAndRead(session);
        std::string failed;
        ASSERT_TRUE(session.Next(failed));
        ASSERT_TRUE(session.Next(failed));
    }
    const std::string moved = folder_ + "/rangé.txt";
    std::filesystem::rename(textPath_, moved);
    textPath_ = moved;
    TextSession session(*record, folder_);
    session.LoadPlaces();
    TextSession::Polled read = OpenAndRead(session);
    EXPECT_EQ(session.PassageIndex(), 2);
    EXPECT_NE(read.Message.find("retrouvé sous un autre nom"), std::string::npos) << read.Message;
    EXPECT_FALSE(read.AskChanged);

    test_support::WriteBytes(moved, "Un autre texte. " + test_support::ReadBytes(moved));
    read = OpenAndRead(session);
    EXPECT_TRUE(read.AskChanged);
    EXPECT_NE(read.Message.find("a changé"), std::string::npos) << read.Message;
    EXPECT_EQ(session.StartOver(), "");
    EXPECT_EQ(session.PassageIndex(), 0);
    EXPECT_EQ(session.Passage().rfind("Un autre texte.", 0), 0u);
    ReadingPlaces kept(folder_);
    kept.Load();
    ASSERT_EQ(kept.Recent().size(), 1u);
    EXPECT_EQ(kept.Recent()[0].Passage, 0);
    EXPECT_EQ(kept.Recent()[0].Identity.Path, moved);
}

}  // namespace
