// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The line that introduces a key newly unlocked in the course, before the lesson's words:
// the key alone, then with its neighbours on the keyboard ("jjj kkk jk kj jjk kjj jkj ...").
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "generator/course_text.h"
#include "keyboard/layout.h"

// The characters, among those allowed (Windows-1252), that the keys around the
// character's key type at its level: beside it on its row first, then above and below it
// under the same finger. At most three, nearest first; the character's own is left out.
std::string KeyNeighbours(const KeyboardLayout& layout, unsigned char ch, std::string_view allowed);

// The key alone, then each neighbour with it, in groups of two or three characters
// separated by blanks, cut at a group so that the line stays within maxLength; the key
// alone when it has no neighbour.
std::string KeyIntroLine(unsigned char ch, std::string_view neighbours, int maxLength = 60);

// A lesson as the course gives it: words and sentences around the focus (MakeCourseText),
// the punctuation, digits and symbols drilled between them (AddDrillCharacter), and, for a
// key that still needs keystrokes to be judged (a key just unlocked, a rare letter), the
// line of the key alone and with its neighbours first. `allowed` holds the characters the
// learner may type (Windows-1252).
CourseText MakeCourseLesson(const CourseIndex& index, const KeyboardLayout& layout, unsigned char focus,
                            std::span<const CoursePair> slowPairs, int targetLength, CourseVariety* variety,
                            bool drillKey, std::string_view allowed);
