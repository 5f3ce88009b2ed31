// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's steps that its handlers, its keyboard layout and course, and its
// statistics all take: the guard that shows a file error, messages, the resets, the
// estimate, the marking of the next character, the saves of the record and the history.
// They call nothing of those files, which call them.
#include <QPalette>
#include <QTimer>

#include "app/form1.h"
#include "app/onscreen_keyboard.h"
#include "app/stats_window.h"
#include "stats/estimate.h"

bool TForm1::LexiconReady() const { return !loading_ && lexicon_->VerbCount > 0; }

void TForm1::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const IoError& error) {
        ShowMessage(IoErrorMessage(error));
    }
}

void TForm1::ShowMessage(const std::string& text) {
    if (services_.ShowMessage) services_.ShowMessage(text);
}

void TForm1::SetEdit2Blank() {
    Edit2->SetText(" ");
    Edit2->SetCaret(1);
}

void TForm1::ShortReset() {
    edge_->ForgetDeadKey();
    SetEdit2Blank();
    run_.ClearCounters();
    TimeStamp(run_.RunStartTime);
    ShowNext();
}

void TForm1::EstimateTextSpeed() {
    run_.CurrentLine = 0;
    Memo2->SetText(EstimateText(EstimateSpeeds(Memo1->Text(), *record_)));
    Memo2->ScrollToTop();
    ShowNext();
}

void TForm1::SyncCursor() {
    if (Memo1->Generation() != cursorGeneration_) {
        cursor_.SetLines(Memo1->Lines());
        cursorGeneration_ = Memo1->Generation();
    }
    cursor_.MoveTo(run_.CurrentLine, int(Edit2->text().size()) - 1);  // the field starts with a blank
}

void TForm1::ShowNext() {
    SyncCursor();
    const bool expecting = Edit2->isEnabled() && cursor_.Expected();
    if (Keyboard && Keyboard->isVisible())
        Keyboard->ShowNext(expecting ? cursor_.ExpectedStrokes(Layout()) : std::vector<Keystroke>());
    if (!expecting) {
        Memo1->MarkCharacter(-1, 0);
        return;
    }
    Memo1->MarkCharacter(cursor_.CurrentLine(), cursor_.Typed());
}

void TForm1::FlashWrongKey() {
    if (Keyboard && Keyboard->isVisible()) Keyboard->FlashWrong(lastPlace_);
    Edit2->FlashWrong();
}

std::optional<IoError> TForm1::SaveReportingLater() {
    try {
        edge_->Keeper().SaveProgress();
    } catch (const IoError& error) {
        return error;
    }
    return std::nullopt;
}

std::string TForm1::AppendHistoryRow(int32_t elapsed, bool interrupted) {
    HistoryRow row =
        HistoryRowNow(run_.CorrectCount, run_.ErrorCount, elapsed, WordsPerMinute(run_.CorrectCount, elapsed),
                      ErrorPercent(run_.ErrorCount, run_.CorrectCount), CheckBox3->isChecked(), interrupted);
    row.Layout = Layout().Name().Text();  // the layout the run was typed and counted on
    return AppendRow(row);
}

std::string TForm1::AppendRow(const HistoryRow& row) {
    if (!history_) history_ = std::make_unique<HistoryWriter>(programFolder_ + "/" + kHistoryFileName);
    std::string message = history_->Append(row);
    if (statsWindow_ && statsWindow_->isVisible()) statsWindow_->Refresh();
    return message;
}
