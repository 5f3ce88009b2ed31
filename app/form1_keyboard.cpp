// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's keyboard layout: which one is counted, its own progress record, and
// the warning when the keys typed point at another.
#include <QScreen>

#include "app/course_window.h"
#include "app/form1.h"
#include "app/onscreen_keyboard.h"
#include "app/system_layout.h"
#include "common/cp1252.h"
#include "keyboard/xkb_layout.h"

namespace {
constexpr const char* kLayoutSetting = "disposition";
}  // namespace

Settings& TForm1::UserSettings() {
    if (!settings_) {
        settings_ = std::make_unique<Settings>(programFolder_ + "/" + kSettingsFileName);
        settings_->Load();
    }
    return *settings_;
}

void TForm1::SaveSettings() {
    try {
        UserSettings().Save();
    } catch (const IoError& failure) {
        ShowMessage(IoErrorMessage(failure));
    }
}

std::pair<LayoutName, std::string> TForm1::SystemLayoutOrDefault() const {
    if (const std::optional<SystemLayout> system = DetectSystemLayout())
        return {system->Name, "donnée par " + system->Source};
    return {LayoutName{}, "par défaut"};
}

void TForm1::SetUpLayout() {
    std::optional<LayoutName> chosen;
    if (const std::optional<std::string> value = UserSettings().Get(kLayoutSetting)) chosen = LayoutName::Parse(*value);
    auto [name, origin] = chosen ? std::pair(*chosen, std::string("choisie par vous")) : SystemLayoutOrDefault();
    layoutOrigin_ = origin;
    bool fellBack = false;
    std::shared_ptr<const KeyboardLayout> layout = LoadLayout(name, &fellBack);
    if (fellBack && !(name == LayoutName{}))
        layoutOrigin_ = "intégrée (la disposition «\u00A0" + name.Text() + "\u00A0» est introuvable)";
    SetActiveLayout(layout);
    translator_.Reset();
    // The record of this layout; the first paint loads it next.
    const bool pending = keeper_->StartupPending;
    keeper_ = std::make_unique<ProgressKeeper>(*record_, programFolder_ + "/" + RecordFileName(ActiveLayout().Name()));
    keeper_->StartupPending = pending;
}

bool TForm1::SwitchLayout(const LayoutName& name) {
    std::string error;
    std::unique_ptr<KeyboardLayout> loaded = LoadXkbLayout(name, &error);
    if (!loaded) {
        ShowMessage("Impossible de choisir cette disposition du clavier\u00A0: " + error + ".");
        return false;
    }
    // The samples so far belong to the layout they were typed on.
    if (keeper_->Ready()) keeper_->SaveProgress();
    SetActiveLayout(std::shared_ptr<const KeyboardLayout>(std::move(loaded)));
    translator_.Reset();
    ShortReset();
    keeper_ = std::make_unique<ProgressKeeper>(*record_, programFolder_ + "/" + RecordFileName(ActiveLayout().Name()));
    keeper_->StartupPending = false;
    keeper_->PrepareProgress([this](const std::string& notice) { ShowMessage(notice); });
    layoutWarned_ = false;
    evidence_ = LayoutEvidence();
    EstimateTextSpeed();
    if (Keyboard) Keyboard->SetLayout(ActiveLayoutShared());
    if (courseWindow_) courseWindow_->Start();
    return true;
}

void TForm1::ChooseLayout(const LayoutName& name) {
    if (name == ActiveLayout().Name() && !ActiveLayout().BuiltIn()) return;
    if (!SwitchLayout(name)) return;
    layoutOrigin_ = "choisie par vous";
    UserSettings().Set(kLayoutSetting, name.Text());
    SaveSettings();
}

void TForm1::ChooseSystemLayout() {
    UserSettings().Remove(kLayoutSetting);
    SaveSettings();
    const auto [name, origin] = SystemLayoutOrDefault();
    if ((!(name == ActiveLayout().Name()) || ActiveLayout().BuiltIn()) && !SwitchLayout(name)) return;
    layoutOrigin_ = origin;
}

void TForm1::ShowCourse(const std::string& practise) {
    if (!LexiconReady()) {
        ShowMessage("Le cours a besoin du dictionnaire, qui n'est pas chargé.");
        return;
    }
    const bool first = !courseWindow_;
    if (first) {
        CourseServices services;
        services.Beep = [this] {
            if (CheckBox1->isChecked() && services_.Beep) services_.Beep();
        };
        services.AppendHistory = [this](const HistoryRow& row) { return AppendRow(row); };
        services.SaveRecord = [this] {
            if (std::optional<IoError> failed = SaveReportingLater()) ShowMessage(IoErrorMessage(*failed));
        };
        services.ShowMessage = [this](const std::string& text) { ShowMessage(text); };
        courseWindow_ = new CourseWindow(*lexicon_, *record_, dataDirectory_, programFolder_, services, this);
        // Beside the main window, inside the screen.
        if (QScreen* screen = this->screen()) {
            const QRect area = screen->availableGeometry();
            QRect place(QPoint(0, 0), courseWindow_->size().boundedTo(area.size() - QSize(16, 40)));
            place.moveCenter(area.center());
            courseWindow_->resize(place.size());
            courseWindow_->move(place.topLeft());
        }
        courseWindow_->Start();
    }
    if (!practise.empty()) courseWindow_->Practise(practise);
    courseWindow_->show();
    courseWindow_->raise();
    courseWindow_->activateWindow();
    courseWindow_->Field->setFocus(Qt::OtherFocusReason);
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

void TForm1::WarnOfOtherLayout() {
    if (layoutWarned_ || evidence_.Size() < 20) return;
    if (evidence_.Agreeing(ActiveLayout()) * 10 >= evidence_.Size() * 9) return;
    // The French layouts are read once, at the first doubt.
    if (otherLayouts_.empty())
        for (const LayoutName& name : FrenchLayouts()) otherLayouts_.push_back(LoadXkbLayout(name));
    const std::vector<const KeyboardLayout*> others = evidence_.Contradicts(ActiveLayout(), otherLayouts_);
    if (others.empty()) return;
    layoutWarned_ = true;
    std::string names;
    for (const KeyboardLayout* other : others) names += (names.empty() ? "" : " ou ") + LayoutLabel(other->Name());
    ShowMessage("Votre clavier semble être " + names + "\u00A0; les statistiques sont comptées pour " +
                LayoutLabel(ActiveLayout().Name()) +
                ". Choisissez la disposition du clavier dans «\u00A0Statistiques détaillées\u00A0» (F2).");
}
