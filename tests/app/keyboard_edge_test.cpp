// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <QSignalSpy>
#include <cstdlib>
#include <filesystem>

#include "app/keyboard_edge.h"
#include "support/test_support.h"

namespace {

using test_support::ReadBytes;

// XKB keycodes (evdev) of a few keys: AZERTY's A, E and ^, the key right of Tab's A.
constexpr uint32_t kKeycodeAD01 = 24, kKeycodeAD02 = 25, kKeycodeAD03 = 26, kKeycodeAD11 = 34;

int Samples(const ProgressRecord& record) {
    int total = 0;
    for (const auto& row : record.Cells)
        for (const KeyPairStats& cell : row) total += cell.Count;
    return total;
}

class EdgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = test_support::MakeTempFolder("clavelle-edge");
        before_ = ActiveLayoutShared();
        edge_ = std::make_unique<KeyboardEdge>(*record_, folder_, [this](const std::string& m) { told_.push_back(m); });
        edge_->SetSystemSource([this]() -> std::optional<SystemLayout> {
            if (!system_) return std::nullopt;
            return SystemLayout{*system_, "le serveur X"};
        });
    }
    void TearDown() override {
        edge_.reset();
        SetActiveLayout(before_);
        std::filesystem::remove_all(folder_);
    }
    // The first paint: the layout set up and its record read.
    void Start() {
        edge_->SetUp();
        edge_->Keeper().StartupPending = false;
        edge_->Keeper().PrepareProgress();
    }
    KeyboardEdge::Key Press(const void* typist, uint32_t keycode, uint32_t keysym, std::u32string_view text) {
        return edge_->Press(typist, KeyPress{keycode, keysym, 0, text}, 1000);
    }

    std::string folder_;
    test_support::RecordPtr record_ = test_support::NewRecord();
    std::shared_ptr<const KeyboardLayout> before_;
    std::optional<LayoutName> system_ = LayoutName{};
    std::vector<std::string> told_;
    std::unique_ptr<KeyboardEdge> edge_;
};

// A change of the system's layout while the program runs: the windows are told before and
// after, the old layout's samples are saved in its own record, the new layout's record is
// used, and coming back finds the old samples again.
TEST_F(EdgeTest, FollowsTheSystemAndKeepsEachLayoutsSamplesInItsRecord) {
    Start();
    QSignalSpy changing(edge_.get(), &KeyboardEdge::layoutChanging);
    QSignalSpy changed(edge_.get(), &KeyboardEdge::layoutChanged);
    RecordKeyInterval(*record_, 1, 2, 150);
    system_ = LayoutName{"fr", "bepo"};
    edge_->SystemChanged();
    EXPECT_EQ(edge_->Layout().Name().Text(), "fr(bepo)");
    EXPECT_EQ(edge_->Origin(), "donnée par le serveur X");
    EXPECT_EQ(changing.count(), 1);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(Samples(*record_), 0);
    EXPECT_EQ(ReadBytes(folder_ + "/progression1_9.dat").size(), kProgressRecordSize);
    RecordKeyInterval(*record_, 3, 4, 200);
    system_ = LayoutName{};
    edge_->SystemChanged();
    EXPECT_EQ(record_->Cell(1, 2).Count, 1);
    EXPECT_EQ(record_->Cell(3, 4).Count, 0);
    edge_->SystemChanged();  // nothing changed: nothing is cut
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(told_.empty());
}

// The user's choice holds whatever the system says; the system's again once given back.
TEST_F(EdgeTest, TheUsersChoiceHoldsUntilGivenBack) {
    Start();
    ASSERT_TRUE(edge_->Choose(LayoutName{"fr", "bepo"}));
    system_ = LayoutName{"us", ""};
    edge_->SystemChanged();
    EXPECT_EQ(edge_->Layout().Name().Text(), "fr(bepo)");
    EXPECT_EQ(edge_->Origin(), "choisie par vous");
    edge_->ChooseSystem();
    EXPECT_EQ(edge_->Layout().Name().Text(), "us");
    EXPECT_EQ(ReadBytes(folder_ + "/réglages.txt").find("disposition"), std::string::npos);
}

// A dead key is forgotten by Escape, and never composes with a key of another window.
TEST_F(EdgeTest, ADeadKeyIsForgottenOnEscapeAndBetweenWindows) {
    Start();
    const int mainWindow = 0, courseWindow = 0;
    EXPECT_TRUE(Press(&mainWindow, kKeycodeAD11, XKB_KEY_dead_circumflex, U"").Translated.Characters.empty());
    EXPECT_EQ(Press(&mainWindow, kKeycodeAD03, XKB_KEY_e, U"e").Translated.Characters, std::vector<char32_t>{U'ê'});
    Press(&mainWindow, kKeycodeAD11, XKB_KEY_dead_circumflex, U"");
    edge_->ForgetDeadKey();
    EXPECT_EQ(Press(&mainWindow, kKeycodeAD03, XKB_KEY_e, U"e").Translated.Characters, std::vector<char32_t>{U'e'});
    Press(&mainWindow, kKeycodeAD11, XKB_KEY_dead_circumflex, U"");
    EXPECT_EQ(Press(&courseWindow, kKeycodeAD03, XKB_KEY_e, U"e").Translated.Characters, std::vector<char32_t>{U'e'});
}

// On Wayland the compositor's keymap names the groups, and a key that only another group
// types switches to it before it counts.
TEST_F(EdgeTest, AKeyOfAnotherGroupOfTheSessionsKeymapSwitchesToIt) {
    Start();
    edge_->SessionKeymap({LayoutName{"us", ""}, LayoutName{"fr", "bepo"}});
    EXPECT_EQ(edge_->Layout().Name().Text(), "us");
    EXPECT_EQ(edge_->Origin(), "donnée par le compositeur Wayland");
    Press(nullptr, kKeycodeAD01, XKB_KEY_q, U"q");  // q: the same key on both
    EXPECT_EQ(edge_->Layout().Name().Text(), "us");
    const KeyboardEdge::Key key = Press(nullptr, kKeycodeAD02, XKB_KEY_eacute, U"é");
    EXPECT_EQ(edge_->Layout().Name().Text(), "fr(bepo)");
    EXPECT_TRUE(key.Translated.Agrees);
}

// Without the system's XKB data the built-in AZERTY is counted, and the user is told so.
TEST_F(EdgeTest, WithoutTheSystemsLayoutDataTheBuiltInOneIsCountedAndSaid) {
    const char* root = std::getenv("XKB_CONFIG_ROOT");
    const std::string saved = root ? root : "";
    setenv("XKB_CONFIG_ROOT", "/nonexistent", 1);
    Start();
    if (root)
        setenv("XKB_CONFIG_ROOT", saved.c_str(), 1);
    else
        unsetenv("XKB_CONFIG_ROOT");
    EXPECT_TRUE(edge_->Layout().BuiltIn());
    EXPECT_EQ(edge_->Layout().KeyOfChar()['a'], 1);
    ASSERT_EQ(told_.size(), 1u);
    EXPECT_NE(told_[0].find("Français (AZERTY)"), std::string::npos);
}

}  // namespace
