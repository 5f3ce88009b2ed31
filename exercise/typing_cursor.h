// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Where a run stands in its model text: the model's display lines, the line being copied
// and how much of it is typed, the character expected next and the keystrokes that type it
// on the active layout. The window feeds it (the lines as the model box lays them out, the
// line and the characters accepted); the checking of a key, the marking of the next
// character and the on-screen keyboard read it, without asking a widget.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "keyboard/layout.h"

class TypingCursor {
public:
    void SetLines(std::vector<std::string> lines) { lines_ = std::move(lines); }
    // Display lines, less one when the last of them is empty.
    int LineCount() const;
    // Display line i (from 0), empty beyond the last.
    const std::string& Line(int index) const;

    void MoveTo(int line, int typed) {
        line_ = line;
        typed_ = typed < 0 ? 0 : typed;
    }
    int CurrentLine() const { return line_; }
    int Typed() const { return typed_; }

    // The character expected next; nothing when the line is typed in full.
    std::optional<unsigned char> Expected() const;
    // The keystrokes that type it on the layout (empty when nothing is expected, or when
    // the layout cannot type it).
    std::vector<Keystroke> ExpectedStrokes(const KeyboardLayout& layout) const;

private:
    std::vector<std::string> lines_;
    int line_ = 0;
    int typed_ = 0;
};
