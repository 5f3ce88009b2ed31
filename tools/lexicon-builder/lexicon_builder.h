// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the program's three lexicon files from a Hunspell dictionary: the inflected
// verbs, nouns and adjectives of "dictionnaire.txt" and the first names of
// "prénomsf.txt" and "prénomsg.txt", all in Windows-1252 with CR LF line ends.
//
// What is kept:
// - verbs (po:v...), nouns (po:nom), adjectives (po:adj) whose lemma is a common word
//   (lower-case letters, hyphens and inner apostrophes), 4 to 50 characters long;
// - forms that Windows-1252 can hold, of at most 50 characters, without an elided
//   article, pronoun or conjunction in front (l', d', qu' ...: neither the dictionary's
//   elision prefixes nor words such as p'tit) and without a pronoun glued behind (vas-y);
//   entries marked NOSUGGEST, KEEPCASE or FORBIDDENWORD (symbols, abbreviations) are
//   left out;
// - first names (po:prn) made of letters and hyphens, starting with a capital; is:fem
//   and is:epi go to the female list, is:mas and is:epi to the male one.
//
// Verbs that are only pronominal (s'évanouir, se souvenir) are left out: the generator
// conjugates without a reflexive pronoun and would write "il évanouit". So are verbs that
// the dictionary does not mark as transitive direct (sombrer, briller, aller): every
// sentence gives its verb a direct object; avoir and être stay whatever their marks. So are verbs with
// none of the forms the generator reads (listed by their infinitive only). Of two
// homograph verbs one stays, whole (see ChooseHomograph in the source). When more verbs
// remain than the table holds, "avoir" and "être" stay, then the verbs with the most of
// the generator's forms (defective ones go first), then those whose auxiliaries the
// dictionary's authors checked (the unchecked "zz" ones are on the whole the rarer), then
// those with the most forms; ties go to dictionary order (see RanksBefore).
//
// With usage lists (the default of clavelle-lexicon; see usage_lists.h), only the words
// people use stay: verbs, nouns and adjectives whose lemma ranks within the cut of the
// frequency list (avoir and être always), nouns that are not demonyms (criméen, amiénois:
// written with a capital as nouns; they stay adjectives), first names that people are
// given, and no bad word: a verb, noun or adjective whose lemma or any of whose forms is
// listed leaves with all its forms (putains takes putain, niqueras takes niquer), and so
// does a listed first name. A verb, noun or adjective whose lemma is on the themes' list,
// or a compound with a listed part, leaves too; its forms are not looked up (croyant
// would take croire along), but a form that is a listed word is left out of the lemma
// that has it (croire without croyant). First names are no theme's. Then each table keeps at most
// its size of lemmas, those ranked first in the frequency list (see TableSizes), so that
// the sentences, which draw every word of a table alike, use frequent ones. Without them
// (--all) the whole dictionary is kept as described above.
//
// Output order: the verb groups, then the nouns, then the adjectives, each in dictionary
// order; all lines of one lemma and kind follow each other, and two groups of one lemma
// but different kinds (être the verb and the noun) never touch.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "lexicon/lexicon.h"
#include "lexicon/loader.h"
#include "tools/lexicon-builder/affix_file.h"
#include "tools/lexicon-builder/dic_file.h"
#include "tools/lexicon-builder/inflection.h"
#include "tools/lexicon-builder/usage_lists.h"

namespace lexbuild {

struct BuildLimits {
    int verbs = kVerbCapacity;
    int nouns = kNominalCapacity;
    int adjectives = kNominalCapacity;
    int names = kNameCapacity;  // per list
};

struct LexiconFiles {
    std::string dictionary;  // Windows-1252, CR LF
    std::string femaleNames;
    std::string maleNames;
    int verbCount = 0;
    int nounCount = 0;
    int adjectiveCount = 0;
    int femaleNameCount = 0;
    int maleNameCount = 0;
    int verbsOverCapacity = 0;  // usable verbs left out for lack of room
    // Left out by the usage lists:
    int rareLemmas = 0;     // verbs, nouns and adjectives beyond the frequency cut
    int demonymNouns = 0;   // nouns that are demonyms
    int namesNotGiven = 0;  // first names that people are not given (both lists)
    int badWords = 0;       // verbs, nouns, adjectives and first names on the bad-word lists
    // Verbs, nouns and adjectives (in that order) of each theme of the themes' list.
    std::array<std::array<int, kThemeCount>, 3> themedWords{};
    // Left out always:
    int verbsWithoutDirectObject = 0;
};

// The sub-tag codes of the verb slots and of the noun and adjective slots are the
// loader's own, so the files always say what the loader reads.
using ::kNominalSlotCodes;
using ::kVerbSlotCodes;

// The verb slots (1..50) that a form with these features fills, in slot order.
void VerbSlotsOf(const MorphTags& tags, std::vector<int>& slots);
// The noun or adjective slots (0..3) that a form with these features fills, in slot order.
void NominalSlotsOf(const MorphTags& tags, std::vector<int>& slots);

// Builds the three files' contents, keeping only the words the usage lists pick when they
// are given. Deterministic: the same input gives the same bytes.
LexiconFiles BuildLexicon(const AffixFile& aff, const std::vector<DicEntry>& entries, const BuildLimits& limits = {},
                          const UsageLists* usage = nullptr);

// Writes "dictionnaire.txt", "prénomsf.txt" and "prénomsg.txt" (UTF-8 file names) into the
// folder, creating it if needed, as one set: all three are written into a temporary folder
// inside it, then renamed into place; should a rename fail, the files already replaced
// get their old contents back. On failure nothing new stays behind and BuildError is
// thrown.
void WriteLexiconFiles(const LexiconFiles& files, const std::filesystem::path& folder);

}  // namespace lexbuild
