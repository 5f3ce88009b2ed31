// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Windows-1252 text. Every text inside the program is a byte string in this encoding;
// conversion to and from Unicode happens only at the edges (controls, tools).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cp1252_detail {

// Unicode code points of the bytes 0x80..0x9F; 0 marks the five unassigned bytes.
inline constexpr char32_t kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                               0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char32_t ToUnicode(unsigned char c) {
    if (c >= 0x80 && c < 0xA0) {
        char32_t u = kHighControls[c - 0x80];
        return u != 0 ? u : char32_t(c);
    }
    return char32_t(c);
}

// Byte for a code point; -1 when the encoding has none.
constexpr int FromUnicode(char32_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return int(u);
    if (u >= 0x80 && u < 0xA0 && kHighControls[u - 0x80] == 0) return int(u);  // unassigned bytes
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == u && u != 0) return 0x80 + i;
    return -1;
}

// Decodes one UTF-8 sequence at s[i]; advances i. Malformed input yields U+FFFD.
constexpr char32_t DecodeUtf8(const char* s, std::size_t n, std::size_t& i) {
    unsigned char b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80) return b;
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (extra < 0) return 0xFFFD;
    char32_t u = b & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= n || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
        u = (u << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    return u;
}

template <std::size_t N>
struct Utf8Literal {
    char text[N]{};
    constexpr Utf8Literal(const char (&s)[N]) {
        for (std::size_t i = 0; i < N; ++i) text[i] = s[i];
    }
};

template <std::size_t N>
struct Converted {
    std::array<char, N> bytes{};
    std::size_t size = 0;
};

template <Utf8Literal S>
constexpr auto ConvertLiteral() {
    constexpr std::size_t n = sizeof(S.text) - 1;
    Converted<sizeof(S.text)> out;
    std::size_t i = 0;
    while (i < n) {
        int b = FromUnicode(DecodeUtf8(S.text, n, i));
        out.bytes[out.size++] = static_cast<char>(b < 0 ? '?' : b);
    }
    return out;
}

template <Utf8Literal S>
inline constexpr auto kLiteral = ConvertLiteral<S>();

}  // namespace cp1252_detail

// "éléphant"_cp: a UTF-8 source literal turned into Windows-1252 bytes at compile time.
template <cp1252_detail::Utf8Literal S>
constexpr std::string_view operator""_cp() {
    return {cp1252_detail::kLiteral<S>.bytes.data(), cp1252_detail::kLiteral<S>.size};
}

// Stands for a character that Windows-1252 cannot hold, where a byte is expected.
constexpr int kNotCp1252 = -1;

// Unicode code point of a Windows-1252 byte (the five unassigned bytes map to themselves).
inline char32_t Cp1252ToUnicode(unsigned char c) { return cp1252_detail::ToUnicode(c); }

// Windows-1252 byte of a code point, '?' when the encoding cannot hold it.
inline unsigned char UnicodeToCp1252(char32_t u) {
    int b = cp1252_detail::FromUnicode(u);
    return static_cast<unsigned char>(b < 0 ? '?' : b);
}

// Letters of Windows-1252 and their case.
constexpr bool IsCp1252Lower(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 0xDF && c != 0xF7) || c == 0x9C || c == 0x9A || c == 0x9E;
}
constexpr bool IsCp1252Upper(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0x8C || c == 0x8A || c == 0x8E ||
           c == 0x9F;
}
// The capital of a small letter, 0 when it has none.
constexpr unsigned char Cp1252Upper(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    if (c == 0x9C || c == 0x9A || c == 0x9E) return static_cast<unsigned char>(c - 0x10);  // œ š ž
    if (c == 0xFF) return 0x9F;                                                            // ÿ
    return 0;
}
// The small letter of a capital, the byte itself for anything else.
constexpr unsigned char Cp1252Lower(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<unsigned char>(c + 0x20);
    if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 0x10);  // Š Œ Ž
    if (c == 0x9F) return 0xFF;                                                            // Ÿ
    return c;
}

// True when every character of the UTF-8 text has a Windows-1252 byte.
bool FitsCp1252(std::string_view utf8);

std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view text);
// Appends the UTF-8 bytes of a code point.
void AppendUtf8Char(std::string& out, char32_t u);
