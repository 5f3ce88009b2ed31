// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Build step: writes the source of classic AZERTY as built into the program, from the XKB
// data and compose tables of the build machine. Usage: make_builtin_layout OUTPUT.cpp
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <string>

namespace {

// A C++ raw string literal; the delimiter cannot occur in XKB or Compose text.
std::string Literal(const std::string& text) { return "R\"xkb(" + text + ")xkb\""; }

std::string KeysymName(xkb_keysym_t sym) {
    char name[64];
    xkb_keysym_get_name(sym, name, sizeof name);
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_builtin_layout OUTPUT.cpp\n";
        return 2;
    }
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    const xkb_rule_names names{"evdev", "pc105", "fr", "", ""};
    xkb_keymap* keymap = context ? xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
    if (!keymap) {
        std::cerr << "make_builtin_layout: the XKB data has no French layout (install xkb-data)\n";
        return 1;
    }
    char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    std::set<xkb_keysym_t> keysyms;
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= xkb_keymap_max_keycode(keymap); ++key)
        for (xkb_level_index_t l = 0; l < xkb_keymap_num_levels_for_key(keymap, key, 0); ++l) {
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap, key, 0, l, &syms) == 1) keysyms.insert(syms[0]);
        }
    std::string compose;
    xkb_compose_table* table = xkb_compose_table_new_from_locale(context, "en_US.UTF-8", XKB_COMPOSE_COMPILE_NO_FLAGS);
    if (!table) {
        std::cerr << "make_builtin_layout: no compose table for en_US.UTF-8 (install libx11-data)\n";
        return 1;
    }
    xkb_compose_state* state = xkb_compose_state_new(table, XKB_COMPOSE_STATE_NO_FLAGS);
    for (xkb_keysym_t dead : keysyms) {
        if (KeysymName(dead).rfind("dead_", 0) != 0) continue;
        for (xkb_keysym_t next : keysyms) {
            xkb_compose_state_reset(state);
            xkb_compose_state_feed(state, dead);
            xkb_compose_state_feed(state, next);
            if (xkb_compose_state_get_status(state) != XKB_COMPOSE_COMPOSED) continue;
            const xkb_keysym_t result = xkb_compose_state_get_one_sym(state);
            char utf8[16];
            if (result == XKB_KEY_NoSymbol || xkb_compose_state_get_utf8(state, utf8, sizeof utf8) <= 0) continue;
            std::string quoted;
            for (const char* c = utf8; *c; ++c) {
                if (*c == '"' || *c == '\\') quoted += '\\';
                quoted += *c;
            }
            compose += "<" + KeysymName(dead) + "> <" + KeysymName(next) + "> : \"" + quoted + "\" " +
                       KeysymName(result) + "\n";
        }
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << "// Written by make_builtin_layout from the XKB data of the build machine.\n"
        << "#include \"keyboard/builtin_layout.h\"\n\n"
        << "const char* const kBuiltInAzertyKeymap = " << Literal(text) << ";\n\n"
        << "const char* const kBuiltInCompose = " << Literal(compose) << ";\n";
    std::free(text);
    xkb_compose_state_unref(state);
    xkb_compose_table_unref(table);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return out ? 0 : 1;
}
