// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/lexicon-builder/dic_file.h"

#include <algorithm>

namespace lexbuild {

bool DicEntry::HasFlag(const Flag& flag) const {
    return !flag.empty() && std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::string_view DicEntry::Field(std::string_view key) const {
    for (const std::string& field : fields)
        if (field.size() > key.size() && field.compare(0, key.size(), key) == 0 && field[key.size()] == ':')
            return std::string_view(field).substr(key.size() + 1);
    return {};
}

void CheckEntryCount(std::string_view text, std::size_t entriesRead) {
    text = WithoutByteOrderMark(text);
    std::size_t pos = 0;
    std::string_view line;
    while (NextLine(text, pos, line) && line.find_first_not_of(" \t") == std::string_view::npos) {}
    const std::size_t start = line.find_first_not_of(" \t"), end = line.find_last_not_of(" \t");
    const std::string_view count = start == std::string_view::npos ? line : line.substr(start, end - start + 1);
    if (count.empty() || count.size() > 9 ||
        !std::all_of(count.begin(), count.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw BuildError("la première ligne devrait donner le nombre d'entrées du dictionnaire");
    const std::size_t declared = std::stoul(std::string(count));
    if (entriesRead * 100 < declared * 98)
        throw BuildError("le fichier annonce " + std::to_string(declared) + " entrées mais n'en contient que " +
                         std::to_string(entriesRead) + " : il est sans doute tronqué");
}

std::vector<DicEntry> ParseDicFile(std::string_view text, const AffixFile& aff) {
    std::vector<DicEntry> entries;
    entries.reserve(std::size_t(std::count(text.begin(), text.end(), '\n')) + 1);
    text = WithoutByteOrderMark(text);
    bool first = true;
    std::size_t pos = 0;
    std::string_view line;
    while (NextLine(text, pos, line)) {
        auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
        std::size_t i = 0;
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i == line.size()) continue;
        if (first) {
            first = false;
            std::string_view rest = line.substr(i);
            if (std::all_of(rest.begin(), rest.end(), [&](char c) { return (c >= '0' && c <= '9') || isBlank(c); }))
                continue;  // the approximate entry count
        }

        DicEntry entry;
        std::size_t wordEnd = i;
        while (wordEnd < line.size() && !isBlank(line[wordEnd])) ++wordEnd;
        std::string_view wordAndFlags = line.substr(i, wordEnd - i);
        i = wordEnd;
        // The flags start at the first slash that is neither escaped nor the first character.
        std::size_t slash = 0;
        while ((slash = wordAndFlags.find('/', slash + 1)) != std::string_view::npos &&
               wordAndFlags[slash - 1] == '\\') {}
        std::string_view word = wordAndFlags.substr(0, slash);
        std::string_view flagText =
            slash == std::string_view::npos ? std::string_view() : wordAndFlags.substr(slash + 1);
        if (word.find("\\/") == std::string_view::npos) {
            entry.word = std::string(word);
        } else {
            for (std::size_t k = 0; k < word.size(); ++k)
                if (!(word[k] == '\\' && k + 1 < word.size() && word[k + 1] == '/')) entry.word.push_back(word[k]);
        }
        entry.flags = aff.SplitFlags(flagText);
        entry.fields.reserve(4);
        while (i < line.size()) {
            while (i < line.size() && isBlank(line[i])) ++i;
            std::size_t start = i;
            while (i < line.size() && !isBlank(line[i])) ++i;
            if (i > start) entry.fields.emplace_back(line.substr(start, i - start));
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace lexbuild
