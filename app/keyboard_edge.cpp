// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/keyboard_edge.h"

#include <QGuiApplication>

#include "app/wayland_keymap.h"
#include "common/cp1252.h"
#include "keyboard/xkb_layout.h"

namespace {
constexpr const char* kLayoutSetting = "disposition";
constexpr const char* kChosenOrigin = "choisie par vous";
}  // namespace

std::vector<std::optional<unsigned char>> TypedBytes(const TranslatedKey& key) {
    std::vector<std::optional<unsigned char>> typed;
    for (const char32_t u : key.Characters) {
        const int b = cp1252_detail::FromUnicode(u);
        typed.push_back(b < 0 ? std::nullopt : std::optional<unsigned char>(static_cast<unsigned char>(b)));
    }
    if (key.Cancelled) typed.push_back(std::nullopt);
    return typed;
}

KeyboardEdge::KeyboardEdge(ProgressRecord& record, std::string programFolder,
                           std::function<void(const std::string&)> tell, QObject* parent)
    : QObject(parent),
      record_(record),
      programFolder_(std::move(programFolder)),
      tell_(std::move(tell)),
      systemSource_(DetectSystemLayout) {
    // Named in full, so that its messages say where it is.
    keeper_ = std::make_unique<ProgressKeeper>(record_, programFolder_ + "/" + kProgressFileName);
}

Settings& KeyboardEdge::UserSettings() {
    if (!settings_) {
        settings_ = std::make_unique<Settings>(programFolder_ + "/" + kSettingsFileName);
        settings_->Load();
        // Said once: a file that cannot be read is then neither read nor replaced.
        if (!settings_->LoadMessage().empty() && tell_) tell_(settings_->LoadMessage());
    }
    return *settings_;
}

void KeyboardEdge::SaveSettings() {
    try {
        UserSettings().Save();
    } catch (const IoError& failure) {
        if (tell_) tell_(IoErrorMessage(failure));
    }
}

void KeyboardEdge::ChangeSetting(const std::string& name, const std::optional<std::string>& value) {
    if (value)
        UserSettings().Set(name, *value);
    else
        UserSettings().Remove(name);
    SaveSettings();
}

std::pair<LayoutName, std::string> KeyboardEdge::SystemLayoutOrDefault() const {
    if (sessionGroup_ < sessionGroups_.size())
        return {sessionGroups_[sessionGroup_], "donnée par le compositeur Wayland"};
    if (const std::optional<SystemLayout> system = systemSource_ ? systemSource_() : std::nullopt)
        return {system->Name, "donnée par " + system->Source};
    return {LayoutName{}, "par défaut"};
}

void KeyboardEdge::NewKeeper() {
    const bool pending = keeper_->StartupPending;
    keeper_ = std::make_unique<ProgressKeeper>(record_, programFolder_ + "/" + RecordFileName(Layout().Name()));
    keeper_->StartupPending = pending;
}

void KeyboardEdge::SetUp() {
    std::optional<LayoutName> chosen;
    if (const std::optional<std::string> value = UserSettings().Get(kLayoutSetting)) chosen = LayoutName::Parse(*value);
    chosen_ = chosen.has_value();
    auto [name, origin] = chosen_ ? std::pair(*chosen, std::string(kChosenOrigin)) : SystemLayoutOrDefault();
    origin_ = origin;
    bool fellBack = false;
    std::shared_ptr<const KeyboardLayout> layout = LoadLayout(name, &fellBack);
    const std::string counted = LayoutLabel(layout->Name());
    if (fellBack && name == LayoutName{}) {
        origin_ = "intégrée (les données XKB du système sont illisibles)";
        if (tell_)
            tell_(
                "Les dispositions du clavier du système (données XKB) ne peuvent pas être lues\u00A0: les "
                "statistiques sont comptées pour " +
                counted + ", que le programme connaît par cœur.");
    } else if (fellBack) {
        origin_ = "intégrée (la disposition «\u00A0" + name.Text() + "\u00A0» est introuvable)";
        if (tell_)
            tell_("La disposition du clavier «\u00A0" + name.Text() +
                  "\u00A0» est introuvable dans les données XKB du système\u00A0: les statistiques sont comptées "
                  "pour " +
                  counted + ", que le programme connaît par cœur.");
    }
    SetActiveLayout(layout);
    translator_.Reset();
    NewKeeper();
}

bool KeyboardEdge::SwitchTo(const LayoutName& name, const std::string& origin, bool reportFailure) {
    std::string error;
    std::unique_ptr<KeyboardLayout> loaded = LoadXkbLayout(name, &error);
    if (!loaded) {
        if (reportFailure && tell_) tell_("Impossible de choisir cette disposition du clavier\u00A0: " + error + ".");
        return false;
    }
    if (switching_) return false;
    switching_ = true;
    // What is under way belongs to the layout it was typed on: cut, and saved with it.
    emit layoutChanging();
    if (keeper_->Ready()) {
        try {
            keeper_->SaveProgress();
        } catch (const IoError& failure) {
            // The samples of the old layout stay in memory, counted for it; the switch waits.
            switching_ = false;
            if (tell_)
                tell_(IoErrorMessage(failure) + "\nLa disposition du clavier reste " + LayoutLabel(Layout().Name()) +
                      ".");
            emit layoutChanged();
            return false;
        }
    }
    const bool loadedBefore = keeper_->Ready();
    SetActiveLayout(std::shared_ptr<const KeyboardLayout>(std::move(loaded)));
    translator_.Reset();
    NewKeeper();
    origin_ = origin;
    evidence_ = LayoutEvidence();
    warned_ = false;
    // Before the first paint the record is loaded there, with the new name.
    if (loadedBefore || !keeper_->StartupPending) {
        keeper_->StartupPending = false;
        keeper_->PrepareProgress(tell_);
    }
    switching_ = false;
    emit layoutChanged();
    return true;
}

bool KeyboardEdge::Choose(const LayoutName& name) {
    if (name == Layout().Name() && !Layout().BuiltIn()) return true;
    if (!SwitchTo(name, kChosenOrigin, true)) return false;
    chosen_ = true;
    UserSettings().Set(kLayoutSetting, name.Text());
    SaveSettings();
    return true;
}

void KeyboardEdge::ChooseSystem() {
    UserSettings().Remove(kLayoutSetting);
    SaveSettings();
    chosen_ = false;
    const auto [name, origin] = SystemLayoutOrDefault();
    if ((!(name == Layout().Name()) || Layout().BuiltIn()) && !SwitchTo(name, origin, true)) return;
    origin_ = origin;
}

void KeyboardEdge::SystemChanged() {
    if (chosen_) return;  // the user's choice holds; the keys typed may still say otherwise
    const auto [name, origin] = SystemLayoutOrDefault();
    if (name == Layout().Name() && !Layout().BuiltIn()) {
        origin_ = origin;
        return;
    }
    SwitchTo(name, origin, false);
}

void KeyboardEdge::FollowSystem() {
    if (watcher_) return;
    watcher_ = WatchSystemLayout([this] { SystemChanged(); }, this);
    if (!watcher_ && QGuiApplication::platformName() == QStringLiteral("wayland"))
        watcher_ =
            WatchWaylandKeymap([this](std::vector<LayoutName> groups) { SessionKeymap(std::move(groups)); }, this);
}

void KeyboardEdge::SessionKeymap(std::vector<LayoutName> groups) {
    if (groups == sessionGroups_) return;
    sessionGroups_ = std::move(groups);
    sessionGroupLayouts_.clear();
    if (sessionGroup_ >= sessionGroups_.size()) sessionGroup_ = 0;
    SystemChanged();
}

int KeyboardEdge::GroupOfKey(const KeyPress& press) {
    if (sessionGroups_.size() < 2 || chosen_ || press.Keycode == 0 || press.Keysym == 0) return -1;
    if (Layout().Gives(press.Keycode, press.Keysym)) return -1;
    if (sessionGroupLayouts_.empty())
        for (const LayoutName& name : sessionGroups_) sessionGroupLayouts_.push_back(LoadXkbLayout(name));
    int found = -1;
    for (std::size_t g = 0; g < sessionGroupLayouts_.size(); ++g) {
        if (g == sessionGroup_ || !sessionGroupLayouts_[g] ||
            !sessionGroupLayouts_[g]->Gives(press.Keycode, press.Keysym))
            continue;
        if (found >= 0) return -1;  // two groups type it: the key does not tell
        found = int(g);
    }
    return found;
}

KeyboardEdge::Key KeyboardEdge::Press(const void* typist, const KeyPress& press, uint64_t eventMs) {
    // On Wayland a key of another group of the session's keymap means the group changed:
    // the layout follows before the key counts.
    if (const int group = GroupOfKey(press); group >= 0) {
        sessionGroup_ = std::size_t(group);
        SystemChanged();
    }
    if (typist != lastTypist_) {
        translator_.Reset();
        lastTypist_ = typist;
    }
    Key key;
    key.At = clock_.Place(eventMs);
    key.Translated = translator_.Press(Layout(), press);
    // What each key gave tells the layout (modifiers give the same on every layout).
    if (key.Translated.VirtualKey != VK_SHIFT && key.Translated.VirtualKey != VK_MENU)
        evidence_.Observe(press.Keycode, key.Translated.Keysym);
    return key;
}

void KeyboardEdge::CheckTypedKeys() {
    if (warned_ || evidence_.Size() < 20) return;
    if (evidence_.Agreeing(Layout()) * 10 >= evidence_.Size() * 9) return;
    // The French layouts are read once, at the first doubt.
    if (frenchLayouts_.empty())
        for (const LayoutName& name : FrenchLayouts()) frenchLayouts_.push_back(LoadXkbLayout(name));
    // Layouts that the keys so far cannot tell apart are named together.
    const std::vector<const KeyboardLayout*> others = evidence_.Contradicts(Layout(), frenchLayouts_);
    if (others.empty()) return;
    warned_ = true;
    std::string names;
    for (const KeyboardLayout* other : others) names += (names.empty() ? "" : " ou ") + LayoutLabel(other->Name());
    if (tell_)
        tell_("Votre clavier semble être " + names + "\u00A0; les statistiques sont comptées pour " +
              LayoutLabel(Layout().Name()) +
              ". Choisissez la disposition du clavier dans «\u00A0Statistiques détaillées\u00A0» (F2).");
}
