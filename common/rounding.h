// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Rounding used wherever a floating-point figure becomes an integer: to the nearest
// integer, halves to the even neighbour.
#pragma once

#include <cmath>
#include <cstdint>

inline int32_t RoundHalfEven(double value) {
    if (!std::isfinite(value)) return 0;
    if (value > 2147483647.0) return INT32_MAX;
    if (value < -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(std::nearbyint(value));  // default mode rounds halves to even
}
