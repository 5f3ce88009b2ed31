// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/system_layout.h"

#include <xcb/xcb.h>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
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

xcb_connection_t* X11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

constexpr const char* kRulesNamesAtom = "_XKB_RULES_NAMES";

xcb_atom_t RulesNamesAtom(xcb_connection_t* connection, bool onlyIfExists) {
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> atom(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, onlyIfExists ? 1 : 0, uint16_t(std::strlen(kRulesNamesAtom)), kRulesNamesAtom),
        nullptr));
    return atom ? atom->atom : xcb_atom_t(XCB_NONE);
}

xcb_window_t RootWindow(xcb_connection_t* connection) {
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    return screens.rem ? screens.data->root : xcb_window_t(XCB_NONE);
}

std::optional<LayoutName> FromX11() {
    xcb_connection_t* connection = X11Connection();
    if (!connection) return std::nullopt;
    const xcb_atom_t atom = RulesNamesAtom(connection, true);
    const xcb_window_t root = RootWindow(connection);
    if (atom == XCB_NONE || root == XCB_NONE) return std::nullopt;
    std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> property(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, atom, XCB_ATOM_STRING, 0, 1024), nullptr));
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

// Watches the X server's keyboard: XKB's new-keyboard, map and state events (the toolkit
// selects them for its own keymap) and the rule names on the root window.
class X11LayoutWatcher : public QObject, public QAbstractNativeEventFilter {
public:
    X11LayoutWatcher(xcb_connection_t* connection, std::function<void()> changed, QObject* parent)
        : QObject(parent), changed_(std::move(changed)) {
        if (const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(connection, &xcb_xkb_id);
            xkb && xkb->present)
            xkbEvent_ = xkb->first_event;
        rulesAtom_ = RulesNamesAtom(connection, false);
        // The root window's property changes, added to what the toolkit already asks for.
        const xcb_window_t root = RootWindow(connection);
        std::unique_ptr<xcb_get_window_attributes_reply_t, FreeDeleter> attributes(
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, root), nullptr));
        if (attributes && !(attributes->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE)) {
            const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
            xcb_flush(connection);
        }
        group_ = CurrentGroup(connection);
        // A burst of events (setxkbmap sends several) is answered once, after it.
        timer_.setSingleShot(true);
        timer_.setInterval(30);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { changed_(); });
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~X11LayoutWatcher() override {
        if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const uint8_t type = event->response_type & 0x7f;
        if (xkbEvent_ != 0 && type == xkbEvent_) {
            const uint8_t xkbType = event->pad0;  // the XKB event's own type
            if (xkbType == XCB_XKB_NEW_KEYBOARD_NOTIFY || xkbType == XCB_XKB_MAP_NOTIFY) {
                timer_.start();
            } else if (xkbType == XCB_XKB_STATE_NOTIFY) {
                const auto* state = reinterpret_cast<const xcb_xkb_state_notify_event_t*>(event);
                if (int(state->group) != group_) {
                    group_ = int(state->group);
                    timer_.start();
                }
            }
        } else if (type == XCB_PROPERTY_NOTIFY) {
            if (reinterpret_cast<const xcb_property_notify_event_t*>(event)->atom == rulesAtom_) timer_.start();
        }
        return false;  // the toolkit handles them too
    }

private:
    std::function<void()> changed_;
    uint8_t xkbEvent_ = 0;
    xcb_atom_t rulesAtom_ = XCB_NONE;
    int group_ = 0;
    QTimer timer_;
};

}  // namespace

QObject* WatchSystemLayout(std::function<void()> changed, QObject* parent) {
    if (xcb_connection_t* connection = X11Connection())
        return new X11LayoutWatcher(connection, std::move(changed), parent);
    return nullptr;
}

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
