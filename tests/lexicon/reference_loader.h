// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A plain model of the lexicon loader for differential tests and fuzzing: character by
// character, with std::string and linear searches, the way the file format reads. It
// keeps unbounded entry numbers and stores only those within each table's capacity.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/rounding.h"
#include "lexicon/lexicon.h"
#include "lexicon/loader.h"

namespace reference {

// A text file read the way a line-oriented text reader does.
class TextReader {
public:
    explicit TextReader(std::string_view bytes) : text_(bytes.substr(0, bytes.find('\x1A'))) {}

    bool Eof() const { return pos_ >= text_.size(); }

    std::string ReadLine() {
        std::string line;
        while (pos_ < text_.size()) {
            char c = text_[pos_++];
            if (c == '\n') break;
            if (c == '\r') {
                if (pos_ < text_.size() && text_[pos_] == '\n') {
                    ++pos_;
                    break;
                }
                continue;  // a lone CR is dropped
            }
            line += c;
        }
        return line;
    }

    bool NextLineEmpty() {
        std::size_t saved = pos_;
        bool empty = ReadLine().empty();
        pos_ = saved;
        return empty;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

inline std::string Cut(const std::string& s) { return s.substr(0, kShortStringCapacity); }

struct Table {
    int64_t count = 0;  // entry number, may pass the capacity
    int32_t capacity = 0;
    std::map<int64_t, std::vector<std::string>> entries;
    int32_t StoredCount() const { return int32_t(std::min<int64_t>(count, capacity)); }
};

struct Model {
    std::vector<std::string> femaleNames, maleNames;  // at most kNameCapacity each
    Table verbs{0, kVerbCapacity, {}};
    Table nouns{0, kNominalCapacity, {}};
    Table adjectives{0, kNominalCapacity, {}};
    std::vector<int> positions;  // the progress bar values, each change once
};

inline std::vector<std::string> ReadNames(std::string_view bytes) {
    std::vector<std::string> names;
    TextReader f(bytes);
    do {
        std::string line = f.ReadLine();
        if (names.size() < std::size_t(kNameCapacity)) names.push_back(Cut(line));
    } while (!(f.Eof() || f.NextLineEmpty()));
    return names;
}

inline void ReadDictionary(std::string_view bytes, Model& m) {
    TextReader f(bytes);
    std::string previousLemma;
    int64_t lineNumber = 0;
    auto show = [&](int position) {
        if (m.positions.empty() || m.positions.back() != position) m.positions.push_back(position);
    };
    auto useLine = [&](const std::string& line) {
        std::size_t tab1 = line.find('\t');
        if (tab1 == std::string::npos) return;
        std::size_t start = tab1;
        while (start < line.size() && line[start] == '\t') ++start;
        std::size_t tab2 = line.find('\t', start);
        if (tab2 == std::string::npos) return;
        std::string form = line.substr(0, tab1);
        std::string lemma = line.substr(start, tab2 - start);
        std::string tagField = line.substr(tab2 + 1);
        std::string previous = previousLemma;
        previousLemma = lemma;
        if (tagField.size() < 5 || lemma.size() < 4) return;
        std::string kind = tagField.substr(0, 4);
        Table* table;
        std::size_t slots, lemmaSlot;
        std::vector<std::string_view> codes;
        if (kind == "Ver:") {
            table = &m.verbs, slots = kVerbSlotCount, lemmaSlot = 0;
            codes.assign(std::begin(kVerbSlotCodes), std::end(kVerbSlotCodes));
        } else if (kind == "Nom:" || kind == "Adj:") {
            table = kind == "Nom:" ? &m.nouns : &m.adjectives, slots = kNominalSlotCount, lemmaSlot = 4;
            codes.assign(std::begin(kNominalSlotCodes), std::end(kNominalSlotCodes));
        } else {
            return;
        }
        if (table->count == 0)
            table->count = 1;
        else if (lemma != previous)
            table->count += 1;
        if (table->count > table->capacity) return;
        auto& entry = table->entries[table->count];
        entry.resize(slots);
        entry[lemmaSlot] = Cut(lemma);

        std::vector<std::string> subTags;
        std::string list = tagField.substr(4), current;
        for (char c : list) {
            if (c == ':') {
                subTags.push_back(current);
                current.clear();
            } else {
                current += c;
            }
        }
        if (list.back() != ':') subTags.push_back(current);
        if (subTags.size() > std::size_t(kMaxSubTagsPerLine)) subTags.resize(kMaxSubTagsPerLine);
        for (const std::string& subTag : subTags) {
            std::string code = Cut(subTag);
            for (std::size_t slot = 0; slot < codes.size(); ++slot)
                if (slot != lemmaSlot && !codes[slot].empty() && codes[slot] == code) entry[slot] = Cut(form);
        }
    };
    do {
        std::string line = f.ReadLine();
        ++lineNumber;
        show(RoundHalfEven(double(lineNumber) / 289564.0 * 100.0));
        useLine(line);
    } while (!(f.Eof() || f.NextLineEmpty()));
    show(100);
}

inline Model Load(std::string_view female, std::string_view male, std::string_view dictionary) {
    Model m;
    m.femaleNames = ReadNames(female);
    m.maleNames = ReadNames(male);
    ReadDictionary(dictionary, m);
    return m;
}

// Describes the first difference between the model and a loaded lexicon; empty if none.
inline std::string Compare(const Model& m, const Lexicon& lx) {
    auto names = [](const char* what, const std::vector<std::string>& want, int32_t count,
                    const ShortString* got) -> std::string {
        if (int32_t(want.size()) != count)
            return std::string(what) + " count " + std::to_string(count) + " instead of " + std::to_string(want.size());
        for (std::size_t i = 0; i < want.size(); ++i)
            if (got[i].View() != want[i]) return std::string(what) + " " + std::to_string(i + 1);
        return {};
    };
    auto table = [](const char* what, const Table& want, int32_t count, auto entryAt) -> std::string {
        if (want.StoredCount() != count)
            return std::string(what) + " count " + std::to_string(count) + " instead of " +
                   std::to_string(want.StoredCount());
        for (int32_t i = 1; i <= count; ++i) {
            const auto& slots = entryAt(i).Slots;
            auto found = want.entries.find(i);
            for (std::size_t s = 0; s < std::size(slots); ++s) {
                std::string expected = found == want.entries.end() ? "" : found->second[s];
                if (slots[s].View() != expected)
                    return std::string(what) + " " + std::to_string(i) + " slot " + std::to_string(s) + ": '" +
                           std::string(slots[s].View()) + "' instead of '" + expected + "'";
            }
        }
        return {};
    };
    std::string d = names("female name", m.femaleNames, lx.FemaleNameCount, lx.FemaleNames);
    if (d.empty()) d = names("male name", m.maleNames, lx.MaleNameCount, lx.MaleNames);
    if (d.empty()) d = table("verb", m.verbs, lx.VerbCount, [&](int32_t i) -> const VerbEntry& { return lx.Verb(i); });
    if (d.empty())
        d = table("noun", m.nouns, lx.NounCount, [&](int32_t i) -> const NominalEntry& { return lx.Noun(i); });
    if (d.empty())
        d = table("adjective", m.adjectives, lx.AdjectiveCount,
                  [&](int32_t i) -> const NominalEntry& { return lx.Adjective(i); });
    return d;
}

}  // namespace reference
