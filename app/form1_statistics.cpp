// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's way to the detailed statistics: the window that the button at the top
// right and F2 open (where the keyboard layout is chosen), and one history row for every
// judged run.
#include <QScreen>
#include <algorithm>

#include "app/form1.h"
#include "app/stats_window.h"

void TForm1::ShowStatistics() {
    if (!statsWindow_) {
        statsWindow_ = new StatsWindow(*record_, *lexicon_, programFolder_ + "/" + kHistoryFileName, this);
        // Over the main window, inside the screen (a small screen, or a large scale, gets
        // a smaller window: its parts are laid out to shrink). Sizes here include the frame.
        const QSize frame = frameGeometry().size() - size();
        QRect place(QPoint(0, 0), statsWindow_->size() + frame);
        place.moveCenter(frameGeometry().center());
        if (QScreen* screen = this->screen()) {
            const QRect area = screen->availableGeometry();
            place.setSize(place.size().boundedTo(area.size()));
            place.moveLeft(std::clamp(place.left(), area.left(), area.right() + 1 - place.width()));
            place.moveTop(std::clamp(place.top(), area.top(), area.bottom() + 1 - place.height()));
        }
        statsWindow_->resize(place.size() - frame);
        statsWindow_->move(place.topLeft());
        // A layout chosen there becomes the one counted, with its own record.
        statsWindow_->SetLayoutChooser([this](const LayoutName& name) {
            Guarded([&] { ChooseLayout(name); });
            statsWindow_->SetLayoutOrigin(LayoutOrigin());
            statsWindow_->Refresh();
        });
        statsWindow_->SetSystemLayoutChooser([this] {
            Guarded([&] { ChooseSystemLayout(); });
            statsWindow_->SetLayoutOrigin(LayoutOrigin());
            statsWindow_->Refresh();
        });
        // "S'entraîner" opens the course on a lesson built around the slow key or pair.
        statsWindow_->SetPractise([this](const std::string& characters) { Guarded([&] { ShowCourse(characters); }); });
    }
    statsWindow_->SetLayoutOrigin(LayoutOrigin());
    statsWindow_->Refresh();
    statsWindow_->show();
    statsWindow_->raise();
    statsWindow_->activateWindow();
    // The tabs take the keyboard, so that Ctrl+Tab moves between them from the start.
    statsWindow_->Tabs->setFocus(Qt::OtherFocusReason);
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
