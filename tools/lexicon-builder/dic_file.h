// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a Hunspell dictionary file (.dic): one entry a line, "word/FLAGS fields...".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/lexicon-builder/affix_file.h"

namespace lexbuild {

struct DicEntry {
    std::string word;  // UTF-8
    std::vector<Flag> flags;
    std::vector<std::string> fields;  // morphological fields, e.g. "po:nom", "is:fem"

    bool HasFlag(const Flag& flag) const;
    // The value of the first field "key:value" ("st" gives the stem), empty when absent.
    std::string_view Field(std::string_view key) const;
};

// Throws BuildError when the file holds fewer entries than its first line declares: a
// file cut short. The count is approximate (Debian's fr.dic declares 84,172 entries and
// holds 84,139), so a shortfall of up to 2 % is accepted. A missing count is an error too.
void CheckEntryCount(std::string_view text, std::size_t entriesRead);

// Parses the text of a .dic file. The leading entry count and empty lines are skipped;
// "\/" stands for a slash inside the word.
std::vector<DicEntry> ParseDicFile(std::string_view text, const AffixFile& aff);

}  // namespace lexbuild
