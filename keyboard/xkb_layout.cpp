// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard/xkb_layout.h"

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string_view>

#include "keyboard/builtin_layout.h"

namespace {

template <class T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const { Free(p); }
};
using Context = std::unique_ptr<xkb_context, Deleter<xkb_context, xkb_context_unref>>;
using Keymap = std::unique_ptr<xkb_keymap, Deleter<xkb_keymap, xkb_keymap_unref>>;
using ComposeTable = std::unique_ptr<xkb_compose_table, Deleter<xkb_compose_table, xkb_compose_table_unref>>;
using ComposeState = std::unique_ptr<xkb_compose_state, Deleter<xkb_compose_state, xkb_compose_state_unref>>;

// No environment: the names asked for are the names compiled, whatever XKB_DEFAULT_* say.
// A context that compiles only a keymap given whole needs no include path, so it is made
// even where the system's XKB data is missing or unreadable.
Context NewContext(bool withSystemData = true) {
    const int flags = XKB_CONTEXT_NO_ENVIRONMENT_NAMES | (withSystemData ? 0 : XKB_CONTEXT_NO_DEFAULT_INCLUDES);
    return Context(xkb_context_new(static_cast<xkb_context_flags>(flags)));
}

// The compose table of the user's locale (and their ~/.XCompose), else of en_US.UTF-8,
// else the dead keys of classic AZERTY compiled into the program.
ComposeTable LoadComposeTable(xkb_context* context) {
    const char* locale = std::setlocale(LC_CTYPE, nullptr);
    for (const char* name : {locale, "en_US.UTF-8"}) {
        if (!name || std::string_view(name) == "C" || std::string_view(name) == "POSIX") continue;
        if (xkb_compose_table* table = xkb_compose_table_new_from_locale(context, name, XKB_COMPOSE_COMPILE_NO_FLAGS))
            return ComposeTable(table);
    }
    return ComposeTable(xkb_compose_table_new_from_buffer(context, kBuiltInCompose, std::strlen(kBuiltInCompose), "C",
                                                          XKB_COMPOSE_FORMAT_TEXT_V1, XKB_COMPOSE_COMPILE_NO_FLAGS));
}

// Level of a key reached with this modifier mask: plain, Shift, AltGr, Shift+AltGr.
int LevelOfMask(xkb_keymap* keymap, xkb_mod_mask_t mask) {
    const xkb_mod_index_t shift = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT);
    xkb_mod_index_t altGr = xkb_keymap_mod_get_index(keymap, "Mod5");
    const xkb_mod_index_t levelThree = xkb_keymap_mod_get_index(keymap, "LevelThree");
    int level = 0;
    if (shift != XKB_MOD_INVALID && (mask & (1u << shift))) level |= kShiftLevelBit;
    if (altGr != XKB_MOD_INVALID && (mask & (1u << altGr))) level |= kAltGrLevelBit;
    if (levelThree != XKB_MOD_INVALID && (mask & (1u << levelThree))) level |= kAltGrLevelBit;
    const xkb_mod_mask_t known = (shift != XKB_MOD_INVALID ? 1u << shift : 0) |
                                 (altGr != XKB_MOD_INVALID ? 1u << altGr : 0) |
                                 (levelThree != XKB_MOD_INVALID ? 1u << levelThree : 0);
    return (mask & ~known) == 0 ? level : -1;  // Ctrl, Lock or others: not one of the four
}

std::unique_ptr<KeyboardLayout> BuildLayout(const LayoutName& name, xkb_context* context, xkb_keymap* keymap,
                                            bool builtIn) {
    const std::span<const PhysicalKey> keys = PhysicalKeys();
    std::vector<KeyboardLayout::KeySymbols> places(keys.size());
    std::array<int, 256> placeOfKeycode;
    placeOfKeycode.fill(-1);
    std::set<uint32_t> keysyms;
    for (std::size_t p = 0; p < keys.size(); ++p) {
        if (!*keys[p].XkbName) continue;
        const xkb_keycode_t keycode = xkb_keymap_key_by_name(keymap, keys[p].XkbName);
        if (keycode == XKB_KEYCODE_INVALID || keycode >= 256) continue;
        if (placeOfKeycode[keycode] < 0) placeOfKeycode[keycode] = int(p);
        const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, keycode, 0);
        for (xkb_level_index_t l = 0; l < levels; ++l) {
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap, keycode, 0, l, &syms) != 1) continue;
            xkb_mod_mask_t masks[16];
            const std::size_t maskCount = xkb_keymap_key_get_mods_for_level(keymap, keycode, 0, l, masks, 16);
            for (std::size_t m = 0; m < maskCount; ++m) {
                const int level = LevelOfMask(keymap, masks[m]);
                if (level < 0 || places[p].Keysyms[std::size_t(level)] != 0) continue;
                places[p].Keysyms[std::size_t(level)] = syms[0];
                places[p].Chars[std::size_t(level)] = xkb_keysym_to_utf32(syms[0]);
                keysyms.insert(syms[0]);
            }
        }
    }
    // What the dead keys compose with every keysym the layout types (and the space bar,
    // which gives the dead key's own character).
    std::map<std::pair<uint32_t, uint32_t>, char32_t> compositions;
    ComposeTable table = LoadComposeTable(context);
    if (table) {
        ComposeState state(xkb_compose_state_new(table.get(), XKB_COMPOSE_STATE_NO_FLAGS));
        for (uint32_t dead : keysyms) {
            if (!KeyboardLayout::IsDeadKeysym(dead)) continue;
            for (uint32_t next : keysyms) {
                xkb_compose_state_reset(state.get());
                xkb_compose_state_feed(state.get(), dead);
                xkb_compose_state_feed(state.get(), next);
                if (xkb_compose_state_get_status(state.get()) != XKB_COMPOSE_COMPOSED) continue;
                const xkb_keysym_t result = xkb_compose_state_get_one_sym(state.get());
                const char32_t ch = result != XKB_KEY_NoSymbol ? xkb_keysym_to_utf32(result) : 0;
                if (ch != 0) compositions[{dead, next}] = ch;
            }
        }
    }
    return std::make_unique<KeyboardLayout>(name, std::move(places), placeOfKeycode, std::move(compositions), builtIn);
}

}  // namespace

std::unique_ptr<KeyboardLayout> LoadXkbLayout(const LayoutName& name, std::string* error) {
    Context context = NewContext();
    if (!context) {
        if (error) *error = "la bibliothèque des claviers ne peut pas démarrer";
        return nullptr;
    }
    const xkb_rule_names names{"evdev", "pc105", name.Layout.c_str(), name.Variant.c_str(), ""};
    Keymap keymap(xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap) {
        if (error)
            *error = "la disposition «\u00A0" + name.Text() + "\u00A0» est introuvable dans les données XKB du système";
        return nullptr;
    }
    return BuildLayout(name, context.get(), keymap.get(), false);
}

std::unique_ptr<KeyboardLayout> BuiltInAzerty() {
    Context context = NewContext(false);
    Keymap keymap(context ? xkb_keymap_new_from_string(context.get(), kBuiltInAzertyKeymap, XKB_KEYMAP_FORMAT_TEXT_V1,
                                                       XKB_KEYMAP_COMPILE_NO_FLAGS)
                          : nullptr);
    if (!keymap) {
        // Only without memory: a layout that types nothing rather than no layout at all.
        std::array<int, 256> noPlaces;
        noPlaces.fill(-1);
        return std::make_unique<KeyboardLayout>(LayoutName{},
                                                std::vector<KeyboardLayout::KeySymbols>(PhysicalKeys().size()),
                                                noPlaces, std::map<std::pair<uint32_t, uint32_t>, char32_t>{}, true);
    }
    return BuildLayout(LayoutName{}, context.get(), keymap.get(), true);
}

std::shared_ptr<const KeyboardLayout> LoadLayout(const LayoutName& name, bool* fellBack) {
    if (fellBack) *fellBack = false;
    if (std::unique_ptr<KeyboardLayout> layout = LoadXkbLayout(name)) return layout;
    if (fellBack) *fellBack = true;
    return BuiltInAzerty();
}
