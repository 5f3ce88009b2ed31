// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/lexicon-builder/command_line.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>

#include "tools/lexicon-builder/lexicon_builder.h"

namespace lexbuild {

namespace {

constexpr const char* kUsage =
    "usage : clavelle-lexicon --aff FICHIER.aff --dic FICHIER.dic --out DOSSIER [--all]\n"
    "                         [--max-rank N] [--frequency FICHIER] [--given-names FICHIER]\n"
    "                         [--demonyms FICHIER] [--bad-words FICHIER]\n"
    "                         [--more-bad-words FICHIER] [--allowed-words FICHIER]\n"
    "                         [--themes FICHIER] [--verbs N] [--nouns N] [--adjectives N]\n"
    "Construit dictionnaire.txt, prénomsf.txt et prénomsg.txt dans DOSSIER à partir\n"
    "d'un dictionnaire Hunspell français. Par défaut, ne garde que les mots courants :\n"
    "  --frequency FICHIER    formes classées par fréquence, une par ligne (UTF-8) ;\n"
    "                         un lemme est gardé s'il y figure parmi les N premières\n"
    "  --max-rank N           le rang N (par défaut : toute la liste)\n"
    "  --given-names FICHIER  prénoms que l'on donne, un par ligne\n"
    "  --demonyms FICHIER     gentilés, exclus des noms communs\n"
    "  --bad-words FICHIER    mots grossiers, injurieux ou sexuels, exclus avec toutes\n"
    "                         leurs formes\n"
    "  --more-bad-words FICHIER  d'autres mots à exclure ainsi\n"
    "  --allowed-words FICHIER   mots ordinaires que ces listes excluraient à tort\n"
    "  --themes FICHIER       mots des thèmes écartés, chacun suivi de son thème\n"
    "                         (dans ces quatre listes, « # » ouvre un commentaire)\n"
    "  --verbs N, --nouns N, --adjectives N\n"
    "                         garder au plus N verbes, noms, adjectifs, les plus\n"
    "                         fréquents (par défaut 800, 4000 et 1000)\n"
    "  --all                  garder tout le dictionnaire, sans ces listes\n"
    "Seuls les verbes transitifs directs (et avoir, être) entrent dans le lexique.\n";

struct Options {
    std::string affPath, dicPath, outDir, maxRank, verbs, nouns, adjectives;
    ListPaths lists;
    bool all = false;
};

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

// Checks that a Hunspell file is what it says it is, naming the file on failure.
void CheckHunspellFiles(const Options& o, const std::string& affText, const AffixFile& aff, const std::string& dicText,
                        std::size_t entriesRead) {
    if (!aff.encodingDeclared)
        throw BuildError(o.affPath + " : l'encodage n'est pas déclaré (ligne « SET UTF-8 » attendue)");
    for (const auto& [path, text] : {std::pair{&o.affPath, &affText}, std::pair{&o.dicPath, &dicText}}) {
        try {
            CheckUtf8(*text);
        } catch (const BuildError& e) {
            throw BuildError(*path + ", " + e.what());
        }
    }
    try {
        CheckEntryCount(dicText, entriesRead);
    } catch (const BuildError& e) {
        throw BuildError(o.dicPath + " : " + e.what());
    }
}

// A whole number from 1 to 999,999,999.
bool IsPositiveNumber(const std::string& text) {
    return !text.empty() && text.size() < 10 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           text.find_first_not_of('0') != std::string::npos;
}

UsageLists UsageListsOf(const Options& o) {
    UsageLists lists = ReadUsageLists(o.lists);
    if (!o.maxRank.empty()) lists.maxRank = std::stoi(o.maxRank);
    for (const auto& [given, size] : {std::pair{&o.verbs, &lists.sizes.verbs}, std::pair{&o.nouns, &lists.sizes.nouns},
                                      std::pair{&o.adjectives, &lists.sizes.adjectives}})
        if (!given->empty()) *size = std::stoi(*given);
    return lists;
}

// "412 mots des thèmes écartés (violence 120, sexe 40, ...)": the themes with a word left out.
std::string ThemeSummary(const LexiconFiles& files) {
    int total = 0;
    std::string themes;
    for (int theme = 0; theme < kThemeCount; ++theme) {
        int count = 0;
        for (const auto& table : files.themedWords) count += table[std::size_t(theme)];
        if (count == 0) continue;
        total += count;
        themes += (themes.empty() ? "" : ", ") + std::string(kThemes[std::size_t(theme)]) + " " + std::to_string(count);
    }
    return std::to_string(total) + " mots des thèmes écartés" + (themes.empty() ? "" : " (" + themes + ")");
}

}  // namespace

int RunLexiconBuilder(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return 0;
        }
        if (arg == "--all") {
            o.all = true;
            continue;
        }
        std::string* text = arg == "--aff"          ? &o.affPath
                            : arg == "--dic"        ? &o.dicPath
                            : arg == "--out"        ? &o.outDir
                            : arg == "--max-rank"   ? &o.maxRank
                            : arg == "--verbs"      ? &o.verbs
                            : arg == "--nouns"      ? &o.nouns
                            : arg == "--adjectives" ? &o.adjectives
                                                    : nullptr;
        std::filesystem::path* path = arg == "--frequency"        ? &o.lists.frequency
                                      : arg == "--given-names"    ? &o.lists.givenNames
                                      : arg == "--demonyms"       ? &o.lists.demonyms
                                      : arg == "--bad-words"      ? &o.lists.badWords
                                      : arg == "--more-bad-words" ? &o.lists.moreBadWords
                                      : arg == "--allowed-words"  ? &o.lists.allowedWords
                                      : arg == "--themes"         ? &o.lists.themes
                                                                  : nullptr;
        if (!text && !path) {
            err << "clavelle-lexicon : argument inconnu « " << arg << " »\n" << kUsage;
            return 2;
        }
        if (i + 1 >= argc || std::string(argv[i + 1]).empty()) {
            err << "clavelle-lexicon : " << arg << " attend une valeur\n" << kUsage;
            return 2;
        }
        if (text ? !text->empty() : !path->empty()) {
            err << "clavelle-lexicon : " << arg << " donné deux fois\n" << kUsage;
            return 2;
        }
        if (text)
            *text = argv[++i];
        else
            *path = argv[++i];
    }
    for (const auto& [name, value] : {std::pair{"--max-rank", &o.maxRank}, std::pair{"--verbs", &o.verbs},
                                      std::pair{"--nouns", &o.nouns}, std::pair{"--adjectives", &o.adjectives}})
        if (!value->empty() && !IsPositiveNumber(*value)) {
            err << "clavelle-lexicon : " << name << " attend un nombre entier positif\n" << kUsage;
            return 2;
        }
    if (o.affPath.empty() || o.dicPath.empty() || o.outDir.empty()) {
        err << "clavelle-lexicon : --aff, --dic et --out sont obligatoires\n" << kUsage;
        return 2;
    }

    try {
        const auto start = std::chrono::steady_clock::now();
        const std::string affText = ReadWholeFile(o.affPath);
        AffixFile aff;
        try {
            aff = ParseAffixFile(affText);
        } catch (const BuildError& e) {
            throw BuildError(o.affPath + ", " + e.what());
        }
        const std::string dicText = ReadWholeFile(o.dicPath);
        const std::vector<DicEntry> entries = ParseDicFile(dicText, aff);
        CheckHunspellFiles(o, affText, aff, dicText, entries.size());
        const UsageLists usage = o.all ? UsageLists{} : UsageListsOf(o);
        const LexiconFiles files = BuildLexicon(aff, entries, {}, o.all ? nullptr : &usage);
        if (files.verbCount == 0)
            throw BuildError("aucun verbe conjugué dans « " + o.dicPath +
                             " » : les fichiers ne seraient pas utilisables");
        WriteLexiconFiles(files, o.outDir);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        out << "Lexique : " << files.verbCount << " verbes, " << files.nounCount << " noms, " << files.adjectiveCount
            << " adjectifs, " << files.femaleNameCount << " prénoms féminins, " << files.maleNameCount
            << " prénoms masculins";
        if (files.verbsOverCapacity > 0) out << " (" << files.verbsOverCapacity << " verbes rares écartés)";
        out << " en " << std::fixed << std::setprecision(2) << seconds << " s\n";
        out << "Écartés : ";
        if (!o.all)
            out << files.rareLemmas << " mots peu courants, " << files.demonymNouns << " gentilés parmi les noms, "
                << files.namesNotGiven << " prénoms que l'on ne donne pas, " << files.badWords
                << " mots grossiers, injurieux ou sexuels, " << ThemeSummary(files) << ", ";
        out << files.verbsWithoutDirectObject << " verbes sans complément d'objet direct\n";
    } catch (const std::exception& e) {
        err << "clavelle-lexicon : " << e.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace lexbuild
