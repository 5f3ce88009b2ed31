// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The layout the desktop says the keyboard has: on X11 the root window's XKB rule names and
// the keyboard's current group; elsewhere the system's keyboard configuration
// (/etc/default/keyboard) or the XKB_DEFAULT_LAYOUT and XKB_DEFAULT_VARIANT of the session.
#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>

#include "keyboard/layout.h"

struct SystemLayout {
    LayoutName Name;
    std::string Source;  // where it was read, in French ("le serveur X", ...)
};
std::optional<SystemLayout> DetectSystemLayout();

// Calls `changed` on the window thread, once per burst, whenever the system's layout may
// have changed: on X11 a change of the keyboard's group (a layout switch shortcut) or of its
// keymap or rule names (setxkbmap). Nothing where the window system tells nothing of it.
// The watcher is a child of `parent`, and stops with it.
QObject* WatchSystemLayout(std::function<void()> changed, QObject* parent);
