// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lists that pick, out of the whole dictionary, the words people use: French word
// forms ranked by frequency (frequency/words.txt), the given names people bear
// (frequency/given-names.txt), the demonyms, which are capitalised as nouns
// (demonyms/demonyms.txt), and the words a practice text must not teach: vulgar,
// insulting and sexual words and slurs (badwords/words.txt and badwords/added.txt, less
// the ordinary words of badwords/allowed.txt), and the themes a class would not type
// (badwords/themes.txt: violence, sex, excretion, drugs, and the words that label people
// by their faith, origin, skin, orientation, illness or disability). Each file is UTF-8,
// one entry a line.
#pragma once

#include <array>
#include <climits>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace lexbuild {

// A Windows-1252 word as the lists are looked up: lower case, with œ and æ written oe and
// ae (the frequency list has "soeur" beside "œil").
std::string FoldWord(std::string_view cp1252);

// The themes of badwords/themes.txt, as the file names them (UTF-8).
inline constexpr std::array<std::string_view, 11> kThemes = {"violence", "sexe",     "excrétion", "drogue",
                                                             "foi",      "origine",  "peau",      "orientation",
                                                             "maladie",  "handicap", "anglais"};
constexpr int kThemeCount = int(kThemes.size());

// A word of the themes' list and its theme (an index of kThemes).
struct ThemedWord {
    std::string word;  // UTF-8
    int theme = 0;
};

// How many lemmas each table keeps at most, the most frequent first (see UsageLists).
struct TableSizes {
    int verbs = INT_MAX;
    int nouns = INT_MAX;
    int adjectives = INT_MAX;
};

// The sizes of the default lexicon: the floors that keep the sentences varied. Smaller
// tables keep only more frequent words, and the share of frequent words among the
// sentences' content words grows as they shrink (scripts/lexicon-share-curve prints it).
inline constexpr TableSizes kDefaultTableSizes{800, 4000, 1000};

struct UsageLists {
    std::unordered_map<std::string, int> formRanks;  // folded form -> rank, 1 the most frequent
    std::unordered_set<std::string> givenNames;      // folded
    std::unordered_set<std::string> demonyms;        // folded lemmas
    std::unordered_set<std::string> badWords;        // folded forms and lemmas, less the allowed ones
    std::unordered_set<std::string> allowedWords;    // folded
    std::unordered_map<std::string, int> themes;     // folded word -> its theme
    int maxRank = INT_MAX;                           // the cut: lemmas ranked beyond it are left out
    TableSizes sizes;                                // beyond these, the lemmas ranked last are left out

    // The rank of a Windows-1252 word among the forms, 0 when the list lacks it.
    int RankOf(std::string_view cp1252) const;
    // A lemma is common when the lemma itself ranks within the cut. Its forms are not
    // counted: a rare verb such as "choser" shares its forms with the frequent noun "chose".
    bool IsCommonLemma(std::string_view cp1252) const;
    bool IsGivenName(std::string_view cp1252) const { return givenNames.count(FoldWord(cp1252)) > 0; }
    bool IsDemonym(std::string_view cp1252) const { return demonyms.count(FoldWord(cp1252)) > 0; }
    // A listed word, or a compound with a listed part (lèche-cul), unless the word itself
    // is allowed (cul-de-sac).
    bool IsBadWord(std::string_view cp1252) const;
    // The theme of a listed word, or of a compound with a listed part; -1 for any other
    // word, and for an allowed one.
    int ThemeOf(std::string_view cp1252) const;
};

// The lines of a UTF-8 list, in file order, without blank lines. Throws BuildError,
// naming the file, when it cannot be read or is not UTF-8.
std::vector<std::string> ReadListFile(const std::filesystem::path& path);

// The words of a reviewed list: its lines without what follows a '#' (the reason a word is
// there) and without blank or comment lines. Throws as ReadListFile.
std::vector<std::string> ReadReviewedList(const std::filesystem::path& path);

// The folder of frequency/, demonyms/ and badwords/ in the source tree, where the lists are read
// unless others are named.
std::filesystem::path DefaultListsFolder();

// Lists from their entries (UTF-8); entries that Windows-1252 cannot hold are skipped and
// the first rank of a form that appears twice stays.
UsageLists MakeUsageLists(const std::vector<std::string>& formsByFrequency, const std::vector<std::string>& givenNames,
                          const std::vector<std::string>& demonyms);

// Sets the bad and the allowed words from their lists (UTF-8).
void SetBadWords(UsageLists& lists, const std::vector<std::string>& listed, const std::vector<std::string>& allowed);

// The words of the themes' list: each line a word and its theme (one of kThemes),
// separated by blanks, then an optional comment after '#'; blank and comment lines are
// passed over. Throws BuildError naming the file and the line for any other line or an
// unknown theme, and as ReadListFile.
std::vector<ThemedWord> ReadThemeList(const std::filesystem::path& path);

// Sets the themed words (UTF-8); the allowed words (SetBadWords) stay in use.
void SetThemedWords(UsageLists& lists, const std::vector<ThemedWord>& words);

// The paths of the list files; an empty one stands for the file of DefaultListsFolder().
struct ListPaths {
    std::filesystem::path frequency, givenNames, demonyms;
    std::filesystem::path badWords, moreBadWords, allowedWords, themes;
};

// Reads the list files (see ReadListFile, ReadReviewedList and ReadThemeList), with the
// default table sizes.
UsageLists ReadUsageLists(const ListPaths& paths = {});

}  // namespace lexbuild
