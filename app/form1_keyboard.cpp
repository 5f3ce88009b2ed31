// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's keyboard layout: which one is counted, its own progress record, and
// the warning when the keys typed point at another.
#include "app/form1.h"
#include "app/system_layout.h"
#include "common/cp1252.h"
#include "keyboard/xkb_layout.h"

namespace {
constexpr const char* kLayoutSetting = "disposition";
}  // namespace

void TForm1::SetUpLayout() {
    if (!settings_) {
        settings_ = std::make_unique<Settings>(programFolder_ + "/" + kSettingsFileName);
        settings_->Load();
    }
    LayoutName name;
    layoutOrigin_ = "par défaut";
    std::optional<LayoutName> chosen;
    if (const std::optional<std::string> value = settings_->Get(kLayoutSetting)) chosen = LayoutName::Parse(*value);
    if (chosen) {
        name = *chosen;
        layoutOrigin_ = "choisie par vous";
    } else if (const std::optional<SystemLayout> system = DetectSystemLayout()) {
        name = system->Name;
        layoutOrigin_ = "donnée par " + system->Source;
    }
    bool fellBack = false;
    std::shared_ptr<const KeyboardLayout> layout = LoadLayout(name, &fellBack);
    if (fellBack && !(name == LayoutName{}))
        layoutOrigin_ = "intégrée (la disposition « " + name.Text() + " » est introuvable)";
    SetActiveLayout(layout);
    translator_.Reset();
    // The record of this layout; the first paint loads it next.
    const bool pending = keeper_->StartupPending;
    keeper_ = std::make_unique<ProgressKeeper>(*record_, programFolder_ + "/" + RecordFileName(Layout().Name()));
    keeper_->StartupPending = pending;
}

void TForm1::ChooseLayout(const LayoutName& name) {
    if (name == Layout().Name() && !Layout().BuiltIn()) return;
    std::string error;
    std::unique_ptr<KeyboardLayout> loaded = LoadXkbLayout(name, &error);
    if (!loaded) {
        ShowMessage(Utf8ToCp1252("Impossible de choisir cette disposition du clavier : " + error + "."));
        return;
    }
    // The samples so far belong to the layout they were typed on.
    if (keeper_->Ready()) keeper_->SaveProgress();
    SetActiveLayout(std::shared_ptr<const KeyboardLayout>(std::move(loaded)));
    translator_.Reset();
    ShortReset();
    keeper_ = std::make_unique<ProgressKeeper>(*record_, programFolder_ + "/" + RecordFileName(Layout().Name()));
    keeper_->StartupPending = false;
    keeper_->PrepareProgress([this](const std::string& notice) { ShowMessage(notice); });
    layoutOrigin_ = "choisie par vous";
    layoutWarned_ = false;
    evidence_ = LayoutEvidence();
    settings_->Set(kLayoutSetting, name.Text());
    try {
        settings_->Save();
    } catch (const IoError& failure) {
        ShowMessage(IoErrorMessage(failure));
    }
    EstimateTextSpeed();
}

void TForm1::WarnOfOtherLayout() {
    if (layoutWarned_ || evidence_.Size() < 20) return;
    if (evidence_.Agreeing(Layout()) * 10 >= evidence_.Size() * 9) return;
    std::vector<std::shared_ptr<const KeyboardLayout>> candidates;
    for (const LayoutName& name : FrenchLayouts())
        if (!(name == Layout().Name())) candidates.push_back(LoadXkbLayout(name));
    const KeyboardLayout* other = evidence_.Contradicts(Layout(), candidates);
    if (!other) return;
    layoutWarned_ = true;
    ShowMessage(Utf8ToCp1252("Votre clavier semble être " + LayoutLabel(other->Name()) +
                             " ; les statistiques sont comptées pour " + LayoutLabel(Layout().Name()) +
                             ". Choisissez la disposition du clavier dans « Statistiques détaillées » (F2)."));
}
