// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers on Windows-1252 bytes shared by the generator.
#pragma once

#include <string>

// a..z to A..Z; every other character (accented letters included) stays.
inline void CapitalizeAscii(char& c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

// Capitalises the character at position start of text, if there is one.
inline void CapitalizeAt(std::string& text, std::size_t start) {
    if (start < text.size()) CapitalizeAscii(text[start]);
}
