// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The verbs gathered from the dictionary: one candidate per infinitive with its forms in
// the loader's slots, the choice between homographs and the order kept under capacity.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lexicon/lexicon.h"
#include "tools/lexicon-builder/dic_file.h"
#include "tools/lexicon-builder/inflection.h"
#include "tools/lexicon-builder/words.h"

namespace lexbuild {

struct VerbCandidate {
    std::string lemma;                              // Windows-1252, as the forms
    std::array<std::string, kVerbSlotCount> slots;  // slot 0 unused
    std::string code;                               // e.g. "v1_it_q__a"
    std::size_t order = 0;                          // first entry of the lemma
    int generatorSlots = 0;                         // filled slots that the generator reads
    int filledSlots = 0;

    void Count();
    // The code ends with the auxiliaries checked by the dictionary's authors ("a", "e"),
    // or "zz" when they were not checked: those verbs are on the whole the rarer ones.
    bool AuxiliaryChecked() const;
    char Group() const { return code.size() > 1 ? code[1] : '?'; }
    bool Protected() const;  // avoir and être, which the generator needs
    // Marked transitive direct, or avoir or être: every sentence gives its verb an object.
    bool FitsTheSentences() const;
};

// The code's 7th character is 'p' (pronominal only) or 'r' (reciprocal only), and then
// no intransitive, transitive or indirect use ('i', 't', 'n') is listed.
bool IsPronominalOnly(std::string_view code);

// The code's 5th character is 't': the dictionary lists a use with a direct object
// ("v1__t___zz", "v1_it_x__a"; "v1_i____zz" is intransitive only).
bool IsTransitiveDirect(std::string_view code);

// ChooseHomograph: true when the candidate should replace the verb of the same infinitive
// kept so far. Preferred, in order: transitive direct; auxiliaries checked; for an -ir verb listed in both
// the 2nd and 3rd groups, the 3rd (the everyday sortir, repartir, ressortir, fuir, whose
// 2nd-group twins are technical); more of the generator's forms; more forms in all.
// Otherwise the first one stays.
bool ChooseHomograph(const VerbCandidate& candidate, const VerbCandidate& kept);

// Capacity rule: when there are more usable verbs than the table holds, those kept are,
// in order of preference: "avoir" and "être"; the verbs with the most of the forms that
// the generator reads (so defective verbs go first); those whose auxiliaries the
// dictionary's authors checked (the unchecked "zz" ones are on the whole the rare ones);
// those with the most forms in all; the first in dictionary order.
bool RanksBefore(const VerbCandidate& a, const VerbCandidate& b);

class VerbTable {
public:
    std::vector<VerbCandidate> verbs;

    void Reserve(std::size_t entries);
    // Adds the verbs that one entry's forms make: one per infinitive (one, without
    // prefixes). A verb with none of the generator's forms is left out; of two homographs
    // ChooseHomograph keeps one, whole.
    void Add(const DicEntry& entry, std::size_t order, std::string_view code, const std::vector<Inflection>& forms,
             std::string_view stemOverride);
    // The indices of the verbs kept within the limit, in dictionary order; overCapacity
    // counts the usable verbs left out.
    std::vector<std::size_t> KeptWithin(std::size_t limit, int& overCapacity) const;

private:
    std::unordered_map<std::string, std::size_t> index_;
    std::vector<VerbCandidate> entryVerbs_;
    LemmaCache lemmas_;
    std::string form_;
    std::vector<int> slots_;
};

}  // namespace lexbuild
