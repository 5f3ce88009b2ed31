// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a keyboard layout from the system's XKB data (keymap, compose table, derived
// tables), as the program does once at start and at each change of layout.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "keyboard/xkb_layout.h"

int main() {
    using Clock = std::chrono::steady_clock;
    auto millisecondsOf = [](auto&& work) {
        const auto start = Clock::now();
        work();
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    std::vector<double> times;
    for (int round = 0; round < 5; ++round)
        for (const LayoutName& name : FrenchLayouts()) times.push_back(millisecondsOf([&] { LoadXkbLayout(name); }));
    std::sort(times.begin(), times.end());
    std::printf("layout_load_ms %.1f ms\n", times[times.size() / 2]);
    std::printf("layout_load_worst_ms %.1f ms\n", times.back());
    std::vector<double> builtIn;
    for (int round = 0; round < 5; ++round) builtIn.push_back(millisecondsOf([] { BuiltInAzerty(); }));
    std::sort(builtIn.begin(), builtIn.end());
    std::printf("layout_builtin_load_ms %.1f ms\n", builtIn[builtIn.size() / 2]);
    return 0;
}
