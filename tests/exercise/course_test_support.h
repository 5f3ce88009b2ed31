// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the course's tests share: the layouts, a temporary folder removed whatever happens,
// and keystrokes recorded by the dozen.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "exercise/course.h"
#include "keyboard/xkb_layout.h"
#include "support/test_support.h"

namespace course_test {

inline std::shared_ptr<const KeyboardLayout> Load(const char* text) {
    std::shared_ptr<const KeyboardLayout> layout = LoadXkbLayout(*LayoutName::Parse(text));
    EXPECT_TRUE(layout) << text;
    return layout;
}

struct TempFolder {
    std::string Path = test_support::MakeTempFolder("clavelle-course");
    TempFolder() = default;
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { std::filesystem::remove_all(Path); }
};

// A step typed `count` times at `intervalMs`, the last `misses` after a wrong key.
inline void Type(Course& course, int step, int32_t intervalMs, int count, int misses = 0) {
    for (int i = 0; i < count; ++i)
        course.Record(uint8_t(course.Order()[std::size_t(step)].Chars[0]), intervalMs, i < count - misses);
}

// Every unlocked step typed so.
inline void Practise(Course& course, int32_t intervalMs, int count = kMinKeystrokes, int misses = 0) {
    for (int step = 0; step < int(course.Order().size()); ++step)
        if (course.IsUnlocked(step)) Type(course, step, intervalMs, count, misses);
}

}  // namespace course_test
