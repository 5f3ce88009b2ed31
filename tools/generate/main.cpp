// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// clavelle-generate: writes a model text from the lexicon files, one sentence a line, in
// UTF-8. For looking at the generator's output, tests and benchmarks.
//
//   clavelle-generate --data DIR --sentences N [--seed S] [--hard|--easy] [--record FILE]
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "common/cp1252.h"
#include "common/io_error.h"
#include "generator/driver.h"
#include "generator/random.h"
#include "keyboard/keyboard.h"
#include "lexicon/lexicon.h"
#include "lexicon/loader.h"
#include "stats/progress.h"

namespace {

constexpr const char* kUsage =
    "usage : clavelle-generate --data DOSSIER --sentences N [--seed S] [--hard|--easy] [--record FICHIER]\n"
    "  --data DOSSIER      dossier des fichiers dictionnaire.txt, prénomsf.txt et prénomsg.txt\n"
    "  --sentences N       nombre de phrases, de 1 à 999\n"
    "  --seed S            graine du générateur (par défaut : l'horloge)\n"
    "  --hard, --easy      garder la phrase la plus difficile (par défaut) ou la plus facile\n"
    "  --record FICHIER    fichier de progression (progression1_9.dat) servant à classer les phrases\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "clavelle-generate : %s\n", message.c_str());
    return 2;
}

bool ParseInteger(std::string_view text, long long low, long long high, long long& value) {
    if (text.empty()) return false;
    std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(copy.c_str(), &end, 10);
    if (errno != 0 || end == copy.c_str() || *end != '\0' || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

bool ParseSeed(std::string_view text, uint64_t& value) {
    if (text.empty() || text[0] == '-') return false;
    std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(copy.c_str(), &end, 10);
    if (errno != 0 || end == copy.c_str() || *end != '\0') return false;
    value = parsed;
    return true;
}

// One sentence a line: the single space after each "." or no-break space + "!" becomes
// a line break.
std::string OneSentencePerLine(const std::string& text) {
    std::string lines = text;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i] != ' ') continue;
        const bool afterPeriod = lines[i - 1] == '.';
        const bool afterExclamation = i >= 2 && lines[i - 1] == '!' && lines[i - 2] == '\xA0';
        if (afterPeriod || afterExclamation) lines[i] = '\n';
    }
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDirectory;
    std::string recordPath;
    long long sentences = 0;
    bool haveSentences = false;
    bool hard = true;
    bool haveSeed = false;
    uint64_t seed = 0;

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](std::string_view& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string_view v;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--data") {
            if (!value(v)) return Fail("--data demande un dossier\n" + std::string(kUsage));
            dataDirectory = v;
        } else if (arg == "--sentences") {
            if (!value(v) || !ParseInteger(v, 1, 999, sentences))
                return Fail("--sentences demande un nombre de 1 à 999");
            haveSentences = true;
        } else if (arg == "--seed") {
            if (!value(v) || !ParseSeed(v, seed)) return Fail("--seed demande un entier positif ou nul");
            haveSeed = true;
        } else if (arg == "--hard") {
            hard = true;
        } else if (arg == "--easy") {
            hard = false;
        } else if (arg == "--record") {
            if (!value(v)) return Fail("--record demande un fichier");
            recordPath = v;
        } else {
            return Fail("option inconnue : " + std::string(arg) + "\n" + kUsage);
        }
    }
    if (dataDirectory.empty()) return Fail("il manque --data DOSSIER\n" + std::string(kUsage));
    if (!haveSentences) return Fail("il manque --sentences N\n" + std::string(kUsage));

    try {
        auto lexicon = std::make_unique<Lexicon>();
        try {
            LoadLexicon(dataDirectory, *lexicon, LoadCallbacks{});
        } catch (const IoError& error) {
            return Fail("impossible de lire le lexique : " + IoErrorMessage(error));
        }

        std::unique_ptr<ProgressRecord, void (*)(ProgressRecord*)> record(ReserveProgress(), ReleaseProgress);
        if (!recordPath.empty()) {
            try {
                LoadProgressFile(*record, recordPath);
            } catch (const IoError& error) {
                return Fail("impossible de lire le fichier de progression " + recordPath + " : " +
                            IoErrorText(error.code()));
            }
        }

        if (lexicon->VerbCount <= 0) return Fail(Cp1252ToUtf8(kRefusalMessage));

        if (haveSeed) {
            SeedRandom(seed);
        } else {
            SeedRandomFromClock();
        }
        const std::string text = GenerateSentences(*lexicon, *record, int(sentences), hard, nullptr);
        const std::string output = Cp1252ToUtf8(OneSentencePerLine(text)) + "\n";
        if (std::fwrite(output.data(), 1, output.size(), stdout) != output.size() || std::fflush(stdout) != 0)
            return Fail("écriture impossible sur la sortie standard");
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
    return 0;
}
