// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Turns the characters a reader decodes, paragraph by paragraph, into the text to type and
// cuts it into passages as it goes, so that the first passages are ready long before the
// end of a book. Each character is composed with the accents that follow it, replaced by
// what the layout types for it (stand_ins.h), and blanks are collapsed. A passage is made
// of whole sentences, about `length` characters: it ends at the first sentence end past
// that length; a sentence that would take it past one and a half times that length ends
// it at the previous sentence end, or, when the sentence alone is that long, at a blank.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "reading/read_text.h"
#include "reading/stand_ins.h"

// What "Nombre de phrases" asks, in characters: that many sentences of the usual length.
constexpr std::size_t kAverageSentenceLength = 100;  // the generator's sentences
constexpr std::size_t kMinPassageLength = 40;
constexpr std::size_t kMaxPassageLength = 8000;
std::size_t PassageLengthForSentences(int sentences);

class TextBuilder {
public:
    TextBuilder(const TypingRules& rules, std::size_t length);

    // The next character of the text, as decoded.
    void Add(char32_t c) {
        ++source_;
        // Most characters: a printable ASCII one inside a word.
        if (c > 0x20 && c < 0x7F && blank_ == Blank::None && inParagraph_ && rules_.Typable[c] &&
            text_.Text.size() < hardCut_) {
            text_.Text.push_back(char(c));
            return;
        }
        AddOther(c);
    }
    // The paragraph ends here (an empty one is dropped).
    void EndParagraph();
    // The text ends: the last passage is complete.
    void Finish();

    // A passage starts at the first word at or after this place (in characters read): the
    // place where the user stopped, so that the passages from there are the same however
    // the text before it was cut.
    void CutAt(uint64_t source) { cutAt_ = source; }
    // Counts the characters read from `source` on: for a chapter read ahead of the rest of
    // its book, whose place in the book is known.
    void StartAtSource(uint64_t source) { source_ = source; }
    uint64_t SourceCount() const { return source_; }
    // An empty builder with the same rules and length.
    TextBuilder Sibling() const { return TextBuilder(rules_, length_); }

    // Passages 0 .. Finished()-1 have their whole text.
    int Finished() const {
        return finished_ ? int(text_.Passages.size()) : std::max(0, int(text_.Passages.size()) - 1);
    }
    // Bytes of text so far.
    std::size_t Size() const { return text_.Text.size(); }
    // Makes room for the text before it grows, from what is left to decode (an upper bound
    // of its bytes) and the share of the input decoded so far: the text is then rarely
    // copied to grow, and holds little unused room at the end.
    void Anticipate(std::size_t comingBytes, double shareDone);

    ReadText& Text() { return text_; }
    const ReadText& Text() const { return text_; }

private:
    void AddOther(char32_t c);
    void ComposeWithLast(char32_t mark);
    void Put(const char* bytes, std::size_t count, uint64_t source);
    void StartWord(std::size_t at, uint64_t source, unsigned char first, bool afterParagraph);
    void Cut(std::size_t at, uint64_t source);
    bool EndsSentence(std::size_t wordEnd) const;

    TypingRules rules_;
    std::size_t length_;
    std::size_t longest_;
    ReadText text_;
    std::string scratch_;
    uint64_t source_ = 0;
    uint64_t cutAt_ = UINT64_MAX;
    enum class Blank : uint8_t { None, Plain, NoBreak } blank_ = Blank::None;
    bool inParagraph_ = false;
    bool finished_ = false;
    std::size_t passageStart_ = 0;
    std::size_t hardCut_ = 0;  // a run of characters without a blank is cut here
    std::size_t wordStart_ = 0;
    // The latest sentence start inside the passage being cut (0: none).
    std::size_t sentenceStart_ = 0;
    uint64_t sentenceSource_ = 0;
};
