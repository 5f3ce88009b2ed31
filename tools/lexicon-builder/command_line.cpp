// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/lexicon-builder/command_line.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <sstream>
#include <string>

#include "tools/lexicon-builder/lexicon_builder.h"

namespace lexbuild {

namespace {

constexpr const char* kUsage =
    "usage : clavelle-lexicon --aff FICHIER.aff --dic FICHIER.dic --out DOSSIER\n"
    "Construit dictionnaire.txt, prénomsf.txt et prénomsg.txt dans DOSSIER à partir\n"
    "d'un dictionnaire Hunspell français.\n";

std::string ReadWholeFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw BuildError("impossible de lire « " + path + " » : c'est un dossier");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw BuildError("impossible de lire « " + path + " » : " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw BuildError("erreur de lecture de « " + path + " »");
    return std::move(text).str();
}

}  // namespace

int RunLexiconBuilder(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    std::string affPath, dicPath, outDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return 0;
        }
        std::string* target = arg == "--aff"   ? &affPath
                              : arg == "--dic" ? &dicPath
                              : arg == "--out" ? &outDir
                                               : nullptr;
        if (!target) {
            err << "clavelle-lexicon : argument inconnu « " << arg << " »\n" << kUsage;
            return 2;
        }
        if (i + 1 >= argc || std::string(argv[i + 1]).empty()) {
            err << "clavelle-lexicon : " << arg << " attend une valeur\n" << kUsage;
            return 2;
        }
        if (!target->empty()) {
            err << "clavelle-lexicon : " << arg << " donné deux fois\n" << kUsage;
            return 2;
        }
        *target = argv[++i];
    }
    if (affPath.empty() || dicPath.empty() || outDir.empty()) {
        err << "clavelle-lexicon : --aff, --dic et --out sont obligatoires\n" << kUsage;
        return 2;
    }

    try {
        const auto start = std::chrono::steady_clock::now();
        const std::string affText = ReadWholeFile(affPath);
        AffixFile aff;
        try {
            aff = ParseAffixFile(affText);
        } catch (const BuildError& e) {
            throw BuildError(affPath + ", " + e.what());
        }
        const std::vector<DicEntry> entries = ParseDicFile(ReadWholeFile(dicPath), aff);
        const LexiconFiles files = BuildLexicon(aff, entries);
        if (files.verbCount == 0)
            throw BuildError("aucun verbe conjugué dans « " + dicPath +
                             " » : les fichiers ne seraient pas utilisables");
        WriteLexiconFiles(files, outDir);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        out << "Lexique : " << files.verbCount << " verbes, " << files.nounCount << " noms, " << files.adjectiveCount
            << " adjectifs, " << files.femaleNameCount << " prénoms féminins, " << files.maleNameCount
            << " prénoms masculins";
        if (files.verbsOverCapacity > 0) out << " (" << files.verbsOverCapacity << " verbes rares écartés)";
        out << " en " << std::fixed << std::setprecision(2) << seconds << " s\n";
    } catch (const std::exception& e) {
        err << "clavelle-lexicon : " << e.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace lexbuild
