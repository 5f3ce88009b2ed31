// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The layouts of the keymap a Wayland compositor sends: the toolkit keeps them to itself, so
// a connection of the program's own asks the seat's keyboard for its keymap, now and at
// every change, and reads the layout names of its groups.
#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "keyboard/detect.h"

// Calls `changed` on the window thread with the layouts, by group, of each keymap the
// compositor sends that names its layouts. The watcher is a child of `parent`.
QObject* WatchWaylandKeymap(std::function<void(std::vector<LayoutName>)> changed, QObject* parent);
