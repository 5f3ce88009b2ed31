// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/key_input.h"

#include <xkbcommon/xkbcommon.h>

namespace {

// The toolkit's values of the keys that are not characters.
constexpr int kQtKeyEscape = 0x01000000;
constexpr int kQtKeyTab = 0x01000001;
constexpr int kQtKeyBackspace = 0x01000003;
constexpr int kQtKeyReturn = 0x01000004;
constexpr int kQtKeyEnter = 0x01000005;
constexpr int kQtKeyShift = 0x01000020;
constexpr int kQtKeyControl = 0x01000021;
constexpr int kQtKeyAlt = 0x01000023;
constexpr int kQtKeyCapsLock = 0x01000024;
constexpr int kQtKeyAltGr = 0x01001103;
// The toolkit numbers the dead keys as XKB does, from dead grave on.
constexpr int kQtFirstDeadKey = 0x01001250;
constexpr int kQtLastDeadKey = 0x01001283;
constexpr uint32_t kFirstDeadKeysym = 0xfe50;

bool IsModifier(uint32_t keysym) {
    return (keysym >= XKB_KEY_Shift_L && keysym <= XKB_KEY_Hyper_R) ||
           (keysym >= XKB_KEY_ISO_Lock && keysym <= XKB_KEY_ISO_Last_Group_Lock);
}

}  // namespace

uint8_t VirtualKeyOfSpecialQtKey(int qtKey) {
    switch (qtKey) {
        case kQtKeyShift: return VK_SHIFT;
        case kQtKeyAlt:
        case kQtKeyAltGr: return VK_MENU;
        case kQtKeyControl: return VK_CONTROL;
        case kQtKeyCapsLock: return VK_CAPITAL;
        case kQtKeyBackspace: return VK_BACK;
        case kQtKeyTab: return VK_TAB;
        case kQtKeyReturn:
        case kQtKeyEnter: return VK_RETURN;
        case kQtKeyEscape: return VK_ESCAPE;
        default: return 0;
    }
}

uint32_t KeysymOf(const KeyPress& press) {
    if (press.Keysym != 0) return press.Keysym;
    if (press.QtKey >= kQtFirstDeadKey && press.QtKey <= kQtLastDeadKey)
        return kFirstDeadKeysym + uint32_t(press.QtKey - kQtFirstDeadKey);
    switch (press.QtKey) {
        case kQtKeyShift: return XKB_KEY_Shift_L;
        case kQtKeyAltGr: return XKB_KEY_ISO_Level3_Shift;
        case kQtKeyAlt: return XKB_KEY_Alt_L;
        case kQtKeyControl: return XKB_KEY_Control_L;
        case kQtKeyCapsLock: return XKB_KEY_Caps_Lock;
        default: break;
    }
    if (press.Text.size() == 1) return xkb_utf32_to_keysym(press.Text[0]);
    if (press.QtKey > 0 && press.QtKey < 0x01000000) return xkb_utf32_to_keysym(char32_t(press.QtKey));
    return 0;
}

TranslatedKey KeyTranslator::Press(const KeyboardLayout& layout, const KeyPress& press) {
    TranslatedKey out;
    const uint32_t keysym = KeysymOf(press);
    out.Keysym = keysym;
    // The position: the event's own key, unless the key does not give this keysym on the
    // layout (a wrong layout chosen, or a virtual keyboard with a keymap of its own): the
    // key that gives it on the layout then stands for it.
    const int place = layout.PlaceOfKeycode(press.Keycode);
    const bool modifier = IsModifier(keysym);
    out.Agrees = place >= 0 && (keysym == 0 || modifier || layout.Gives(press.Keycode, keysym));
    if (out.Agrees) {
        out.Place = place;
    } else if (const std::optional<Keystroke> stroke = layout.StrokeOfKeysym(keysym)) {
        out.Place = stroke->Place;
    }
    if (out.Place >= 0) out.VirtualKey = PhysicalKeys()[std::size_t(out.Place)].Vk;
    if (out.VirtualKey == 0) out.VirtualKey = VirtualKeyOfSpecialQtKey(press.QtKey);
    if (modifier) return out;  // a modifier between a dead key and its letter keeps the dead key

    if (KeyboardLayout::IsDeadKeysym(keysym)) {
        if (pendingDead_ == 0) {
            pendingDead_ = keysym;
        } else {
            // Two dead keys: what they compose (the same key twice gives its own character).
            const char32_t composed = layout.Compose(pendingDead_, keysym);
            pendingDead_ = 0;
            if (composed != 0)
                out.Characters.push_back(composed);
            else
                out.Cancelled = true;
        }
        return out;
    }
    if (pendingDead_ != 0) {
        const char32_t composed = layout.Compose(pendingDead_, keysym);
        pendingDead_ = 0;
        if (composed != 0)
            out.Characters.push_back(composed);
        else
            out.Cancelled = !press.Text.empty();
        return out;
    }
    out.Characters.assign(press.Text.begin(), press.Text.end());
    return out;
}
