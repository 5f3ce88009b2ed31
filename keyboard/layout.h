// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A keyboard layout: what each physical key types at each level, its dead keys and what
// they compose, and everything derived from it (the keystrokes that type a character,
// the key of a character for the progress record, the caps of the drawn keyboard). One
// description per layout, read from the system's XKB data (see xkb_layout.h); every other
// table of the program derives from it.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "keyboard/keys.h"

// Levels of a key: plain, Shift, AltGr, Shift+AltGr.
constexpr int kLevelCount = 4;
constexpr uint8_t kShiftLevelBit = 1;
constexpr uint8_t kAltGrLevelBit = 2;

// An XKB layout and variant, "fr" and "bepo" written "fr(bepo)".
struct LayoutName {
    std::string Layout = "fr";
    std::string Variant;

    std::string Text() const { return Variant.empty() ? Layout : Layout + "(" + Variant + ")"; }
    // "fr(bepo)", "fr bepo", "fr" (blanks around are ignored); nothing for anything else.
    static std::optional<LayoutName> Parse(std::string_view text);
    bool operator==(const LayoutName&) const = default;
};

// The layouts French speakers type on, in the order the program offers them.
const std::vector<LayoutName>& FrenchLayouts();
// The name a user reads ("Français (BÉPO)"), UTF-8; the XKB name for other layouts.
std::string LayoutLabel(const LayoutName& name);
// The progress record of a layout: classic AZERTY, and the AZERTY variants that type the
// same characters on the same keys, keep "progression1_9.dat"; every other layout has
// its own, "progression1_9-bepo.dat", "progression1_9-ch-fr.dat", never another's.
std::string RecordFileName(const LayoutName& name);

// One key struck to type a character: a physical key (an index into PhysicalKeys()) at a
// level, with Caps Lock on for capitals that only Caps Lock gives (É on classic AZERTY).
struct Keystroke {
    int Place = -1;
    uint8_t Level = 0;
    bool CapsLock = false;

    int Key() const;  // tracked key 1..51, 0 for none
    bool operator==(const Keystroke&) const = default;
};

class KeyboardLayout {
public:
    // What a physical key types: a keysym and its character (0 for a dead key or none)
    // per level.
    struct KeySymbols {
        std::array<uint32_t, kLevelCount> Keysyms{};
        std::array<char32_t, kLevelCount> Chars{};
    };

    KeyboardLayout(LayoutName name, std::vector<KeySymbols> places, std::array<int, 256> placeOfKeycode,
                   std::map<std::pair<uint32_t, uint32_t>, char32_t> compositions, bool builtIn);

    const LayoutName& Name() const { return name_; }
    bool BuiltIn() const { return builtIn_; }

    // Physical side. An XKB keycode to its drawn place (-1 for none), to its tracked key
    // (0 for none) and to the virtual-key code of that position.
    int PlaceOfKeycode(uint32_t keycode) const { return keycode < 256 ? placeOfKeycode_[keycode] : -1; }
    uint8_t VirtualKeyOfKeycode(uint32_t keycode) const;
    uint32_t KeycodeOfPlace(int place) const;

    // What each drawn place types.
    const KeySymbols& Symbols(int place) const { return places_[std::size_t(place)]; }
    // True when the key at this keycode gives the keysym at one of its levels (with Caps
    // Lock for letters): the event agrees with this layout.
    bool Gives(uint32_t keycode, uint32_t keysym) const;
    // The key and level that give a keysym, the plain level first.
    std::optional<Keystroke> StrokeOfKeysym(uint32_t keysym) const;
    // What a dead key followed by a keysym composes, 0 when nothing.
    char32_t Compose(uint32_t deadKeysym, uint32_t keysym) const;
    static bool IsDeadKeysym(uint32_t keysym);
    // The character a dead key stands for on the keyboard (its spacing form: ^ ¨ ´),
    // 0 when unknown.
    char32_t SpacingOfDeadKey(uint32_t keysym) const;

    // Characters (Windows-1252). The keystrokes that type one, in order (the dead key
    // first); empty when the layout cannot type it.
    const std::vector<Keystroke>& Strokes(unsigned char ch) const { return strokes_[ch]; }
    // The key of each character for the progress record: the key of its last keystroke
    // (a capital on its letter's key, ê on the E key).
    const std::array<uint8_t, 256>& KeyOfChar() const { return keyOfChar_; }
    // The virtual-key codes of the key-downs that type a character (modifiers included),
    // for a character that arrives without its key events.
    std::vector<uint8_t> KeyDowns(unsigned char ch) const;
    // A character typed with one plain key, no modifier, no dead key.
    bool IsPlain(unsigned char ch) const;

    // The Windows-1252 character a key types at a level; 0 for none (a dead key, a control
    // character, a character Windows-1252 lacks).
    char ByteAt(int place, int level) const;
    // The cap of a key at a level, for drawing (UTF-8): its character, the spacing form
    // of a dead key, empty for none.
    std::string CapText(int place, int level) const;

private:
    void DeriveCharacterTables();

    LayoutName name_;
    std::vector<KeySymbols> places_;  // one per PhysicalKeys() entry
    std::array<int, 256> placeOfKeycode_{};
    std::map<std::pair<uint32_t, uint32_t>, char32_t> compositions_;
    bool builtIn_ = false;
    std::array<std::vector<Keystroke>, 256> strokes_;
    std::array<uint8_t, 256> keyOfChar_{};
};

// The layout the program counts keys for. Until one is set it is classic AZERTY (the
// built-in copy). The key tables of the record (KeyOfChar) follow it.
const KeyboardLayout& ActiveLayout();
void SetActiveLayout(std::shared_ptr<const KeyboardLayout> layout);
std::shared_ptr<const KeyboardLayout> ActiveLayoutShared();

// The key of each character on the active layout, as the record's readers look it up
// (KeyOfChar[ch]).
struct ActiveKeyOfChar {
    uint8_t operator[](std::size_t ch) const { return ActiveLayout().KeyOfChar()[ch & 0xFF]; }
};
inline constexpr ActiveKeyOfChar KeyOfChar{};
