// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The nouns or the adjectives gathered from the dictionary: one group per lemma with its
// four forms in the loader's slots.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tools/lexicon-builder/dic_file.h"
#include "tools/lexicon-builder/inflection.h"
#include "tools/lexicon-builder/words.h"

namespace lexbuild {

struct NominalGroup {
    std::string lemma;                 // Windows-1252
    std::array<std::string, 4> slots;  // Fem+SG, Mas+SG, Fem+PL, Mas+PL (Windows-1252)
};

class NominalTable {
public:
    std::vector<NominalGroup> groups;  // in dictionary order

    void Reserve(std::size_t entries);
    // Fills the empty slots of the lemma's group with the entry's forms (the first form
    // found for a slot stays); homographs of one kind thus share one group.
    void Add(const DicEntry& entry, const std::vector<Inflection>& forms, std::string_view stemOverride);

private:
    std::unordered_map<std::string, std::size_t> index_;
    LemmaCache lemmas_;
    std::string form_;
    std::vector<int> slots_;
    std::string lastLemma_;
    std::size_t lastGroup_ = 0;
};

}  // namespace lexbuild
