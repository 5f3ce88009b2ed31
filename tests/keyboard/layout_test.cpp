// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Layouts compiled from the system's XKB data: what keys type, how characters are typed,
// dead keys composed at the edge, and the layout that typed keys point at.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "common/cp1252.h"
#include "keyboard/detect.h"
#include "keyboard/key_input.h"
#include "keyboard/xkb_layout.h"

namespace {

std::shared_ptr<const KeyboardLayout> Load(const char* text) {
    std::shared_ptr<const KeyboardLayout> layout = LoadXkbLayout(*LayoutName::Parse(text));
    EXPECT_TRUE(layout) << text;
    return layout;
}

int Place(const char* xkbName) { return PhysicalKeyOfName(xkbName); }
std::string Cap(const KeyboardLayout& layout, const char* xkbName, int level) {
    return layout.CapText(Place(xkbName), level);
}
Keystroke Stroke(const char* xkbName, uint8_t level = 0, bool capsLock = false) {
    return {Place(xkbName), level, capsLock};
}
using Strokes = std::vector<Keystroke>;

TEST(LayoutTest, EachFrenchLayoutTypesWhatItsKeysSay) {
    struct Expect {
        const char* Layout;
        const char* Key;
        int Level;
        const char* Text;
    };
    const Expect expected[] = {
        {"fr", "AD01", 0, "a"},
        {"fr", "AE02", 0, "é"},
        {"fr", "AB10", 1, "§"},
        {"fr", "AD11", 0, "^"},
        {"fr(afnor)", "AE04", 0, "ê"},
        {"fr(afnor)", "AE01", 0, "à"},
        {"fr(afnor)", "AB08", 1, "!"},
        {"fr(bepo)", "AD01", 0, "b"},
        {"fr(bepo)", "AD02", 0, "é"},
        {"fr(bepo)", "AC01", 0, "a"},
        {"fr(bepo)", "LSGT", 0, "ê"},
        {"fr(bepo)", "BKSL", 0, "ç"},
        {"fr(bepo_afnor)", "AC01", 0, "a"},
        {"fr(bepo_afnor)", "AD02", 1, "É"},
        {"be", "AD01", 0, "a"},
        {"be", "AE08", 0, "!"},
        {"ch(fr)", "AD06", 0, "z"},
        {"ch(fr)", "AC10", 0, "é"},
        {"ch(fr)", "AD11", 0, "è"},
        {"ca", "AB10", 0, "é"},
        {"ca", "AD01", 0, "q"},
        {"ca(multix)", "BKSL", 0, "à"},
        {"ca(multix)", "AE01", 1, "!"},
    };
    for (const Expect& e : expected) {
        const auto layout = Load(e.Layout);
        ASSERT_TRUE(layout);
        EXPECT_EQ(Cap(*layout, e.Key, e.Level), e.Text) << e.Layout << " " << e.Key << " level " << e.Level;
    }
    // Every French layout types the letters, the accented letters of French and the space.
    for (const LayoutName& name : FrenchLayouts()) {
        const auto layout = LoadXkbLayout(name);
        ASSERT_TRUE(layout) << name.Text();
        for (unsigned char c : "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZéèàùçêâîôûëïÉÈÀ .,'"_cp)
            EXPECT_FALSE(layout->Strokes(c).empty()) << name.Text() << " 0x" << std::hex << int(c);
    }
}

TEST(LayoutTest, ComposedAndShiftedCharactersGiveTheirKeystrokes) {
    const auto azerty = Load("fr"), bepo = Load("fr(bepo)"), afnor = Load("fr(afnor)");
    EXPECT_EQ(azerty->Strokes(0xEA), (Strokes{Stroke("AD11"), Stroke("AD03")}));                  // ê: ^ then e
    EXPECT_EQ(azerty->Strokes(0xCA), (Strokes{Stroke("AD11"), Stroke("AD03", kShiftLevelBit)}));  // Ê
    EXPECT_EQ(azerty->Strokes(0xEB), (Strokes{Stroke("AD11", kShiftLevelBit), Stroke("AD03")}));  // ë
    EXPECT_EQ(azerty->Strokes(0xC9), (Strokes{Stroke("AE02", 0, true)}));                         // É: Caps Lock
    EXPECT_EQ(bepo->Strokes(0xEA), (Strokes{Stroke("LSGT")}));                                    // ê has a key
    EXPECT_EQ(bepo->Strokes(0xC9), (Strokes{Stroke("AD02", kShiftLevelBit)}));                    // É
    EXPECT_EQ(afnor->Strokes(0xC9), (Strokes{Stroke("AE02", kShiftLevelBit | kAltGrLevelBit)}));  // É
    EXPECT_EQ(azerty->KeyDowns(0xCA), (std::vector<uint8_t>{VK_OEM_6, VK_SHIFT, 'E'}));
    // The record's key of a character is the key of its last keystroke.
    EXPECT_EQ(azerty->KeyOfChar()[0xEA], KeyOfVirtualKey['E']);
    EXPECT_EQ(bepo->KeyOfChar()['a'], KeyOfVirtualKey['Q']);  // BÉPO's a is under AZERTY's q
}

// The classic AZERTY built into the program types every character as the system's does.
TEST(LayoutTest, TheBuiltInAzertyIsTheSystems) {
    const auto system = Load("fr");
    const std::unique_ptr<KeyboardLayout> builtIn = BuiltInAzerty();
    EXPECT_TRUE(builtIn->BuiltIn());
    EXPECT_EQ(builtIn->KeyOfChar(), system->KeyOfChar());
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(builtIn->Strokes(static_cast<unsigned char>(c)), system->Strokes(static_cast<unsigned char>(c))) << c;
}

TEST(LayoutTest, RecordsAndLabelsPerLayout) {
    // The names records have always had, byte for byte.
    const std::pair<const char*, const char*> kept[] = {{"fr", "progression1_9.dat"},
                                                        {"fr(oss)", "progression1_9.dat"},
                                                        {"fr(latin9)", "progression1_9.dat"},
                                                        {"fr(nodeadkeys)", "progression1_9.dat"},
                                                        {"fr(afnor)", "progression1_9-afnor.dat"},
                                                        {"fr(bepo)", "progression1_9-bepo.dat"},
                                                        {"fr(bepo_afnor)", "progression1_9-bepo_afnor.dat"},
                                                        {"be", "progression1_9-be.dat"},
                                                        {"ch(fr)", "progression1_9-ch-fr.dat"},
                                                        {"ca", "progression1_9-ca.dat"},
                                                        {"ca(multix)", "progression1_9-ca-multix.dat"},
                                                        {"us(intl)", "progression1_9-us-intl.dat"}};
    for (const auto& [layout, record] : kept) EXPECT_EQ(RecordFileName(*LayoutName::Parse(layout)), record) << layout;
    // Two layouts never share a record, however their names are made (fr(us) and us did).
    std::map<std::string, std::string> owner;
    for (const char* layout : {"fr(us)", "us", "fr(bepo)", "bepo", "bepo(x)", "fr(a-b)", "a(b)", "a-b", "a(b-c)",
                               "a-b(c)", "fr(ch-fr)", "ch(fr)", "fr(ca)", "ca", "fr(dvorak)", "dvorak", "fr(fr)"}) {
        const auto [place, made] = owner.emplace(RecordFileName(*LayoutName::Parse(layout)), layout);
        EXPECT_TRUE(made) << layout << " and " << place->second << " share " << place->first;
    }
    EXPECT_EQ(LayoutLabel(*LayoutName::Parse("fr(bepo)")), "Français (BÉPO)");
    EXPECT_EQ(LayoutName::Parse(" fr bepo ")->Text(), "fr(bepo)");
    for (const char* bad : {"", "fr(", "../x", "fr(be po)", "FR"}) EXPECT_FALSE(LayoutName::Parse(bad)) << bad;
    EXPECT_FALSE(LoadXkbLayout(*LayoutName::Parse("nosuchlayout")));
    bool fellBack = false;
    EXPECT_TRUE(LoadLayout(*LayoutName::Parse("nosuchlayout"), &fellBack)->BuiltIn());
    EXPECT_TRUE(fellBack);
}

// Key events as the window system gives them: keycode, keysym and text.
KeyPress Event(const KeyboardLayout& layout, const char* xkbName, int level, const std::u32string& text) {
    const int place = Place(xkbName);
    return {layout.KeycodeOfPlace(place), layout.Symbols(place).Keysyms[std::size_t(level)], 0, text};
}

TEST(LayoutTest, DeadKeysAreComposedAtTheEdge) {
    const auto azerty = Load("fr");
    KeyTranslator keys;
    TranslatedKey dead = keys.Press(*azerty, Event(*azerty, "AD11", 0, U""));
    EXPECT_EQ(dead.VirtualKey, VK_OEM_6);
    EXPECT_TRUE(dead.Characters.empty());
    const TranslatedKey shift = keys.Press(*azerty, Event(*azerty, "LFSH", 0, U""));
    EXPECT_EQ(shift.VirtualKey, VK_SHIFT);
    const TranslatedKey e = keys.Press(*azerty, Event(*azerty, "AD03", 1, U"E"));
    EXPECT_EQ(e.VirtualKey, 'E');
    EXPECT_EQ(e.Characters, std::vector<char32_t>{U'Ê'});
    // A key the dead key does not compose with cancels both; the next key types again.
    keys.Press(*azerty, Event(*azerty, "AD11", 0, U""));
    EXPECT_TRUE(keys.Press(*azerty, Event(*azerty, "AC01", 0, U"q")).Cancelled);
    EXPECT_EQ(keys.Press(*azerty, Event(*azerty, "AC01", 0, U"q")).Characters, std::vector<char32_t>{U'q'});
    // The dead key then the space bar gives its own character.
    keys.Press(*azerty, Event(*azerty, "AD11", 0, U""));
    EXPECT_EQ(keys.Press(*azerty, Event(*azerty, "SPCE", 0, U" ")).Characters, std::vector<char32_t>{U'^'});
}

TEST(LayoutTest, KeysTypedPointAtTheirLayout) {
    const auto azerty = Load("fr"), bepo = Load("fr(bepo)");
    // A BÉPO typist's keys, read as if the keyboard were AZERTY.
    LayoutEvidence evidence;
    KeyTranslator keys;
    for (const char* key : {"AD01", "AC01", "AD02", "AC02", "AD03", "AC03", "AD04", "AC04", "AD05", "AC05",
                            "AD07", "AC07", "AD08", "AC08", "AD09", "AC09", "AB01", "AB02", "AB03", "AB04"}) {
        const KeyPress press = Event(*bepo, key, 0, U"");
        evidence.Observe(press.Keycode, press.Keysym);
        // Read on AZERTY, the event disagrees: the key that gives its keysym on AZERTY stands for it.
        const TranslatedKey read = keys.Press(*azerty, press);
        if (!read.Agrees) {
            EXPECT_NE(read.VirtualKey, azerty->VirtualKeyOfKeycode(press.Keycode)) << key;
        }
    }
    std::vector<std::shared_ptr<const KeyboardLayout>> candidates;
    for (const LayoutName& name : FrenchLayouts()) candidates.push_back(LoadXkbLayout(name));
    const std::vector<const KeyboardLayout*> others = evidence.Contradicts(*azerty, candidates);
    // Letters alone type the same on BÉPO and BÉPO AFNOR: both are named.
    ASSERT_EQ(others.size(), 2u);
    EXPECT_EQ(others[0]->Name().Text(), "fr(bepo)");
    EXPECT_EQ(others[1]->Name().Text(), "fr(bepo_afnor)");
    EXPECT_TRUE(evidence.Contradicts(*bepo, candidates).empty());
}

TEST(LayoutTest, KeysThatCannotTellTwoLayoutsApartNameBothUntilOneTells) {
    std::vector<std::shared_ptr<const KeyboardLayout>> candidates;
    for (const LayoutName& name : FrenchLayouts()) candidates.push_back(LoadXkbLayout(name));
    // The typist's layout, its twin, and the layout counted, which disagrees.
    for (const auto& [typed, twin, counted] : {std::tuple("fr(bepo_afnor)", "fr(bepo)", "fr"),
                                               std::tuple("ca(multix)", "ca", "fr"), std::tuple("be", "fr", "ca")}) {
        const auto layout = Load(typed), other = Load(twin), active = Load(counted);
        LayoutEvidence evidence;
        std::optional<KeyPress> telling;
        for (std::size_t place = 0; place < PhysicalKeys().size(); ++place) {
            for (int level = 0; level < 2; ++level) {
                const uint32_t keycode = layout->KeycodeOfPlace(int(place));
                const uint32_t keysym = layout->Symbols(int(place)).Keysyms[std::size_t(level)];
                if (keycode == 0 || keysym == 0) continue;
                if (!other->Gives(keycode, keysym) && !telling) telling = KeyPress{keycode, keysym, 0, U""};
                if (other->Gives(keycode, keysym) && !active->Gives(keycode, keysym) && evidence.Size() < 20)
                    evidence.Observe(keycode, keysym);
            }
        }
        ASSERT_EQ(evidence.Size(), 20u) << typed;
        auto names = [&] {
            std::string text;
            for (const KeyboardLayout* fit : evidence.Contradicts(*active, candidates))
                text += fit->Name().Text() + " ";
            return text;
        };
        // Both, in the candidates' order (the twin comes first in each).
        EXPECT_EQ(names(), std::string(twin) + " " + typed + " ");
        ASSERT_TRUE(telling) << typed;
        evidence.Observe(telling->Keycode, telling->Keysym);
        EXPECT_EQ(names(), std::string(typed) + " ") << "after a key that tells them apart";
    }
}

TEST(LayoutTest, SystemNamesOfTheLayout) {
    EXPECT_EQ(LayoutOfGroup("fr,us", "bepo,", 0)->Text(), "fr(bepo)");
    EXPECT_EQ(LayoutOfGroup("fr,us", "bepo,", 1)->Text(), "us");
    EXPECT_FALSE(LayoutOfGroup("fr", "", 2));
    EXPECT_EQ(LayoutOfKeyboardConfig("XKBMODEL=\"pc105\"\nXKBLAYOUT=\"ch\"\nXKBVARIANT=\"fr\"\n")->Text(), "ch(fr)");
    EXPECT_EQ(LayoutOfKeyboardConfig("XKBLAYOUT=fr\n")->Text(), "fr");
    EXPECT_FALSE(LayoutOfKeyboardConfig("# nothing\n"));
    // A compositor's keymap: the groups, the options' symbols left out; a virtual keyboard's
    // keymap names none.
    const auto groups = [](std::string_view keymap) {
        std::string out;
        for (const LayoutName& name : LayoutsOfKeymap(keymap)) out += name.Text() + ";";
        return out;
    };
    EXPECT_EQ(groups("xkb_keymap {\nxkb_symbols \"pc+us+fr(bepo):2+inet(evdev)+group(alt_shift_toggle)\" {"),
              "us;fr(bepo);");
    EXPECT_EQ(groups("xkb_symbols \"pc+ch(fr)+inet(evdev)\" {"), "ch(fr);");
    EXPECT_EQ(groups("xkb_symbols \"(unnamed)\" {"), "");
    EXPECT_EQ(groups("xkb_symbols {"), "");
}

}  // namespace
