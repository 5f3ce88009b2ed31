// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lists that pick, out of the whole dictionary, the words people use: French word
// forms ranked by frequency (frequency/words.txt), the given names people bear
// (frequency/given-names.txt), the demonyms, which are capitalised as nouns
// (demonyms/demonyms.txt), and the words a practice text must not teach: vulgar,
// insulting and sexual words and slurs (badwords/words.txt and badwords/added.txt, less
// the ordinary words of badwords/allowed.txt). Each file is UTF-8, one entry a line.
#pragma once

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

struct UsageLists {
    std::unordered_map<std::string, int> formRanks;  // folded form -> rank, 1 the most frequent
    std::unordered_set<std::string> givenNames;      // folded
    std::unordered_set<std::string> demonyms;        // folded lemmas
    std::unordered_set<std::string> badWords;        // folded forms and lemmas, less the allowed ones
    std::unordered_set<std::string> allowedWords;    // folded
    int maxRank = INT_MAX;                           // the cut: lemmas ranked beyond it are left out

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

// The paths of the list files; an empty one stands for the file of DefaultListsFolder().
struct ListPaths {
    std::filesystem::path frequency, givenNames, demonyms;
    std::filesystem::path badWords, moreBadWords, allowedWords;
};

// Reads the list files (see ReadListFile and ReadReviewedList).
UsageLists ReadUsageLists(const ListPaths& paths = {});

}  // namespace lexbuild
