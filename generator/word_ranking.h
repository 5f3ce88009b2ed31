// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How common each word form is: the rank of a form in the list of the most frequent
// French words (mots-frequents.txt in the data folder, UTF-8, one form a line, the most
// frequent first). Only a lookup table: the course takes its words from the lexicon and
// asks here how common they are, so a word of the list that the lexicon lacks never
// reaches a text.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

// File name inside the data folder (made at build time from the builder's frequency list).
inline constexpr const char* kWordRankingFile = "mots-frequents.txt";

class WordRanking {
public:
    // Rank given to a form the list does not hold: after every listed one.
    static constexpr int kUnranked = 1 << 30;

    // Reads the list from UTF-8 text: line i (from 1) gives its form rank i, unless the
    // form came earlier. Lines that Windows-1252 cannot hold, and empty lines, are skipped
    // (they keep their rank number). Replaces what the table held.
    void Read(std::string_view utf8Text);

    // The rank of a Windows-1252 form, kUnranked when it is not listed (case-sensitive).
    int Rank(std::string_view form) const;
    std::size_t Size() const { return ranks_.size(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_map<std::string, int, Hash, std::equal_to<>> ranks_;
};

// Reads dataDirectory + "/mots-frequents.txt". Throws IoError naming the file (kIoFileNotFound
// when it is missing); a caller that goes on without it gets texts with the short words first.
WordRanking LoadWordRanking(const std::string& dataDirectory);
