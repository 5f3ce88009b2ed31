// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How common the words of generated texts are: the share of content words (the verbs,
// nouns and adjectives that the generator draws from the lexicon) whose form or lemma is
// in the frequency list.
//   lexicon_share_bench NAME DATA_DIR FREQUENCY_FILE SENTENCES_FILE [WRITTEN_FILE]
// reads the lexicon of DATA_DIR and the sentences (UTF-8, one a line, as clavelle-generate
// writes them) and prints "NAME percent %", "NAME_by_form percent %" (the form itself in
// the list: stricter, a rare tense of a common verb does not count) and
// "NAME_content_words count count". With WRITTEN_FILE, a list independent of the one the
// tables are chosen by (tools/lexicon-builder/written-frequency/words.txt), it also prints
// the shares whose form or lemma, and whose form, is among its 10,000 first forms:
// "NAME_written percent %" and "NAME_written_by_form percent %".
#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/cp1252.h"
#include "tools/lexicon-builder/usage_lists.h"

namespace {

using lexbuild::FoldWord;

// Words that the generator writes itself, not drawn from the tables: determiners, subject
// pronouns, prepositions, links and the heads of its templates. Forms of avoir and être,
// the auxiliaries, are left out too (see IsContentWord).
const std::unordered_set<std::string> kFixedWords = {"ce",
                                                     "cet",
                                                     "cette",
                                                     "ces",
                                                     "un",
                                                     "une",
                                                     "des",
                                                     "le",
                                                     "la",
                                                     "les",
                                                     "l",
                                                     "son",
                                                     "sa",
                                                     "ses",
                                                     "mon",
                                                     "ma",
                                                     "mes",
                                                     "ton",
                                                     "ta",
                                                     "tes",
                                                     "notre",
                                                     "nos",
                                                     "votre",
                                                     "vos",
                                                     "leur",
                                                     "leurs",
                                                     "je",
                                                     "j",
                                                     "tu",
                                                     "il",
                                                     "nous",
                                                     "vous",
                                                     "ils",
                                                     "vers",
                                                     "dans",
                                                     "sur",
                                                     "dessous",
                                                     "derri\xE8re",
                                                     "dessus",
                                                     "par-dessus",
                                                     "devant",
                                                     "avec",
                                                     "contre",
                                                     "jusqu",
                                                     "\xE0",
                                                     "pour",
                                                     "parvenir",
                                                     "r\xE9ussir",
                                                     "et",
                                                     "si",
                                                     "s",
                                                     "que",
                                                     "qu",
                                                     "suffit",
                                                     "faut",
                                                     "possible",
                                                     "fallait",
                                                     "n\xE9"
                                                     "cessaire",
                                                     "faudrait",
                                                     "souhait\xE9",
                                                     "voulu",
                                                     "d\xE9sir\xE9"};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(1);
    }
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

bool IsWordByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0xC0 || c == 0x8A || c == 0x8C || c == 0x8E ||
           c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F || c == '-';
}

bool IsUpper(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE) || c == 0x8C; }

// The content words counted, and those found in a list by their form or lemma, and by form.
struct Share {
    long common = 0, commonForms = 0;

    // Counts a folded form with its folded lemmas, found when ranked within the cut.
    void Count(const lexbuild::UsageLists& list, const std::string& form, const std::vector<std::string>& lemmas,
               int cut) {
        const auto listed = [&](const std::string& word) {
            const int rank = list.RankOf(word);
            return rank > 0 && rank <= cut;
        };
        const bool byForm = listed(form);
        commonForms += byForm;
        common += byForm || std::any_of(lemmas.begin(), lemmas.end(), listed);
    }
};

void Print(const std::string& name, long content, long found) {
    std::printf("%s %.1f %%\n", name.c_str(), content ? 100.0 * double(found) / double(content) : 0.0);
}

// The forms of the independent list that count as frequent.
constexpr int kWrittenTop = 10000;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: lexicon_share_bench NAME DATA_DIR FREQUENCY_FILE SENTENCES_FILE [WRITTEN_FILE]\n");
        return 2;
    }
    const std::string name = argv[1], data = argv[2];
    // Lexicon forms -> their lemmas; the names of both lists.
    std::unordered_map<std::string, std::vector<std::string>> lemmasOf;
    for (const std::string& line : Lines(ReadFile(data + "/dictionnaire.txt"))) {
        const std::size_t tab = line.find('\t'), tab2 = line.find('\t', tab + 1);
        if (tab == std::string::npos || tab2 == std::string::npos) continue;
        lemmasOf[FoldWord(line.substr(0, tab))].push_back(FoldWord(line.substr(tab + 1, tab2 - tab - 1)));
    }
    std::unordered_set<std::string> names;
    for (const char* file : {"/pr\xC3\xA9nomsf.txt", "/pr\xC3\xA9nomsg.txt"})
        for (const std::string& line : Lines(ReadFile(data + file))) names.insert(FoldWord(line));
    const lexbuild::UsageLists frequency = lexbuild::MakeUsageLists(lexbuild::ReadListFile(argv[3]), {}, {});
    const bool withWritten = argc == 6;
    const lexbuild::UsageLists written =
        withWritten ? lexbuild::MakeUsageLists(lexbuild::ReadListFile(argv[5]), {}, {}) : lexbuild::UsageLists{};

    long content = 0;
    Share inFrequency, inWritten;
    for (const std::string& sentence : Lines(ReadFile(argv[4]))) {
        const std::string text = Utf8ToCp1252(sentence);
        std::size_t i = 0;
        bool first = true;
        while (i < text.size()) {
            if (!IsWordByte(static_cast<unsigned char>(text[i]))) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < text.size() && IsWordByte(static_cast<unsigned char>(text[end]))) ++end;
            const std::string token = text.substr(i, end - i);
            const bool capital = IsUpper(static_cast<unsigned char>(token[0]));
            const bool atStart = first;
            i = end;
            first = false;
            const std::string folded = FoldWord(token);
            if ((capital && !atStart) || (atStart && names.count(folded))) continue;  // a first name
            if (kFixedWords.count(folded)) continue;
            auto it = lemmasOf.find(folded);
            if (it == lemmasOf.end()) continue;
            const std::vector<std::string>& lemmas = it->second;
            if (std::any_of(lemmas.begin(), lemmas.end(),
                            [](const std::string& l) { return l == "avoir" || l == "\xEAtre"; }))
                continue;
            ++content;
            inFrequency.Count(frequency, folded, lemmas, INT_MAX);
            if (withWritten) inWritten.Count(written, folded, lemmas, kWrittenTop);
        }
    }
    Print(name, content, inFrequency.common);
    Print(name + "_by_form", content, inFrequency.commonForms);
    std::printf("%s_content_words %ld count\n", name.c_str(), content);
    if (withWritten) {
        Print(name + "_written", content, inWritten.common);
        Print(name + "_written_by_form", content, inWritten.commonForms);
    }
    return 0;
}
