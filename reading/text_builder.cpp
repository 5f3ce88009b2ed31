// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/text_builder.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "common/cp1252.h"

namespace {

constexpr char kNoBreak = char(0xA0);

// Marks that close what comes before them: never the first character of a sentence, nor
// of a passage.
bool Trails(unsigned char b) {
    return std::string_view(",;:!?.)]}").find(char(b)) != std::string_view::npos || b == 0xBB || b == 0x94 || b == 0x92;
}

// What may stand after a sentence's final mark: closing quotes and brackets.
bool ClosesAfterEnd(unsigned char b) {
    return b == '"' || b == '\'' || b == ')' || b == ']' || b == 0xBB || b == 0x94 || b == 0x92 || b == 0xA0;
}

bool IsLetter(unsigned char b) { return IsCp1252Lower(b) || IsCp1252Upper(b); }

// Words after which a full stop does not end the sentence.
constexpr std::array<std::string_view, 12> kAbbreviations = {"M",  "MM", "Mme", "Mlle", "Mgr", "Dr",
                                                             "Pr", "St", "Ste", "Me",   "cf",  "ex"};

}  // namespace

std::size_t PassageLengthForSentences(int sentences) {
    return std::clamp(std::size_t(std::max(sentences, 1)) * kAverageSentenceLength, kMinPassageLength,
                      kMaxPassageLength);
}

TextBuilder::TextBuilder(const TypingRules& rules, std::size_t length)
    : rules_(rules), length_(std::clamp(length, kMinPassageLength, kMaxPassageLength)), longest_(length_ * 3 / 2) {}

void TextBuilder::EndParagraph() {
    ++source_;
    inParagraph_ = false;
    blank_ = Blank::None;
}

void TextBuilder::Finish() {
    EndParagraph();
    --source_;  // the text's end is no paragraph break
    finished_ = true;
    text_.SourceLength = source_;
}

void TextBuilder::Anticipate(std::size_t comingBytes, double shareDone) {
    std::string& text = text_.Text;
    const std::size_t needed = text.size() + comingBytes;
    if (needed <= text.capacity()) return;
    const std::size_t predicted = shareDone > 0.01 ? std::size_t(double(text.size()) / shareDone * 1.02) : 0;
    text.reserve(std::max(needed, predicted));
}

void TextBuilder::AddOther(char32_t c) {
    const uint64_t source = source_ - 1;
    if (IsCombiningMark(c)) {
        ComposeWithLast(c);
        return;
    }
    if (c > 0x20 && c < 0x7F && rules_.Typable[c]) {
        const char byte = char(c);
        Put(&byte, 1, source);
        return;
    }
    switch (ClassOf(c)) {
        case CharClass::Blank:
            if (blank_ == Blank::None) blank_ = Blank::Plain;
            return;
        case CharClass::NoBreakBlank: blank_ = Blank::NoBreak; return;
        case CharClass::Invisible: return;
        case CharClass::Printable: break;
    }
    scratch_.clear();
    if (!AppendTyped(c, rules_, scratch_)) {
        ++text_.Dropped;
        constexpr std::size_t kSampleSize = 8;
        if (text_.DroppedSample.size() < kSampleSize && text_.DroppedSample.find(c) == std::u32string::npos)
            text_.DroppedSample += c;
        return;
    }
    Put(scratch_.data(), scratch_.size(), source);
}

void TextBuilder::ComposeWithLast(char32_t mark) {
    // An accent composes with the letter just before it. One that composes nothing
    // Windows-1252 holds is left out: the letter stands for the whole, as it does for a
    // precomposed letter that the layout cannot type.
    std::string& text = text_.Text;
    if (!inParagraph_ || blank_ != Blank::None || text.empty()) return;
    const char32_t composed = ComposeAccent(char32_t(static_cast<unsigned char>(text.back())), mark);
    scratch_.clear();
    if (composed == 0 || !AppendTyped(composed, rules_, scratch_)) return;
    text.pop_back();
    text += scratch_;
}

void TextBuilder::Put(const char* bytes, std::size_t count, uint64_t source) {
    std::string& text = text_.Text;
    const auto first = static_cast<unsigned char>(bytes[0]);
    if (!inParagraph_) {
        if (!text.empty()) text += '\n';
        inParagraph_ = true;
        blank_ = Blank::None;
        StartWord(text.size(), source, first, true);
    } else if (blank_ == Blank::Plain) {
        text += ' ';
        StartWord(text.size(), source, first, false);
        blank_ = Blank::None;
    } else if (blank_ == Blank::NoBreak) {
        text += kNoBreak;
        blank_ = Blank::None;
    } else if (text.size() >= hardCut_) {
        // A run this long without a blank is no word: it is cut anyway.
        Cut(text.size(), source);
    }
    text.append(bytes, count);
}

void TextBuilder::StartWord(std::size_t at, uint64_t source, unsigned char first, bool afterParagraph) {
    if (text_.Passages.empty() || source >= cutAt_) {
        if (source >= cutAt_) cutAt_ = UINT64_MAX;
        Cut(at, source);
        wordStart_ = at;
        return;
    }
    const bool opensSentence = !IsCp1252Lower(first) && !Trails(first);
    if (afterParagraph || (opensSentence && EndsSentence(at - 1))) {
        if (at - passageStart_ >= length_) {
            Cut(at, source);
        } else {
            sentenceStart_ = at;
            sentenceSource_ = source;
        }
    }
    if (at - passageStart_ > longest_) {
        if (sentenceStart_ > passageStart_ && sentenceStart_ - passageStart_ >= length_ / 2)
            Cut(sentenceStart_, sentenceSource_);
        if (at - passageStart_ > longest_ && !Trails(first)) Cut(at, source);
    }
    wordStart_ = at;
}

void TextBuilder::Cut(std::size_t at, uint64_t source) {
    text_.Passages.push_back({uint32_t(at), source});
    passageStart_ = at;
    hardCut_ = at + 2 * longest_;
    sentenceStart_ = 0;
}

bool TextBuilder::EndsSentence(std::size_t wordEnd) const {
    const std::string& text = text_.Text;
    std::size_t end = wordEnd;
    while (end > wordStart_ && ClosesAfterEnd(static_cast<unsigned char>(text[end - 1]))) --end;
    if (end == wordStart_) return false;
    const auto last = static_cast<unsigned char>(text[end - 1]);
    if (last == '!' || last == '?' || last == 0x85) return true;
    if (last != '.') return false;
    // A full stop after an initial ("J. Verne") or a title ("M. Dupont") ends nothing.
    std::size_t start = end - 1;
    while (start > wordStart_ && IsLetter(static_cast<unsigned char>(text[start - 1]))) --start;
    const std::string_view word(text.data() + start, end - 1 - start);
    if (word.size() == 1 && IsCp1252Upper(static_cast<unsigned char>(word[0]))) return false;
    return std::find(kAbbreviations.begin(), kAbbreviations.end(), word) == kAbbreviations.end();
}
