// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Times the lexicon builder on a Hunspell dictionary (default: Debian's French one), with
// the usage lists of the source tree as clavelle-lexicon uses them by default. Prints the
// median of several runs of each step and the table counts, one figure a line; the
// lexicon_all_* counts are those of the whole dictionary (--all).
//   lexicon_build_bench [fr.aff fr.dic] [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/lexicon-builder/lexicon_builder.h"

namespace {

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path);
        std::exit(1);
    }
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const char* affPath = argc > 2 ? argv[1] : "/usr/share/hunspell/fr.aff";
    const char* dicPath = argc > 2 ? argv[2] : "/usr/share/hunspell/fr.dic";
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const std::string affText = ReadFile(affPath), dicText = ReadFile(dicPath);

    const lexbuild::UsageLists usage = lexbuild::ReadUsageLists();
    std::vector<double> parse, build, total;
    lexbuild::LexiconFiles files, all;
    for (int r = 0; r < runs; ++r) {
        auto start = std::chrono::steady_clock::now();
        const lexbuild::AffixFile aff = lexbuild::ParseAffixFile(affText);
        const std::vector<lexbuild::DicEntry> entries = lexbuild::ParseDicFile(dicText, aff);
        parse.push_back(MsSince(start));
        auto buildStart = std::chrono::steady_clock::now();
        files = lexbuild::BuildLexicon(aff, entries, {}, &usage);
        build.push_back(MsSince(buildStart));
        total.push_back(MsSince(start));
        if (r == 0) all = lexbuild::BuildLexicon(aff, entries);
    }
    std::printf("lexicon_parse_ms %.1f ms\n", Median(parse));
    std::printf("lexicon_build_ms %.1f ms\n", Median(build));
    std::printf("lexicon_total_ms %.1f ms\n", Median(total));
    std::printf("lexicon_dictionary_bytes %zu bytes\n", files.dictionary.size());
    std::printf("lexicon_verbs %d count\n", files.verbCount);
    std::printf("lexicon_nouns %d count\n", files.nounCount);
    std::printf("lexicon_adjectives %d count\n", files.adjectiveCount);
    std::printf("lexicon_female_names %d count\n", files.femaleNameCount);
    std::printf("lexicon_male_names %d count\n", files.maleNameCount);
    std::printf("lexicon_rare_lemmas_left_out %d count\n", files.rareLemmas);
    std::printf("lexicon_demonym_nouns_left_out %d count\n", files.demonymNouns);
    std::printf("lexicon_names_not_given_left_out %d count\n", files.namesNotGiven);
    std::printf("lexicon_bad_words_left_out %d count\n", files.badWords);
    std::printf("lexicon_verbs_without_object_left_out %d count\n", files.verbsWithoutDirectObject);
    std::printf("lexicon_all_verbs %d count\n", all.verbCount);
    std::printf("lexicon_all_nouns %d count\n", all.nounCount);
    std::printf("lexicon_all_adjectives %d count\n", all.adjectiveCount);
    std::printf("lexicon_all_female_names %d count\n", all.femaleNameCount);
    std::printf("lexicon_all_male_names %d count\n", all.maleNameCount);
    return 0;
}
