// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/plain_text.h"

#include <cstring>

#include "common/cp1252.h"

namespace {

// The UTF-8 sequence at p: its length, with its character in c; 0 when the n bytes end
// inside a sequence valid so far; -1 when invalid (overlong, a surrogate, beyond U+10FFFF).
int DecodeSequence(const unsigned char* p, std::size_t n, char32_t& c) {
    const unsigned char lead = p[0];
    int length = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    } else {
        return -1;
    }
    for (int k = 1; k < length; ++k) {
        if (std::size_t(k) >= n) return 0;
        const unsigned char next = p[k];
        if ((next & 0xC0) != 0x80) return -1;
        if (k == 1 && ((lead == 0xE0 && next < 0xA0) || (lead == 0xED && next >= 0xA0) ||
                       (lead == 0xF0 && next < 0x90) || (lead == 0xF4 && next >= 0x90)))
            return -1;
        c = (c << 6) | (next & 0x3F);
    }
    return length;
}

bool IsAsciiLetter(unsigned char b) { return (b | 0x20) >= 'a' && (b | 0x20) <= 'z'; }
bool IsDigit(unsigned char b) { return b >= '0' && b <= '9'; }

// Latin-9 differs from Latin-1 at eight bytes, French's œ among them.
char32_t Latin9ToUnicode(unsigned char b) {
    switch (b) {
        case 0xA4: return 0x20AC;
        case 0xA6: return 0x0160;
        case 0xA8: return 0x0161;
        case 0xB4: return 0x017D;
        case 0xB8: return 0x017E;
        case 0xBC: return 0x0152;
        case 0xBD: return 0x0153;
        case 0xBE: return 0x0178;
        default: return b;
    }
}

bool IsLineBreak(char32_t c) { return c == '\n' || c == '\r' || c == 0x2028 || c == 0x2029; }

}  // namespace

bool IsValidUtf8(std::string_view text, bool whole) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t i = 0;
    while (i < text.size()) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        char32_t c = 0;
        const int length = DecodeSequence(p + i, text.size() - i, c);
        if (length == 0 && !whole) return true;
        if (length <= 0) return false;
        i += std::size_t(length);
    }
    return true;
}

TextEncoding DetectEncoding(std::string_view head, bool whole, std::size_t& bomBytes) {
    bomBytes = 0;
    if (head.starts_with("\xEF\xBB\xBF")) {
        bomBytes = 3;
        return TextEncoding::Utf8WithBom;
    }
    if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
        bomBytes = 2;
        return head[0] == '\xFF' ? TextEncoding::Utf16Le : TextEncoding::Utf16Be;
    }
    if (head.starts_with("%PDF-")) throw ReadFailure(ReadProblem::NotText, "un document PDF");
    if (head.find('\0') != std::string_view::npos) throw ReadFailure(ReadProblem::NotText, "un fichier binaire");
    if (IsValidUtf8(head, whole)) return TextEncoding::Utf8;
    // Windows-1252 puts ’ … œ and the like at 0x80..0x9F, which are control characters in
    // Latin-9; Latin-9 puts œ at 0xBD, inside words, and € at 0xA4, after an amount.
    bool latin9 = false;
    for (std::size_t i = 0; i < head.size(); ++i) {
        const auto b = static_cast<unsigned char>(head[i]);
        if (b >= 0x80 && b < 0xA0) return TextEncoding::Windows1252;
        const auto at = [&](std::size_t k) { return static_cast<unsigned char>(k < head.size() ? head[k] : '\0'); };
        const unsigned char next = at(i + 1);
        const unsigned char before = at(i - 1);  // beyond the end when i is 0
        const unsigned char twoBefore = at(i - 2);
        if ((b == 0xBC || b == 0xBD) && IsAsciiLetter(next)) latin9 = true;
        if (b == 0xA4 && (IsDigit(before) || (before == ' ' && IsDigit(twoBefore)))) latin9 = true;
    }
    return latin9 ? TextEncoding::Latin9 : TextEncoding::Windows1252;
}

void PlainTextReader::Feed(std::string_view bytes, bool last) {
    if (!started_) {
        if (bytes.empty() && !last) return;
        started_ = true;
        std::size_t bom = 0;
        encoding_ = DetectEncoding(bytes, last, bom);
        bytes.remove_prefix(bom);
        Decode(bytes, last);
        DecideParagraphs();
    } else {
        Decode(bytes, last);
    }
    PassLines();
}

void PlainTextReader::Decode(std::string_view bytes, bool last) {
    decoded_.clear();
    switch (encoding_) {
        case TextEncoding::Utf8:
        case TextEncoding::Utf8WithBom: DecodeUtf8(bytes, last); break;
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be: DecodeUtf16(bytes, last); break;
        case TextEncoding::Windows1252:
            for (const char b : bytes) decoded_ += Cp1252ToUnicode(static_cast<unsigned char>(b));
            break;
        case TextEncoding::Latin9:
            for (const char b : bytes) decoded_ += Latin9ToUnicode(static_cast<unsigned char>(b));
            break;
    }
}

void PlainTextReader::DecodeUtf8(std::string_view bytes, bool last) {
    std::string joined;
    if (!carry_.empty()) {
        joined = carry_ + std::string(bytes);
        bytes = joined;
        carry_.clear();
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            decoded_ += char32_t(p[i++]);
            continue;
        }
        char32_t c = 0;
        const int length = DecodeSequence(p + i, n - i, c);
        if (length > 0) {
            decoded_ += c;
            i += std::size_t(length);
        } else if (length == 0 && !last) {
            carry_.assign(bytes.substr(i));
            break;
        } else {
            // A byte that is not UTF-8 in a UTF-8 text: most often a Windows-1252 one.
            decoded_ += Cp1252ToUnicode(p[i++]);
        }
    }
}

void PlainTextReader::DecodeUtf16(std::string_view bytes, bool last) {
    std::string joined;
    if (!carry_.empty()) {
        joined = carry_ + std::string(bytes);
        bytes = joined;
        carry_.clear();
    }
    const bool little = encoding_ == TextEncoding::Utf16Le;
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        const char32_t unit = little ? char32_t(a | (b << 8)) : char32_t((a << 8) | b);
        if (highSurrogate_ != 0) {
            const char32_t high = highSurrogate_;
            highSurrogate_ = 0;
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                decoded_ += char32_t(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                continue;
            }
            decoded_ += char32_t(0xFFFD);
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            highSurrogate_ = unit;
        } else {
            decoded_ += unit >= 0xDC00 && unit <= 0xDFFF ? 0xFFFD : unit;
        }
    }
    if (i < bytes.size() && !last) carry_.assign(bytes.substr(i));
}

void PlainTextReader::DecideParagraphs() {
    constexpr std::size_t kLongLine = 100;
    int blankLines = 0;
    int textLines = 0;
    int longLines = 0;
    std::size_t length = 0;
    bool hasText = false;
    char32_t previous = 0;
    for (const char32_t c : decoded_) {
        if (IsLineBreak(c)) {
            if (!(c == '\n' && previous == '\r')) {
                if (!hasText) ++blankLines;
                if (hasText) ++textLines;
                if (hasText && length > kLongLine) ++longLines;
                length = 0;
                hasText = false;
            }
        } else {
            ++length;
            if (c != ' ' && c != '\t' && c != 0xA0) hasText = true;
        }
        previous = c;
    }
    byLines_ = blankLines == 0 || longLines * 10 >= textLines;
}

void PlainTextReader::PassLines() {
    for (const char32_t c : decoded_) {
        if (c == '\n' && afterCr_) {
            afterCr_ = false;
            continue;
        }
        afterCr_ = c == '\r';
        if (IsLineBreak(c)) {
            breaks_ += c == 0x2029 ? 2 : 1;
            indent_ = 0;
            continue;
        }
        if (breaks_ > 0) {
            if (c == ' ' || c == 0xA0 || c == '\t') {
                indent_ += c == '\t' ? 2 : 1;
                continue;
            }
            if (byLines_ || breaks_ >= 2 || indent_ >= 2) {
                out_.EndParagraph();
            } else {
                out_.Add(' ');
            }
            breaks_ = 0;
            indent_ = 0;
        }
        out_.Add(c);
    }
}
