// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Plain text files: their encoding, told from their first block (a byte-order mark, valid
// UTF-8, else Windows-1252 or Latin-9), and their decoding block by block into the text
// builder, with their line ends (CR LF, LF, CR) and paragraphs. A text whose lines are
// separated by blank lines is a wrapped one: a single line break joins two lines of a
// paragraph, a blank or indented line starts another. A text without blank lines, or with
// long lines, has one paragraph per line.
#pragma once

#include <string>
#include <string_view>

#include "reading/read_text.h"
#include "reading/text_builder.h"

// The encoding of a text from its first block (`whole`: the block is the whole text);
// `bomBytes` gets the length of its byte-order mark. Throws ReadFailure (NotText) for a
// binary file (NUL bytes without a UTF-16 mark, a PDF document).
TextEncoding DetectEncoding(std::string_view head, bool whole, std::size_t& bomBytes);

// True when the text is valid UTF-8 (`whole`: a sequence cut by its end is not valid).
bool IsValidUtf8(std::string_view text, bool whole);

class PlainTextReader {
public:
    explicit PlainTextReader(TextBuilder& out) : out_(out) {}

    // The next block of the file; `last` after the last one (its block may be empty). The
    // first block decides the encoding and the kind of paragraphs: give at least 64 KiB
    // when the file has that much.
    void Feed(std::string_view bytes, bool last);
    TextEncoding Encoding() const { return encoding_; }

private:
    void Decode(std::string_view bytes, bool last);
    void DecodeUtf8(std::string_view bytes, bool last);
    void DecodeUtf16(std::string_view bytes, bool last);
    void DecideParagraphs();
    void PassLines();

    TextBuilder& out_;
    bool started_ = false;
    TextEncoding encoding_ = TextEncoding::Utf8;
    std::string carry_;       // bytes of a character cut by the end of a block
    std::u32string decoded_;  // the block's characters
    char32_t highSurrogate_ = 0;
    bool byLines_ = false;  // every line break ends a paragraph
    int breaks_ = 0;        // line breaks since the last character
    int indent_ = 0;        // blanks at the start of the present line
    bool afterCr_ = false;
};
