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
        if (IsCombiningMark(c)) {
            ComposeWithPending(c);
            return;
        }
        if (pending_ != 0) EmitPending();
        pending_ = c;
        pendingSource_ = source_ - 1;
    }
    // The paragraph ends here (an empty one is dropped).
    void EndParagraph();
    // The text ends: the last passage is complete.
    void Finish();

    // Passages 0 .. Finished()-1 have their whole text.
    int Finished() const { return finished_ ? int(text_.Passages.size()) : int(text_.Passages.size()) - 1; }
    // Bytes of text so far.
    std::size_t Size() const { return text_.Text.size(); }
    // Makes room for the text before it grows, from what is left to decode (an upper bound
    // of its bytes) and the share of the input decoded so far: the text is then rarely
    // copied to grow, and holds little unused room at the end.
    void Anticipate(std::size_t comingBytes, double shareDone);

    ReadText& Text() { return text_; }
    const ReadText& Text() const { return text_; }

private:
    void ComposeWithPending(char32_t mark);
    void EmitPending();
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
    char32_t pending_ = 0;
    uint64_t pendingSource_ = 0;
    enum class Blank : uint8_t { None, Plain, NoBreak } blank_ = Blank::None;
    bool inParagraph_ = false;
    bool finished_ = false;
    std::size_t passageStart_ = 0;
    std::size_t wordStart_ = 0;
    // The latest sentence start inside the passage being cut (0: none).
    std::size_t sentenceStart_ = 0;
    uint64_t sentenceSource_ = 0;
};
