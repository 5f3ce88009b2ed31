// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pages the course shows before a lesson: where the hands rest, and a key just
// unlocked, named with its finger and row on the layout.
#pragma once

#include <QString>

#include "exercise/course.h"
#include "keyboard/layout.h"

struct CoursePage {
    QString Title;
    QString Text;
};

CoursePage WelcomePage(const KeyboardLayout& layout);
CoursePage NewKeyPage(const CourseStep& added, const KeyboardLayout& layout);
