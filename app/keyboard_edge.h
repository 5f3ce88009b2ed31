// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard as every typing window meets it. One object owns the layout the keys are
// counted for (chosen by the user, else the system's, else classic AZERTY), the progress
// record file of that layout, the translation of key events (dead keys), the time of each
// key and the evidence of the keys typed. It follows the system's layout while the program
// runs: before a change the typing windows are told to cut what is under way, the old
// layout's record is saved, the new one's loaded, and the windows are told to start again.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/system_layout.h"
#include "common/settings.h"
#include "exercise/timestamp.h"
#include "keyboard/detect.h"
#include "keyboard/key_input.h"
#include "stats/progress.h"

// What a key press types for a typing window's check: each character as its Windows-1252
// byte, nothing for one that Windows-1252 cannot hold; a dead key followed by a key it does
// not compose with types a wrong character after them.
std::vector<std::optional<unsigned char>> TypedBytes(const TranslatedKey& key);

class KeyboardEdge : public QObject {
    Q_OBJECT
public:
    // The record is the program's one block of pair timings; it holds the active layout's.
    // `tell` shows a message (UTF-8) to the user.
    KeyboardEdge(ProgressRecord& record, std::string programFolder, std::function<void(const std::string&)> tell,
                 QObject* parent = nullptr);

    // Where the system's layout is read; tests give their own.
    void SetSystemSource(std::function<std::optional<SystemLayout>()> source) { systemSource_ = std::move(source); }
    // Reads the choice and the system's layout and makes the result the active layout, its
    // record the one the keeper loads next (the first paint's PrepareProgress). Says once
    // when the system's layout could not be read and a built-in one is counted.
    void SetUp();
    // From now on a change of the system's layout (on X11: the group, the keymap) is
    // followed at once.
    void FollowSystem();

    const KeyboardLayout& Layout() const { return ActiveLayout(); }
    std::shared_ptr<const KeyboardLayout> LayoutShared() const { return ActiveLayoutShared(); }
    // Where the layout came from, for the user (UTF-8): "choisie par vous", "donnée par le
    // serveur X"...
    const std::string& Origin() const { return origin_; }
    ProgressKeeper& Keeper() { return *keeper_; }
    const std::string& ProgramFolder() const { return programFolder_; }

    // One key press of a typing window (`typist` tells the windows apart: a dead key struck
    // in one window does not compose with a letter struck in another). Returns what it types
    // and when it was struck; the key counts as evidence of the layout.
    struct Key {
        TranslatedKey Translated;
        KeyTime At;
    };
    Key Press(const void* typist, const KeyPress& press, uint64_t eventMs);
    // The time of a character that came without its key event (an input method).
    KeyTime Now() { return clock_.Place(0); }
    // Escape, a restart: a dead key struck before is forgotten.
    void ForgetDeadKey() { translator_.Reset(); }

    // A setting of the user's settings file (réglages.txt), which the layout's choice is
    // kept in too; a change is saved at once (a failure is said).
    std::optional<std::string> Setting(const std::string& name) { return UserSettings().Get(name); }
    void ChangeSetting(const std::string& name, const std::optional<std::string>& value);

    // After a run or a lesson: says once when the keys typed point at another layout than
    // the one counted.
    void CheckTypedKeys();

    // The user's choice in the statistics window: that layout, or the system's again.
    bool Choose(const LayoutName& name);
    void ChooseSystem();
    // The system's layout may have changed: followed unless the user chose one.
    void SystemChanged();
    // The layouts, by group, of the keymap a Wayland compositor sent. Which group is in use
    // the toolkit does not say there: a key that only another group types tells it.
    void SessionKeymap(std::vector<LayoutName> groups);

signals:
    // The layout is about to change: windows cut their run or lesson and save what belongs
    // to the old layout (its record is saved right after).
    void layoutChanging();
    // The new layout is active and its record loaded.
    void layoutChanged();

private:
    Settings& UserSettings();
    void SaveSettings();
    std::pair<LayoutName, std::string> SystemLayoutOrDefault() const;
    // Counts another layout: what is under way cut, the old record saved, the new one loaded.
    bool SwitchTo(const LayoutName& name, const std::string& origin, bool reportFailure);
    void NewKeeper();
    // On Wayland, the group of the session's keymap that a key disagreeing with the layout
    // comes from; -1 when none or not known.
    int GroupOfKey(const KeyPress& press);

    ProgressRecord& record_;
    std::string programFolder_;
    std::function<void(const std::string&)> tell_;
    std::function<std::optional<SystemLayout>()> systemSource_;
    std::unique_ptr<ProgressKeeper> keeper_;
    std::unique_ptr<Settings> settings_;
    std::string origin_;
    bool chosen_ = false;
    KeyTranslator translator_;
    const void* lastTypist_ = nullptr;
    EventClock clock_;
    LayoutEvidence evidence_;
    bool warned_ = false;
    std::vector<std::shared_ptr<const KeyboardLayout>> frenchLayouts_;
    QObject* watcher_ = nullptr;  // follows the system's layout; a child of this object
    std::vector<LayoutName> sessionGroups_;
    std::vector<std::shared_ptr<const KeyboardLayout>> sessionGroupLayouts_;  // read at the first doubt
    std::size_t sessionGroup_ = 0;
    bool switching_ = false;
};
