// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Key events to keys and characters, at the edge: the physical key of an event (its XKB
// keycode) becomes the virtual-key code of that position, and dead keys are composed here
// with the layout's compositions, so that every key-down of a composed character reaches
// the program with its own time.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "keyboard/layout.h"

// What the window system says of one key press. A field it does not give is 0 (events
// made by tests, input methods).
struct KeyPress {
    uint32_t Keycode = 0;      // XKB keycode (the event's native scan code)
    uint32_t Keysym = 0;       // XKB keysym (the event's native virtual key)
    int QtKey = 0;             // the toolkit's key value
    std::u32string_view Text;  // the characters the event types, before any dead key
};

struct TranslatedKey {
    uint8_t VirtualKey = 0;            // the key's position as a virtual-key code, 0 unknown
    uint32_t Keysym = 0;               // the keysym, the event's or the one its key or text gives
    int Place = -1;                    // the drawn place of the key that stands for it, -1 unknown
    std::vector<char32_t> Characters;  // typed characters (after a dead key: its composition)
    bool Cancelled = false;            // a dead key followed by a key it does not compose with
    bool Agrees = true;                // keycode and keysym agree with the layout
};

class KeyTranslator {
public:
    TranslatedKey Press(const KeyboardLayout& layout, const KeyPress& press);
    // Forgets a pending dead key (a reset of the run, a change of layout).
    void Reset() { pendingDead_ = 0; }
    uint32_t PendingDeadKey() const { return pendingDead_; }

private:
    uint32_t pendingDead_ = 0;
};

// The keysym of a press that has none of its own: from the toolkit's key of a dead key
// or a modifier, else from its text.
uint32_t KeysymOf(const KeyPress& press);
// Virtual-key codes of the keys that are not characters (Shift, Ctrl, Caps Lock...), from
// the toolkit's key value; 0 for any other key.
uint8_t VirtualKeyOfSpecialQtKey(int qtKey);
