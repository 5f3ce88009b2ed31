// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Test helper: reads lexicon files the way the program's loader does (entries open when
// the lemma changes, later lines overwrite slots) and notes every departure from the
// format that the loader relies on.
#pragma once

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lexicon_test {

// The 50 verb codes, in slot order, written out from their pattern.
inline std::vector<std::string> VerbCodes() {
    std::vector<std::string> codes{""};
    const char* blocks[] = {"IPre", "IImp", "IPSim", "IFut", "SPre", "SImp", "CPre"};
    const char* persons[] = {"SG+P1", "SG+P2", "SG+P3", "PL+P1", "PL+P2", "PL+P3"};
    for (const char* block : blocks)
        for (const char* person : persons) codes.push_back(std::string(block) + "+" + person);
    for (const char* code : {"ImPre+SG+P1", "ImPre+PL+P1", "ImPre+PL+P2", "PPre", "PPas+Mas+SG", "PPas+Mas+PL",
                             "PPas+Fem+SG", "PPas+Fem+PL"})
        codes.push_back(code);
    return codes;
}

inline const std::vector<std::string> kNominalCodes = {"Fem+SG", "Mas+SG", "Fem+PL", "Mas+PL"};

struct Entry {
    std::string lemma;
    std::vector<std::string> slots;  // verbs: 51 (0 the lemma); nouns and adjectives: 4
};

struct ReadLexicon {
    std::vector<Entry> verbs, nouns, adjectives;
    std::vector<std::string> problems;
    std::size_t lines = 0;

    static const Entry* Find(const std::vector<Entry>& table, std::string_view lemma) {
        for (const Entry& e : table)
            if (e.lemma == lemma) return &e;
        return nullptr;
    }
    const Entry* Verb(std::string_view lemma) const { return Find(verbs, lemma); }
    const Entry* Noun(std::string_view lemma) const { return Find(nouns, lemma); }
    const Entry* Adjective(std::string_view lemma) const { return Find(adjectives, lemma); }
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Splits CR LF lines; a line ended by LF alone, or text after the last line break, is a
// problem.
inline std::vector<std::string_view> SplitCrLf(std::string_view bytes, std::vector<std::string>& problems) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t lf = bytes.find('\n', pos);
        if (lf == std::string_view::npos) {
            problems.push_back("last line without line break");
            lines.push_back(bytes.substr(pos));
            break;
        }
        if (lf == pos || bytes[lf - 1] != '\r') {
            problems.push_back("line " + std::to_string(lines.size() + 1) + " not ended by CR LF");
            lines.push_back(bytes.substr(pos, lf - pos));
        } else {
            lines.push_back(bytes.substr(pos, lf - 1 - pos));
        }
        pos = lf + 1;
    }
    return lines;
}

inline ReadLexicon ReadDictionary(std::string_view bytes) {
    ReadLexicon lex;
    const std::vector<std::string> verbCodes = VerbCodes();
    std::unordered_map<std::string_view, int> codeSlots[2];  // verbs, nouns and adjectives
    for (std::size_t s = 1; s < verbCodes.size(); ++s) codeSlots[0][verbCodes[s]] = int(s);
    for (std::size_t s = 0; s < kNominalCodes.size(); ++s) codeSlots[1][kNominalCodes[s]] = int(s);
    std::vector<std::string_view> lines = SplitCrLf(bytes, lex.problems);
    std::string previousLemma, previousKind;
    std::set<std::string> opened[3];
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::string_view line = lines[n];
        auto where = [&] { return "line " + std::to_string(n + 1) + " \"" + std::string(line) + "\": "; };
        ++lex.lines;
        if (line.empty()) {
            lex.problems.push_back(where() + "empty line ends the loading");
            break;
        }
        std::size_t tab1 = line.find('\t');
        std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string_view::npos || tab2 == tab1 + 1) {
            lex.problems.push_back(where() + "not form TAB lemma TAB tags");
            continue;
        }
        std::string form(line.substr(0, tab1));
        std::string lemma(line.substr(tab1 + 1, tab2 - tab1 - 1));
        std::string_view tags = line.substr(tab2 + 1);
        if (form.empty() || form.size() > 50) lex.problems.push_back(where() + "bad form length");
        if (lemma.size() < 4 || lemma.size() > 50) lex.problems.push_back(where() + "bad lemma length");
        std::string kind(tags.substr(0, 4));
        int k = kind == "Ver:" ? 0 : kind == "Nom:" ? 1 : kind == "Adj:" ? 2 : -1;
        if (k < 0 || tags.size() < 5) {
            lex.problems.push_back(where() + "bad kind");
            continue;
        }
        if (lemma == previousLemma && kind != previousKind)
            lex.problems.push_back(where() + "follows another kind's group of the same lemma");
        std::vector<Entry>& table = k == 0 ? lex.verbs : k == 1 ? lex.nouns : lex.adjectives;
        if (table.empty() || lemma != previousLemma) {
            if (!opened[k].insert(lemma).second) lex.problems.push_back(where() + "lemma opened a second time");
            table.push_back({lemma, std::vector<std::string>(k == 0 ? 51 : 4)});
            if (k == 0) table.back().slots[0] = lemma;
        }
        previousLemma = lemma;
        previousKind = kind;
        Entry& entry = table.back();
        std::vector<std::string_view> subtags;
        std::size_t pos = 4;
        while (pos < tags.size()) {
            std::size_t colon = tags.find(':', pos);
            if (colon == std::string_view::npos) colon = tags.size();
            subtags.emplace_back(tags.substr(pos, colon - pos));
            pos = colon + 1;
        }
        if (subtags.size() > 20) lex.problems.push_back(where() + "more than 20 sub-tags");
        const std::unordered_map<std::string_view, int>& codes = codeSlots[k == 0 ? 0 : 1];
        for (std::string_view tag : subtags) {
            auto it = codes.find(tag);
            if (it == codes.end())
                lex.problems.push_back(where() + "unknown sub-tag " + std::string(tag));
            else
                entry.slots[std::size_t(it->second)] = form;
        }
    }
    return lex;
}

// The names of a name file; problems as for the dictionary (empty lines, duplicates).
inline std::vector<std::string> ReadNames(std::string_view bytes, std::vector<std::string>& problems) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (std::string_view line : SplitCrLf(bytes, problems)) {
        if (line.empty())
            problems.push_back("empty name line");
        else if (!seen.insert(std::string(line)).second)
            problems.push_back("duplicate name " + std::string(line));
        names.emplace_back(line);
    }
    return names;
}

inline bool Contains(const std::vector<std::string>& list, std::string_view item) {
    for (const std::string& s : list)
        if (s == item) return true;
    return false;
}

}  // namespace lexicon_test
