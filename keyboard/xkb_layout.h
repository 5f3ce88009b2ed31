// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Layouts read from the system's XKB data through libxkbcommon: what every key types at
// every level, and what its dead keys compose by the system's compose tables.
#pragma once

#include <memory>
#include <string>

#include "keyboard/layout.h"

// Compiles a layout from the XKB data (/usr/share/X11/xkb); nothing when the data lacks
// it (`error` then says why, in French).
std::unique_ptr<KeyboardLayout> LoadXkbLayout(const LayoutName& name, std::string* error = nullptr);
// Classic AZERTY as compiled into the program from its build machine's XKB data, for a
// system whose own data is missing.
std::unique_ptr<KeyboardLayout> BuiltInAzerty();
// The layout by name; classic AZERTY built in when the data lacks it (`fellBack` set).
std::shared_ptr<const KeyboardLayout> LoadLayout(const LayoutName& name, bool* fellBack = nullptr);
