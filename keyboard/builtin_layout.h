// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Classic AZERTY compiled into the program at build time from the build machine's XKB data
// (make_builtin_layout.cpp writes the definitions): the keymap in XKB's text format, and
// what its dead keys compose, in the format of the system's Compose files.
#pragma once

extern const char* const kBuiltInAzertyKeymap;
extern const char* const kBuiltInCompose;
