// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's course and on-screen keyboard, and what it does when the keyboard
// layout changes.
#include <QScreen>

#include "app/course_window.h"
#include "app/form1.h"
#include "app/onscreen_keyboard.h"
#include "app/stats_window.h"
#include "app/text_window.h"
#include "common/cp1252.h"

void TForm1::LayoutChanged() {
    // The run under way was typed on the old layout: it starts again on the new one.
    ShortReset();
    EstimateTextSpeed();
    if (Keyboard) Keyboard->SetLayout(edge_->LayoutShared());
    if (statsWindow_) {
        statsWindow_->SetLayoutOrigin(edge_->Origin());
        if (statsWindow_->isVisible()) statsWindow_->Refresh();
    }
}

CourseServices TForm1::TypingServices() {
    CourseServices services;
    services.Beep = [this] {
        if (CheckBox1->isChecked() && services_.Beep) services_.Beep();
    };
    services.AppendHistory = [this](const HistoryRow& row) { return AppendRow(row); };
    services.SaveRecord = [this] {
        if (std::optional<IoError> failed = SaveReportingLater()) ShowMessage(IoErrorMessage(*failed));
    };
    services.ShowMessage = [this](const std::string& text) { ShowMessage(text); };
    return services;
}

void TForm1::PlaceBeside(QWidget* window) {
    if (QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        QRect place(QPoint(0, 0), window->size().boundedTo(area.size() - QSize(16, 40)));
        place.moveCenter(area.center());
        window->resize(place.size());
        window->move(place.topLeft());
    }
}

void TForm1::ShowCourse(const std::string& practise) {
    if (!LexiconReady()) {
        ShowMessage("Le cours a besoin du dictionnaire, qui n'est pas chargé.");
        return;
    }
    const bool first = !courseWindow_;
    if (first) {
        courseWindow_ = new CourseWindow(*lexicon_, *edge_, *record_, dataDirectory_, TypingServices(), this);
        PlaceBeside(courseWindow_);
        courseWindow_->Start();
    }
    if (!practise.empty()) courseWindow_->Practise(practise);
    courseWindow_->show();
    courseWindow_->raise();
    courseWindow_->activateWindow();
    courseWindow_->Field->setFocus(Qt::OtherFocusReason);
}

void TForm1::ShowTexts(const std::string& path) {
    // The texts are read for the layout, which the first paint sets up.
    if (loading_ || edge_->Keeper().StartupPending) {
        ShowMessage("«\u00A0Vos textes\u00A0» s'ouvrira une fois le programme prêt, dans un instant.");
        return;
    }
    if (!textWindow_) {
        TextServices services;
        static_cast<CourseServices&>(services) = TypingServices();
        services.PassageLength = [this] { return PassageLengthForSentences(SpinEdit1->value()); };
        textWindow_ = new TextWindow(*edge_, *record_, services, this);
        PlaceBeside(textWindow_);
        textWindow_->Start();
    }
    textWindow_->show();
    textWindow_->raise();
    textWindow_->activateWindow();
    textWindow_->Field->setFocus(Qt::OtherFocusReason);
    textWindow_->Open(path);
}

void TForm1::ShowKeyboard(bool shown) {
    if (shown == (Keyboard && Keyboard->isVisible())) return;
    if (!Keyboard) {
        Keyboard = new OnscreenKeyboard(this);
        Keyboard->SetLayout(ActiveLayoutShared());
        Keyboard->hide();
    }
    // The keyboard goes under the typing field; what lies below moves down, and the window
    // grows by as much.
    const int top = Edit2->geometry().bottom() + 6;
    const int height = Keyboard->sizeHint().height() * width() / std::max(1, Keyboard->sizeHint().width());
    const int shift = shown ? height + 6 : -(height + 6);
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget == Keyboard || widget->isWindow() || widget->y() < top) continue;
        widget->move(widget->x(), widget->y() + shift);
    }
    setFixedSize(width(), this->height() + shift);
    Keyboard->setGeometry(Edit2->x(), top, Edit2->width(), height);
    Keyboard->setVisible(shown);
    // The grown window stays inside the screen, its title bar first.
    if (QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        const QRect frame = frameGeometry();
        const int overflow = frame.bottom() - area.bottom();
        if (overflow > 0) move(x(), std::max(area.top(), frame.top() - overflow));
    }
    ShowNext();
}
