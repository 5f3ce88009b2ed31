// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Copying a model text in the window: lines, the end of a run, resets, the clock and the
// interruption.
#include "form_fixture.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "common/cp1252.h"
#include "keyboard/layout.h"
#include "support/test_support.h"

namespace {
using test_support::FakeClock;

// Lowers the file-size limit of this process for a while; past it a write fails (EFBIG)
// instead of the signal ending the process.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved);
        previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = saved;
        lower.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
    }
    rlimit saved{};
    void (*previous)(int) = nullptr;
};

int TotalSamples(const ProgressRecord& record) {
    int total = 0;
    for (auto& row : record.Cells)
        for (auto& cell : row) total += cell.Count;
    return total;
}
}  // namespace

using TypingFlow = FormTest;

TEST_F(TypingFlow, WholeTextEndsWithSummaryVerdictAndSave) {
    ShowAndLoad();
    FakeClock clock(36000000);
    SetModel("Un\r\n\r\nDeux!");
    EXPECT_TRUE(form_->Edit2->isEnabled());
    const std::string before = ReadBytes(ProgressPath());

    TypeText("Un");
    EXPECT_EQ(form_->Run().CurrentLine, 2) << "the empty line is passed over at once";
    EXPECT_EQ(form_->Edit2->text(), QStringLiteral(" "));
    clock.now += 1000;
    Type('x');  // a wrong key
    EXPECT_EQ(beeps_, 1);
    EXPECT_EQ(form_->Edit2->text(), QStringLiteral(" ")) << "wrong keys never reach the field";
    for (unsigned char ch : std::string("Deux!")) {
        clock.now += 200;
        Type(ch);
    }
    ASSERT_EQ(messages_.size(), 1u) << "the verdict box";
    // 7 correct characters, 1 error: 12.5 %.
    EXPECT_NE(messages_[0].find("Sachez toutefois"), std::string::npos);
    const std::string summary = FromQString(form_->Edit1->text());
    EXPECT_EQ(summary.rfind("Votre vitesse moyenne est de ", 0), 0u) << summary;
    EXPECT_NE(summary.find("12"), std::string::npos);
    EXPECT_EQ(form_->Run().CorrectCount, 0);
    EXPECT_EQ(form_->Run().CurrentLine, 0);
    EXPECT_NE(ReadBytes(ProgressPath()), before) << "saved at the end of the text";
    EXPECT_EQ(ReadBytes(ProgressPath()).size(), 671058u);
}

TEST_F(TypingFlow, ARestartKeepsSamplesInMemoryButSavesNothing) {
    ShowAndLoad();
    SetModel("abcdef");
    const std::string before = ReadBytes(ProgressPath());
    TypeText("abc");
    EXPECT_EQ(form_->Run().CorrectCount, 3);
    form_->Button1->click();
    EXPECT_EQ(form_->Run().CorrectCount, 0);
    EXPECT_EQ(form_->Edit2->text(), QStringLiteral(" "));
    EXPECT_EQ(ReadBytes(ProgressPath()), before);
    EXPECT_GT(TotalSamples(form_->Record()), 0);
}

TEST_F(TypingFlow, ShortTextsDisableTheTypingField) {
    ShowAndLoad();
    SetModel("ab");
    EXPECT_FALSE(form_->Edit2->isEnabled());
    EXPECT_EQ(FromQString(form_->Edit1->text()),
              std::string("Vous ne pouvez pas vous entraîner sur un mot comportant moins de 3 caractères..."_cp));
    EXPECT_EQ(FromQString(form_->Memo2->toPlainText()),
              std::string("Aucune information précise ne peut être donnée..."_cp));
    form_->Button1->click();  // nothing to restart
    SetModel("abc");
    EXPECT_TRUE(form_->Edit2->isEnabled());
}

TEST_F(TypingFlow, TogglingTheSoundRestartsTheRun) {
    ShowAndLoad();
    SetModel("abcdef");
    TypeText("ab");
    form_->CheckBox1->setChecked(false);
    EXPECT_EQ(form_->Run().CorrectCount, 0);
    Type('z');
    EXPECT_EQ(beeps_, 0) << "sound off";
}

TEST_F(TypingFlow, InterruptionStopsTheRunAtTheChosenSecond) {
    ShowAndLoad();
    FakeClock clock(9 * 3600000 + 29 * 60000 + 50000);  // 09:29:50
    SetModel("abcdefghij");
    form_->CheckBox1->setChecked(false);
    form_->CheckBox2->setChecked(true);
    EXPECT_TRUE(form_->Memo3->isEnabled());
    EXPECT_EQ(form_->Memo3->Text(), "09:29:50");
    form_->Memo3->SetText("9:30:00");  // never matches the clock's form
    TypeText("abcde");
    clock.now = 9 * 3600000 + 30 * 60000;
    form_->Timer1Timer();
    EXPECT_TRUE(messages_.empty());
    form_->Memo3->SetText("09:30:00");
    const std::string before = ReadBytes(ProgressPath());
    form_->Timer1Timer();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].rfind(std::string("Vous avez été interrompu selon votre désir à 09:30:00.\r\n"), 0), 0u)
        << messages_[0];
    EXPECT_EQ(beeps_, 1) << "the interruption beeps even with the sound off";
    EXPECT_FALSE(form_->CheckBox2->isChecked());
    EXPECT_EQ(form_->Memo3->Text(), "00:00:00");
    EXPECT_EQ(form_->Run().CorrectCount, 0);
    EXPECT_NE(ReadBytes(ProgressPath()), before) << "saved at the interruption";
}

TEST_F(TypingFlow, TheClockShowsTheTimeAndABackwardStepClosesAndSaves) {
    ShowAndLoad();
    FakeClock clock(10 * 3600000);
    form_->Timer1Timer();
    EXPECT_EQ(form_->StaticText1->text(), QStringLiteral("10:00:00"));
    RecordKeyInterval(form_->Record(), 5, 6, 321);
    clock.now = 23 * 3600000 + 59 * 60000 + 59000;
    form_->Timer1Timer();
    clock.now = 1000;  // past midnight from 23:59:59: accepted
    form_->Timer1Timer();
    EXPECT_TRUE(form_->isVisible());
    clock.now = 500;  // backwards
    form_->Timer1Timer();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(ReadBytes(ProgressPath())[((5 - 1) * 51 + (6 - 1)) * 258 + 256], 1);
}

TEST_F(TypingFlow, APauseBringsTheCurrentLineBackToTheTop) {
    ShowAndLoad();
    FakeClock clock(1000000);
    std::string text;
    for (int i = 0; i < 60; ++i) text += "ligne" + std::to_string(i) + " ";
    SetModel(text);
    ASSERT_GT(form_->Memo1->LineCount(), 3);
    TypeText(form_->Memo1->Line(0));
    ASSERT_EQ(form_->Run().CurrentLine, 1);
    form_->Memo1->ScrollToLine(3);
    clock.now += 500;
    Type(static_cast<unsigned char>(form_->Memo1->Line(1)[0]));
    EXPECT_EQ(form_->Memo1->FirstVisibleLine(), 3) << "exactly 500 ms does not scroll";
    clock.now += 501;
    Type(static_cast<unsigned char>(form_->Memo1->Line(1)[1]));
    EXPECT_EQ(form_->Memo1->FirstVisibleLine(), 1);
}

TEST_F(TypingFlow, ANewTextInTheMiddleOfALineJudgesNothing) {
    ShowAndLoad();
    FakeClock clock(2000000);
    SetModel("abcdef");
    TypeText("ab");
    clock.now += 1000;
    const std::string before = ReadBytes(ProgressPath());
    form_->OK->click();  // the new text empties the memo first: no line is "completed" there
    EXPECT_TRUE(messages_.empty()) << messages_.front();
    EXPECT_EQ(ReadBytes(ProgressPath()), before);
    EXPECT_FALSE(form_->Memo1->Text().empty());
}

TEST_F(TypingFlow, ATextStartingWithEmptyLinesCanBeTyped) {
    ShowAndLoad();
    FakeClock clock(3000000);
    SetModel("\r\n\r\nabc");
    TypeText("a");
    clock.now += 500;
    TypeText("bc");
    ASSERT_EQ(messages_.size(), 1u) << "the run ends with its verdict";
    EXPECT_EQ(form_->Run().ErrorCount, 0);
}

TEST_F(TypingFlow, AFailedSaveIsReportedAfterTheRunIsJudgedAndDoesNotRepeat) {
    ShowAndLoad();
    // A file-size limit below the record's size makes every save fail, as a full disk.
    const std::string before = ReadBytes(ProgressPath());
    FileSizeLimit limit(100000);
    FakeClock clock(8 * 3600000);
    SetModel("abc");
    TypeText("a");
    clock.now += 300;
    TypeText("bc");
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[1], "Disque plein : " + ProgressPath());
    EXPECT_EQ(form_->Run().CorrectCount, 0) << "the run was reset all the same";
    EXPECT_EQ(ReadBytes(ProgressPath()), before);

    messages_.clear();
    SetModel("abcdefgh");
    form_->CheckBox2->setChecked(true);
    form_->Memo3->SetText("08:00:05");
    TypeText("abc");
    clock.now = 8 * 3600000 + 5000;
    form_->Timer1Timer();
    form_->Timer1Timer();
    form_->Timer1Timer();
    ASSERT_EQ(messages_.size(), 2u) << "one interruption, one report";
    EXPECT_EQ(messages_[0].rfind(std::string("Vous avez été interrompu"), 0), 0u);
    EXPECT_EQ(messages_[1], "Disque plein : " + ProgressPath());
    EXPECT_FALSE(form_->CheckBox2->isChecked());
    EXPECT_GT(TotalSamples(form_->Record()), 0) << "the samples stay in memory for the next save";
}

TEST_F(TypingFlow, KeyEventsAndComposedCharactersReachTheCheck) {
    ShowAndLoad();
    FakeClock clock(4000000);
    SetModel(Utf8ToCp1252("Tête-à-tête"));
    form_->Edit2->setFocus();
    // A capital: Shift goes down, then the letter.
    QTest::keyPress(form_->Edit2, Qt::Key_Shift);
    QKeyEvent capital(QEvent::KeyPress, Qt::Key_T, Qt::ShiftModifier, QStringLiteral("T"));
    QApplication::sendEvent(form_->Edit2, &capital);
    QTest::keyRelease(form_->Edit2, Qt::Key_Shift);
    clock.now += 150;
    // "ê" arrives composed, as an input-method commit: its key-downs are supplied.
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("ê"));
    QApplication::sendEvent(form_->Edit2, &composed);
    EXPECT_EQ(form_->Edit2->text(), QStringLiteral(" Tê"));
    const int shift = KeyOfVirtualKey[VK_SHIFT];
    const int deadKey = KeyOfVirtualKey[VK_OEM_6];
    EXPECT_EQ(form_->Record().Cell(shift, KeyOfVirtualKey['T']).Count, 0) << "the run's first character";
    EXPECT_EQ(form_->Record().Cell(deadKey, KeyOfVirtualKey['E']).Count, 1);
    EXPECT_EQ(form_->Record().Cell(deadKey, KeyOfVirtualKey['E']).Times[0], 150);
    // A wrong key event never reaches the field.
    QTest::keyClick(form_->Edit2, Qt::Key_X);
    EXPECT_EQ(form_->Edit2->text(), QStringLiteral(" Tê"));
    EXPECT_EQ(beeps_, 1);

    // ŷ (dead circumflex, then y) has no Windows-1252 byte: never the model's "?".
    SetModel("?!?");
    composed.setCommitString(QStringLiteral("ŷ"));
    QApplication::sendEvent(form_->Edit2, &composed);
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("ŷ"));
    QApplication::sendEvent(form_->Edit2, &typed);
    EXPECT_EQ(form_->Edit2->text(), QStringLiteral(" "));
    EXPECT_EQ(beeps_, 3);
}
