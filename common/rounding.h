// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Rounding used wherever a floating-point figure becomes an integer (to the nearest
// integer, halves to the even neighbour) or a text with one decimal.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

inline int32_t RoundHalfEven(double value) {
    if (!std::isfinite(value)) return 0;
    if (value > 2147483647.0) return INT32_MAX;
    if (value < -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(std::nearbyint(value));  // default mode rounds halves to even
}

// "2.5": one decimal, written the same in every locale; `point` in place of the decimal
// point where a French text wants a comma.
inline std::string OneDecimalText(double value, char point = '.') {
    char buffer[320];  // the longest double written this way takes 312
    std::string text(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1).ptr);
    for (char& c : text)
        if (c == '.') c = point;
    return text;
}
