// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Which dictionary words may enter the lexicon files, and their Windows-1252 spelling.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "tools/lexicon-builder/dic_file.h"
#include "tools/lexicon-builder/inflection.h"

namespace lexbuild {

constexpr std::size_t kMinLemmaLength = 4;  // the loader skips shorter lemmas

// A common noun, adjective or verb form of at most 50 characters: lower-case letters, with
// hyphens and apostrophes between letters (arc-en-ciel, presqu'île), not starting with an
// elided word (l'arbre, p'tit). Sets its Windows-1252 spelling.
bool CommonWordTo1252(std::string_view utf8, std::string& out);

// A first name of at most 50 characters: a capital, then letters with hyphens between
// them (Jean-Luc); no apostrophe, and some lower-case letter (no initials or acronyms).
bool FirstNameTo1252(std::string_view utf8, std::string& out);

// The lemma of an entry's forms, checked and converted once per entry.
class LemmaCache {
public:
    // The Windows-1252 lemma, or nullptr when it is not usable (not a common word, or
    // shorter than the loader accepts).
    const std::string* Get(std::string_view utf8);

private:
    bool valid_ = false;
    bool ok_ = false;
    std::string utf8_;
    std::string cp1252_;
};

// The lemma of a form: the entry's "st:" field, else the (prefixed) word it inflects.
inline std::string_view LemmaOf(const Inflection& f, const DicEntry& entry, std::string_view stemOverride) {
    if (!stemOverride.empty()) return stemOverride;
    return f.stem.empty() ? std::string_view(entry.word) : std::string_view(f.stem);
}

}  // namespace lexbuild
