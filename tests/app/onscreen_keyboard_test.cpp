// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The on-screen keyboard: the keys lit for a character on classic AZERTY and BÉPO (Shift of
// the other hand, dead key first), the wrong key's flash, locked keys, and its drawing.
#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <iostream>

#include "app/onscreen_keyboard.h"
#include "common/cp1252.h"
#include "keyboard/xkb_layout.h"
#include "support/test_support.h"

namespace {

using Light = OnscreenKeyboard::Light;

std::shared_ptr<const KeyboardLayout> Load(const char* text) {
    std::shared_ptr<const KeyboardLayout> layout = LoadXkbLayout(*LayoutName::Parse(text));
    EXPECT_TRUE(layout) << text;
    return layout;
}

int Place(const char* xkbName) { return PhysicalKeyOfName(xkbName); }

// The lower part of the Enter key, a place without a name of its own.
int LowerEnter() {
    for (std::size_t i = 0; i < PhysicalKeys().size(); ++i)
        if (*PhysicalKeys()[i].XkbName == '\0') return int(i);
    return -1;
}

std::vector<int> Places(std::initializer_list<const char*> names) {
    std::vector<int> places;
    for (const char* name : names) places.push_back(Place(name));
    std::sort(places.begin(), places.end());
    return places;
}

}  // namespace

TEST(OnscreenKeyboardTest, CapitalsLightTheirKeyAndTheShiftOfTheOtherHand) {
    for (const char* name : {"fr", "fr(bepo)"}) {
        SCOPED_TRACE(name);
        OnscreenKeyboard keyboard;
        keyboard.SetLayout(Load(name));
        for (unsigned char capital = 'A'; capital <= 'Z'; ++capital) {
            const std::vector<Keystroke>& strokes = keyboard.Layout().Strokes(capital);
            ASSERT_EQ(strokes.size(), 1u) << capital;
            const int place = strokes[0].Place;
            const char* shift = PhysicalKeys()[std::size_t(place)].LeftHand() ? "RTSH" : "LFSH";
            keyboard.ShowNextCharacter(capital);
            std::vector<int> expected = {place, Place(shift)};
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(keyboard.LitPlaces(), expected) << capital;
            EXPECT_EQ(keyboard.LightOf(place), Light::Now);
        }
    }
    OnscreenKeyboard keyboard;
    keyboard.SetLayout(Load("fr"));
    keyboard.ShowNextCharacter('E');
    EXPECT_EQ(keyboard.LitPlaces(), Places({"AD03", "RTSH"}));
    EXPECT_EQ(keyboard.FingerText().toStdString(), "Majeur gauche + Maj (auriculaire droit)");
    keyboard.ShowNextCharacter('m');
    EXPECT_EQ(keyboard.FingerText().toStdString(), "Auriculaire droit");
    keyboard.ShowNextCharacter(' ');
    EXPECT_EQ(keyboard.FingerText().toStdString(), "Pouce");
    keyboard.ShowNextCharacter(0);
    EXPECT_TRUE(keyboard.LitPlaces().empty());
    EXPECT_TRUE(keyboard.FingerText().isEmpty());
}

TEST(OnscreenKeyboardTest, ComposedCharactersShowTheDeadKeyFirst) {
    OnscreenKeyboard keyboard;
    keyboard.SetLayout(Load("fr"));
    keyboard.ShowNextCharacter(0xEA);  // ê: ^ then e
    EXPECT_EQ(keyboard.LightOf(Place("AD11")), Light::Now);
    EXPECT_EQ(keyboard.LightOf(Place("AD03")), Light::Then);
    EXPECT_EQ(keyboard.StepOf(Place("AD03")), 2);
    EXPECT_EQ(keyboard.FingerText().toStdString(),
              "1. Auriculaire droit : ^ (touche morte)   puis   2. Majeur gauche : e");
    keyboard.ShowNextCharacter(0xCA);  // Ê: ^ then Shift+e, the Shift lit at the second step
    EXPECT_EQ(keyboard.StepOf(Place("RTSH")), 2);
    keyboard.ShowNextCharacter(0xC9);  // É: Caps Lock on, then the é key
    EXPECT_EQ(keyboard.LitPlaces(), Places({"AE02", "CAPS"}));
    EXPECT_EQ(keyboard.LightOf(Place("CAPS")), Light::Now);

    // The lit character follows a change of layout: BÉPO has a key of its own for ê.
    keyboard.ShowNextCharacter(0xEA);
    keyboard.SetLayout(Load("fr(bepo)"));
    EXPECT_EQ(keyboard.LitPlaces(), Places({"LSGT"}));
    EXPECT_EQ(keyboard.FingerText().toStdString(), "Auriculaire gauche");
    keyboard.SetLayout(Load("fr(afnor)"));
    keyboard.ShowNextCharacter(0xC9);  // É on AFNOR: Shift and Alt Gr
    EXPECT_EQ(keyboard.LitPlaces(), Places({"AE02", "RTSH", "RALT"}));
    // A character no key types lights nothing and says so.
    int untypable = 0xFF;
    while (untypable > 0x20 && !keyboard.Layout().Strokes(static_cast<unsigned char>(untypable)).empty()) --untypable;
    ASSERT_GT(untypable, 0x20);
    keyboard.ShowNextCharacter(static_cast<unsigned char>(untypable));
    EXPECT_TRUE(keyboard.LitPlaces().empty());
    EXPECT_TRUE(keyboard.FingerText().startsWith(QStringLiteral("Aucune touche"))) << untypable;
}

TEST(OnscreenKeyboardTest, AWrongKeyFlashesRedForAMomentThenGoesBack) {
    OnscreenKeyboard keyboard;
    keyboard.ShowNextCharacter('f');
    const int right = Place("AC04"), wrong = Place("AC05");
    keyboard.FlashWrong(wrong);
    EXPECT_EQ(keyboard.LightOf(wrong), Light::Wrong);
    EXPECT_EQ(keyboard.LightOf(right), Light::Now);
    QElapsedTimer elapsed;
    elapsed.start();
    while (keyboard.Flashing() && elapsed.elapsed() < 5000) QTest::qWait(20);
    EXPECT_GE(elapsed.elapsed(), OnscreenKeyboard::kFlashMs - 50);
    EXPECT_EQ(keyboard.LightOf(wrong), Light::None);
    EXPECT_EQ(keyboard.LightOf(right), Light::Now);
    // An unknown key flashes without a place; the lower part of Enter flashes the whole key.
    keyboard.FlashWrong(-1);
    EXPECT_TRUE(keyboard.Flashing());
    EXPECT_EQ(keyboard.FlashingPlace(), -1);
    keyboard.FlashWrong(LowerEnter());
    EXPECT_EQ(keyboard.LightOf(Place("RTRN")), Light::Wrong);
}

TEST(OnscreenKeyboardTest, KeysOfCharactersNotUnlockedAreLocked) {
    OnscreenKeyboard keyboard;
    keyboard.SetLayout(Load("fr"));
    EXPECT_FALSE(keyboard.Locked(Place("AD01")));
    keyboard.SetUnlockedCharacters("fjdk F");
    EXPECT_FALSE(keyboard.Locked(Place("AC04")));
    EXPECT_FALSE(keyboard.Locked(Place("SPCE")));
    EXPECT_FALSE(keyboard.Locked(Place("RTSH"))) << "F needs the right Shift";
    EXPECT_TRUE(keyboard.Locked(Place("LFSH")));
    EXPECT_TRUE(keyboard.Locked(Place("AD01")));
    EXPECT_TRUE(keyboard.Locked(Place("AE02")));
    EXPECT_FALSE(keyboard.Locked(Place("TAB"))) << "keys that type no character are never locked";
    // Another layout locks the keys that type the same characters there.
    keyboard.SetLayout(Load("fr(bepo)"));
    const int bepoF = keyboard.Layout().Strokes('f')[0].Place;
    EXPECT_FALSE(keyboard.Locked(bepoF));
    EXPECT_NE(bepoF, Place("AC04"));
    EXPECT_TRUE(keyboard.Locked(Place("AC04")));
    keyboard.UnlockAll();
    EXPECT_FALSE(keyboard.Locked(Place("AC04")));
    std::vector<bool> locked(PhysicalKeys().size(), false);
    locked[std::size_t(Place("AD01"))] = true;
    keyboard.SetLocked(locked);
    EXPECT_TRUE(keyboard.Locked(Place("AD01")));
    EXPECT_FALSE(keyboard.Locked(Place("AD02")));
}

// Every French layout drawn at its smallest and at 1.5 times its natural size; the
// pictures are kept in a folder the test names.
TEST(OnscreenKeyboardTest, DrawsEveryFrenchLayout) {
    const std::string folder = test_support::MakeTempFolder("clavelle-clavier-visuel");
    for (const LayoutName& name : FrenchLayouts()) {
        OnscreenKeyboard keyboard;
        keyboard.SetLayout(LoadLayout(name));
        // A lesson's keys: the home row, two keys above it, the space and a capital.
        std::string unlocked = " ";
        for (const char* key :
             {"AC01", "AC02", "AC03", "AC04", "AC05", "AC06", "AC07", "AC08", "AC09", "AC10", "AD03", "AD08"})
            unlocked += Utf8ToCp1252(keyboard.Layout().CapText(Place(key), 0));
        unlocked += Utf8ToCp1252(keyboard.Layout().CapText(Place("AC04"), 1));
        keyboard.SetUnlockedCharacters(unlocked);
        keyboard.ShowNextCharacter(name.Variant == "bepo" ? 0xC9 : 0xEA);  // É or ê
        for (const double scale : {1.0, 1.5}) {
            for (const QSize size : {keyboard.minimumSizeHint(), keyboard.sizeHint()}) {
                keyboard.resize(size);
                QPixmap pixmap(size * scale);
                pixmap.setDevicePixelRatio(scale);
                pixmap.fill(Qt::white);
                keyboard.render(&pixmap);
                const QImage image = pixmap.toImage();
                // The first lit key is drawn in its strong colour, not white.
                const QPointF lit = keyboard.KeyRect(keyboard.LitPlaces().front()).center() * scale;
                EXPECT_NE(image.pixelColor(lit.toPoint()), QColor(Qt::white)) << name.Text();
                pixmap.save(QString::fromStdString(folder + "/" + name.Text() + "-" + std::to_string(size.width()) +
                                                   "-" + std::to_string(int(scale * 10)) + ".png"));
            }
        }
        // A wrong key is drawn red.
        keyboard.FlashWrong(Place("AC05"));
        const QImage flashed = keyboard.grab().toImage();
        const QPointF inWrong = keyboard.KeyRect(Place("AC05")).bottomLeft() + QPointF(3, -3);
        const QColor wrong = flashed.pixelColor((inWrong * flashed.devicePixelRatio()).toPoint());
        EXPECT_GT(wrong.red(), 2 * wrong.green()) << name.Text();
        flashed.save(QString::fromStdString(folder + "/" + name.Text() + "-faute.png"));
    }
    std::cout << "pictures in " << folder << "\n";
}
