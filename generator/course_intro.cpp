// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/course_intro.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "keyboard/keys.h"

namespace {

constexpr std::size_t kMaxNeighbours = 3;
constexpr int kMinLength = 40;

}  // namespace

std::string KeyNeighbours(const KeyboardLayout& layout, unsigned char ch, std::string_view allowed) {
    const std::vector<Keystroke>& strokes = layout.Strokes(ch);
    if (strokes.empty() || strokes.back().Place < 0) return {};
    const Keystroke& stroke = strokes.back();
    const std::span<const PhysicalKey> keys = PhysicalKeys();
    const PhysicalKey& key = keys[std::size_t(stroke.Place)];
    struct Near {
        char c;
        double distance;
    };
    std::vector<Near> near;
    for (std::size_t place = 0; place < keys.size(); ++place) {
        const PhysicalKey& other = keys[place];
        const double dx = std::fabs(other.X - key.X);
        // Beside it on the row, or above or below it under the same finger (the nearer
        // column of an index finger).
        double distance = 0;
        if (other.Row == key.Row && dx > 0.5 && dx < 1.5)
            distance = dx;
        else if (std::abs(other.Row - key.Row) == 1 && other.Hand == key.Hand && dx < 1.0)
            distance = 1.5 + dx;
        else
            continue;
        const char c = layout.ByteAt(int(place), stroke.Level);
        if (c == 0 || c == char(ch) || c == ' ' || allowed.find(c) == std::string_view::npos) continue;
        if (std::none_of(near.begin(), near.end(), [c](const Near& n) { return n.c == c; }))
            near.push_back({c, distance});
    }
    std::stable_sort(near.begin(), near.end(), [](const Near& a, const Near& b) { return a.distance < b.distance; });
    std::string out;
    for (std::size_t i = 0; i < near.size() && i < kMaxNeighbours; ++i) out += near[i].c;
    return out;
}

std::string KeyIntroLine(unsigned char ch, std::string_view neighbours, int maxLength) {
    const char k = char(ch);
    std::vector<std::string> groups = {std::string(3, k)};
    for (const char n : neighbours)
        for (const std::string& g : {std::string(3, n), std::string{k, n}, std::string{n, k}, std::string{k, k, n},
                                     std::string{n, k, k}, std::string{k, n, k}})
            groups.push_back(g);
    if (neighbours.empty())
        for (const std::string& g : {std::string(2, k), std::string(1, k), std::string(4, k), std::string(2, k)})
            groups.push_back(g);
    // The groups once, and again from the second while the line is short.
    std::string line;
    for (std::size_t i = 0; i < 2 * groups.size(); ++i) {
        const std::string& g = groups[i < groups.size() ? i : 1 + (i - groups.size()) % (groups.size() - 1)];
        if (int(line.size() + 1 + g.size()) > maxLength || (i >= groups.size() && int(line.size()) >= kMinLength))
            break;
        if (!line.empty()) line += ' ';
        line += g;
    }
    return line;
}

CourseText MakeCourseLesson(const CourseIndex& index, const KeyboardLayout& layout, unsigned char focus,
                            std::span<const CoursePair> slowPairs, int targetLength, CourseVariety* variety,
                            bool drillKey, std::string_view allowed) {
    CourseText lesson = MakeCourseText(index, char(focus), slowPairs, targetLength, variety);
    lesson.text = AddDrillCharacter(std::move(lesson.text), focus, allowed);
    if (drillKey) {
        const std::string line = KeyIntroLine(focus, KeyNeighbours(layout, focus, allowed));
        if (!line.empty()) lesson.text = lesson.text.empty() ? line : line + " " + lesson.text;
    }
    return lesson;
}
