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
        // A layout chosen there becomes the one counted, with its own record; the window
        // shows where the layout now comes from even when it stays the same.
        const auto shown = [this] {
            statsWindow_->SetLayoutOrigin(edge_->Origin());
            statsWindow_->Refresh();
        };
        statsWindow_->SetLayoutChooser([this, shown](const LayoutName& name) {
            Guarded([&] { edge_->Choose(name); });
            shown();
        });
        statsWindow_->SetSystemLayoutChooser([this, shown] {
            Guarded([&] { edge_->ChooseSystem(); });
            shown();
        });
        // "S'entraîner" opens the course on a lesson built around the slow key or pair.
        statsWindow_->SetPractise([this](const std::string& characters) { Guarded([&] { ShowCourse(characters); }); });
    }
    statsWindow_->SetLayoutOrigin(edge_->Origin());
    statsWindow_->Refresh();
    statsWindow_->show();
    statsWindow_->raise();
    statsWindow_->activateWindow();
    // The tabs take the keyboard, so that Ctrl+Tab moves between them from the start.
    statsWindow_->Tabs->setFocus(Qt::OtherFocusReason);
}
