// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/typing_cursor.h"

#include "exercise/typing.h"

int TypingCursor::LineCount() const {
    int count = int(lines_.size());
    if (count > 0 && lines_.back().empty()) --count;
    return count;
}

const std::string& TypingCursor::Line(int index) const {
    static const std::string empty;
    if (index < 0 || std::size_t(index) >= lines_.size()) return empty;
    return lines_[std::size_t(index)];
}

std::optional<unsigned char> TypingCursor::Expected() const {
    const std::string& line = Line(line_);
    if (std::size_t(typed_) >= line.size()) return std::nullopt;
    return static_cast<unsigned char>(line[std::size_t(typed_)]);
}

std::vector<Keystroke> TypingCursor::ExpectedStrokes(const KeyboardLayout& layout) const {
    const std::optional<unsigned char> expected = Expected();
    if (!expected) return {};
    // A plain blank stands for the no-break space: it is typed with the space bar.
    return layout.Strokes(*expected == kNoBreakSpace ? ' ' : *expected);
}
