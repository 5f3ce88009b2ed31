// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/system_layout.h"

#include <xcb/xcb.h>
#include <QGuiApplication>
// The XKB extension's header names a field "explicit", a C++ keyword.
#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wkeyword-macro"
#endif
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#ifdef __clang__
#pragma clang diagnostic pop
#endif

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "common/safe_file.h"
#include "keyboard/detect.h"

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

// The XKB group the X server's core keyboard is in (0 when it cannot tell).
int CurrentGroup(xcb_connection_t* connection) {
    std::unique_ptr<xcb_xkb_use_extension_reply_t, FreeDeleter> use(xcb_xkb_use_extension_reply(
        connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
    if (!use || !use->supported) return 0;
    std::unique_ptr<xcb_xkb_get_state_reply_t, FreeDeleter> state(
        xcb_xkb_get_state_reply(connection, xcb_xkb_get_state(connection, XCB_XKB_ID_USE_CORE_KBD), nullptr));
    return state ? int(state->group) : 0;
}

std::optional<LayoutName> FromX11() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return std::nullopt;
    xcb_connection_t* connection = x11->connection();
    const char* atomName = "_XKB_RULES_NAMES";
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> atom(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(std::strlen(atomName)), atomName), nullptr));
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    if (!atom || atom->atom == XCB_NONE || !screens.rem) return std::nullopt;
    std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> property(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, screens.data->root, atom->atom, XCB_ATOM_STRING, 0, 1024),
        nullptr));
    if (!property || property->format != 8) return std::nullopt;
    // Rules, model, layouts, variants, options: strings one after the other, each ended by 0.
    const std::string_view value(static_cast<const char*>(xcb_get_property_value(property.get())),
                                 std::size_t(xcb_get_property_value_length(property.get())));
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start <= value.size() && fields.size() < 5) {
        std::size_t end = value.find('\0', start);
        if (end == std::string_view::npos) end = value.size();
        fields.push_back(value.substr(start, end - start));
        start = end + 1;
    }
    if (fields.size() < 4) return std::nullopt;
    return LayoutOfGroup(fields[2], fields[3], CurrentGroup(connection));
}

}  // namespace

std::optional<SystemLayout> DetectSystemLayout() {
    if (std::optional<LayoutName> name = FromX11()) return SystemLayout{*name, "le serveur X"};
    if (const char* layout = std::getenv("XKB_DEFAULT_LAYOUT"); layout && *layout) {
        const char* variant = std::getenv("XKB_DEFAULT_VARIANT");
        if (std::optional<LayoutName> name = LayoutOfGroup(layout, variant ? variant : "", 0))
            return SystemLayout{*name, "la session"};
    }
    if (std::optional<std::string> text = ReadSmallFile("/etc/default/keyboard", 64 * 1024))
        if (std::optional<LayoutName> name = LayoutOfKeyboardConfig(*text))
            return SystemLayout{*name, "la configuration du système"};
    return std::nullopt;
}
