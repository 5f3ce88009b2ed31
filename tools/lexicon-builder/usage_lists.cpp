// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/lexicon-builder/usage_lists.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "common/cp1252.h"
#include "tools/lexicon-builder/affix_file.h"

namespace lexbuild {

namespace {

char LowerCp1252(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return char(c + 0x20);
    if (c == 0x8A || c == 0x8C || c == 0x8E) return char(c + 0x10);  // Š Œ Ž
    if (c == 0x9F) return char(0xFF);                                // Ÿ
    return char(c);
}

std::unordered_set<std::string> FoldedSet(const std::vector<std::string>& utf8Words) {
    std::unordered_set<std::string> out;
    out.reserve(utf8Words.size());
    for (const std::string& word : utf8Words)
        if (FitsCp1252(word)) out.insert(FoldWord(Utf8ToCp1252(word)));
    return out;
}

// The first non-null result of find on the folded word, or else on each hyphen-separated
// part of a compound (lèche-cul) that is not itself allowed (cul-de-sac).
template <typename Find>
auto FindWordOrPart(const std::string& word, const std::unordered_set<std::string>& allowed, Find find)
    -> decltype(find(word)) {
    if (auto found = find(word)) return found;
    if (word.find('-') == std::string::npos || allowed.count(word)) return {};
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = word.find('-', start);
        if (auto found = find(word.substr(start, end - start))) return found;
        if (end == std::string::npos) return {};
        start = end + 1;
    }
}

// The whole text of a UTF-8 file. Throws BuildError naming the file.
std::string ReadUtf8File(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw BuildError("impossible de lire « " + path.string() + " » : " + std::strerror(errno));
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw BuildError("erreur de lecture de « " + path.string() + " »");
    std::string text = std::move(bytes).str();
    try {
        CheckUtf8(text);
    } catch (const BuildError& e) {
        throw BuildError(path.string() + ", " + e.what());
    }
    return text;
}

// A line of a reviewed list without its comment and the blanks around it.
std::string_view ReviewedText(std::string_view line) {
    const std::string_view text = line.substr(0, line.find('#'));
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

}  // namespace

std::string FoldWord(std::string_view cp1252) {
    std::string out;
    out.reserve(cp1252.size() + 2);
    for (char ch : cp1252) {
        const char c = LowerCp1252(static_cast<unsigned char>(ch));
        if (c == '\x9C')
            out += "oe";
        else if (c == '\xE6')
            out += "ae";
        else
            out += c;
    }
    return out;
}

std::filesystem::path DefaultListsFolder() { return CLAVELLE_LEXICON_LISTS_DIR; }

UsageLists ReadUsageLists(const ListPaths& paths) {
    auto pathOr = [](const std::filesystem::path& given, const char* fallback) {
        return given.empty() ? DefaultListsFolder() / fallback : given;
    };
    UsageLists lists = MakeUsageLists(ReadListFile(pathOr(paths.frequency, "frequency/words.txt")),
                                      ReadListFile(pathOr(paths.givenNames, "frequency/given-names.txt")),
                                      ReadListFile(pathOr(paths.demonyms, "demonyms/demonyms.txt")));
    std::vector<std::string> listed = ReadReviewedList(pathOr(paths.badWords, "badwords/words.txt"));
    for (std::string& word : ReadReviewedList(pathOr(paths.moreBadWords, "badwords/added.txt")))
        listed.push_back(std::move(word));
    SetBadWords(lists, listed, ReadReviewedList(pathOr(paths.allowedWords, "badwords/allowed.txt")));
    SetThemedWords(lists, ReadThemeList(pathOr(paths.themes, "badwords/themes.txt")));
    lists.sizes = kDefaultTableSizes;
    return lists;
}

int UsageLists::RankOf(std::string_view cp1252) const {
    auto it = formRanks.find(FoldWord(cp1252));
    return it == formRanks.end() ? 0 : it->second;
}

bool UsageLists::IsCommonLemma(std::string_view cp1252) const {
    const int rank = RankOf(cp1252);
    return rank > 0 && rank <= maxRank;
}

bool UsageLists::IsBadWord(std::string_view cp1252) const {
    return FindWordOrPart(FoldWord(cp1252), allowedWords, [&](const std::string& w) { return badWords.count(w) > 0; });
}

int UsageLists::ThemeOf(std::string_view cp1252) const {
    const std::string word = FoldWord(cp1252);
    if (allowedWords.count(word)) return -1;
    const auto found = FindWordOrPart(word, allowedWords, [&](const std::string& w) -> const int* {
        auto it = themes.find(w);
        return it == themes.end() ? nullptr : &it->second;
    });
    return found ? *found : -1;
}

std::vector<std::string> ReadListFile(const std::filesystem::path& path) {
    const std::string text = ReadUtf8File(path);
    std::vector<std::string> lines;
    std::size_t pos = 0;
    std::string_view line;
    while (NextLine(text, pos, line))
        if (!line.empty()) lines.emplace_back(line);
    return lines;
}

std::vector<std::string> ReadReviewedList(const std::filesystem::path& path) {
    std::vector<std::string> words;
    for (const std::string& line : ReadListFile(path))
        if (const std::string_view word = ReviewedText(line); !word.empty()) words.emplace_back(word);
    return words;
}

std::vector<ThemedWord> ReadThemeList(const std::filesystem::path& path) {
    const std::string text = ReadUtf8File(path);
    std::vector<ThemedWord> words;
    std::size_t pos = 0;
    std::string_view line;
    for (int number = 1; NextLine(text, pos, line); ++number) {
        const std::string_view entry = ReviewedText(line);
        if (entry.empty()) continue;
        const auto fail = [&](const std::string& what) {
            throw BuildError(path.string() + ", ligne " + std::to_string(number) + " : " + what);
        };
        const std::size_t gap = entry.find_first_of(" \t");
        if (gap == std::string_view::npos) fail("le thème de « " + std::string(entry) + " » manque");
        const std::string_view theme = entry.substr(entry.find_first_not_of(" \t", gap));
        if (theme.find_first_of(" \t") != std::string_view::npos)
            fail("« " + std::string(entry) + " » : un mot et son thème attendus");
        const auto known = std::find(kThemes.begin(), kThemes.end(), theme);
        if (known == kThemes.end()) {
            std::string themes;
            for (std::string_view name : kThemes) themes += (themes.empty() ? "" : ", ") + std::string(name);
            fail("thème inconnu « " + std::string(theme) + " » (thèmes : " + themes + ")");
        }
        words.push_back({std::string(entry.substr(0, gap)), int(known - kThemes.begin())});
    }
    return words;
}

void SetBadWords(UsageLists& lists, const std::vector<std::string>& listed, const std::vector<std::string>& allowed) {
    lists.badWords = FoldedSet(listed);
    lists.allowedWords = FoldedSet(allowed);
    for (const std::string& word : lists.allowedWords) lists.badWords.erase(word);
}

void SetThemedWords(UsageLists& lists, const std::vector<ThemedWord>& words) {
    lists.themes.clear();
    for (const ThemedWord& w : words)
        if (FitsCp1252(w.word)) lists.themes.try_emplace(FoldWord(Utf8ToCp1252(w.word)), w.theme);
}

UsageLists MakeUsageLists(const std::vector<std::string>& formsByFrequency, const std::vector<std::string>& givenNames,
                          const std::vector<std::string>& demonyms) {
    UsageLists lists;
    lists.formRanks.reserve(formsByFrequency.size());
    int rank = 0;
    for (const std::string& form : formsByFrequency) {
        ++rank;
        if (FitsCp1252(form)) lists.formRanks.try_emplace(FoldWord(Utf8ToCp1252(form)), rank);
    }
    lists.givenNames = FoldedSet(givenNames);
    lists.demonyms = FoldedSet(demonyms);
    return lists;
}

}  // namespace lexbuild
