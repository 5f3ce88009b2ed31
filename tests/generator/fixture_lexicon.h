// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Small lexicons built in code for the generator tests. Words are given in UTF-8 and
// stored in Windows-1252, as the loader stores them.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "common/cp1252.h"
#include "lexicon/lexicon.h"
#include "stats/progress.h"

namespace fixture {

inline std::string Cp(std::string_view utf8) { return Utf8ToCp1252(utf8); }

// Adds a verb with the given slots (slot, UTF-8 form); returns its index.
inline int AddVerb(Lexicon& lexicon, std::string_view infinitive,
                   std::initializer_list<std::pair<int, std::string_view>> forms) {
    const int index = ++lexicon.VerbCount;
    VerbEntry& entry = lexicon.Verb(index);
    entry.Slots[kVerbInfinitive].Assign(Cp(infinitive));
    for (const auto& [slot, form] : forms) entry.Slots[slot].Assign(Cp(form));
    return index;
}

// A regular verb of the first group, every slot filled from its stem ("chant").
inline int AddRegularVerb(Lexicon& lexicon, std::string_view stem) {
    static constexpr std::string_view kEndings[kVerbSlotCount] = {
        "er",    "e",       "es",     "e",      "ons",   "ez",    "ent",   "ais",    "ais",   "ait",     "ions",
        "iez",   "aient",   "ai",     "as",     "a",     "âmes",  "âtes",  "èrent",  "erai",  "eras",    "era",
        "erons", "erez",    "eront",  "e",      "es",    "e",     "ions",  "iez",    "ent",   "asse",    "asses",
        "ât",    "assions", "assiez", "assent", "erais", "erais", "erait", "erions", "eriez", "eraient", "e",
        "ons",   "ez",      "ant",    "é",      "és",    "ée",    "ées"};
    const int index = ++lexicon.VerbCount;
    VerbEntry& entry = lexicon.Verb(index);
    for (int slot = 0; slot < kVerbSlotCount; ++slot)
        entry.Slots[slot].Assign(Cp(std::string(stem) + std::string(kEndings[slot])));
    return index;
}

// Adds a noun or adjective with its four forms (an empty text leaves the slot empty).
inline int AddNominal(Lexicon& lexicon, bool adjective, std::string_view femSg, std::string_view masSg,
                      std::string_view femPl, std::string_view masPl) {
    int& count = adjective ? lexicon.AdjectiveCount : lexicon.NounCount;
    const int index = ++count;
    NominalEntry& entry = adjective ? lexicon.Adjective(index) : lexicon.Noun(index);
    entry.Slots[kFemSg].Assign(Cp(femSg));
    entry.Slots[kMasSg].Assign(Cp(masSg));
    entry.Slots[kFemPl].Assign(Cp(femPl));
    entry.Slots[kMasPl].Assign(Cp(masPl));
    entry.Slots[kNominalLemma].Assign(Cp(masSg.empty() ? femSg : masSg));
    return index;
}
inline int AddNoun(Lexicon& l, std::string_view fs, std::string_view ms, std::string_view fp, std::string_view mp) {
    return AddNominal(l, false, fs, ms, fp, mp);
}
inline int AddAdjective(Lexicon& l, std::string_view fs, std::string_view ms, std::string_view fp,
                        std::string_view mp) {
    return AddNominal(l, true, fs, ms, fp, mp);
}

inline void AddFemaleName(Lexicon& lexicon, std::string_view name) {
    lexicon.FemaleName(++lexicon.FemaleNameCount).Assign(Cp(name));
}
inline void AddMaleName(Lexicon& lexicon, std::string_view name) {
    lexicon.MaleName(++lexicon.MaleNameCount).Assign(Cp(name));
}

inline int AddEtre(Lexicon& lexicon) {
    return AddVerb(lexicon, "être",
                   {{1, "suis"},
                    {2, "es"},
                    {3, "est"},
                    {4, "sommes"},
                    {5, "êtes"},
                    {6, "sont"},
                    {7, "étais"},
                    {8, "étais"},
                    {9, "était"},
                    {10, "étions"},
                    {11, "étiez"},
                    {12, "étaient"},
                    {47, "été"}});
}
inline int AddAvoir(Lexicon& lexicon) {
    return AddVerb(lexicon, "avoir",
                   {{1, "ai"},      {2, "as"},      {3, "a"},       {4, "avons"},    {5, "avez"},    {6, "ont"},
                    {7, "avais"},   {8, "avais"},   {9, "avait"},   {10, "avions"},  {11, "aviez"},  {12, "avaient"},
                    {37, "aurais"}, {38, "aurais"}, {39, "aurait"}, {40, "aurions"}, {41, "auriez"}, {42, "auraient"},
                    {43, "aie"},    {44, "ayons"},  {45, "ayez"},   {47, "eu"}});
}

// The usual test lexicon: a few regular verbs, être and avoir, nouns of every pattern,
// adjectives and two names of each sex.
inline std::unique_ptr<Lexicon> SmallLexicon() {
    auto lexicon = std::make_unique<Lexicon>();
    Lexicon& l = *lexicon;
    AddRegularVerb(l, "chant");
    AddRegularVerb(l, "aim");
    AddEtre(l);
    AddRegularVerb(l, "habit");
    AddAvoir(l);
    AddRegularVerb(l, "écout");
    AddNoun(l, "amie", "ami", "amies", "amis");
    AddNoun(l, "", "arbre", "", "arbres");
    AddNoun(l, "", "homme", "", "hommes");
    AddNoun(l, "maison", "", "maisons", "");
    AddNoun(l, "pomme", "", "pommes", "");
    AddAdjective(l, "heureuse", "heureux", "heureuses", "heureux");
    AddAdjective(l, "petite", "petit", "petites", "petits");
    AddAdjective(l, "verte", "vert", "vertes", "verts");
    AddFemaleName(l, "Marie");
    AddFemaleName(l, "Anne");
    AddMaleName(l, "Paul");
    AddMaleName(l, "Luc");
    return lexicon;
}

// A record reserved zero-filled, released at scope end.
struct RecordHolder {
    std::unique_ptr<ProgressRecord, void (*)(ProgressRecord*)> block{ReserveProgress(), ReleaseProgress};
    ProgressRecord& operator*() { return *block; }
    ProgressRecord* operator->() { return block.get(); }
};

// Fills every cell with 128 samples, values varying with the pair and a seed.
inline void FillRecord(ProgressRecord& record, unsigned seed) {
    for (int p = 1; p <= kKeyCount; ++p)
        for (int c = 1; c <= kKeyCount; ++c) {
            KeyPairStats& cell = record.Cell(p, c);
            cell.Count = kSampleCapacity;
            for (int t = 0; t < kSampleCapacity; ++t)
                cell.Times[t] = static_cast<uint16_t>(60 + ((p * 131u + c * 71u + t * 17u + seed * 997u) % 400u));
        }
}

}  // namespace fixture
