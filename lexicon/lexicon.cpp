// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lexicon/lexicon.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
template <typename T>
T* ReserveZeroed(std::size_t count) {
    // calloc hands out fresh zero pages that become resident only when written.
    void* block = std::calloc(count, sizeof(T));
    if (!block) throw std::bad_alloc();
    return static_cast<T*>(block);
}
}  // namespace

Lexicon::Lexicon()
    : Verbs(ReserveZeroed<VerbEntry>(kVerbCapacity)),
      Nouns(ReserveZeroed<NominalEntry>(kNominalCapacity)),
      Adjectives(ReserveZeroed<NominalEntry>(kNominalCapacity)),
      FemaleNames(),
      MaleNames() {}

Lexicon::~Lexicon() {
    std::free(Adjectives);
    std::free(Nouns);
    std::free(Verbs);
}

void Lexicon::ClearDictionary() {
    // Only the entries in use were ever written; the rest of each block is still zero.
    std::memset(Verbs, 0, sizeof(VerbEntry) * std::size_t(VerbCount));
    std::memset(Nouns, 0, sizeof(NominalEntry) * std::size_t(NounCount));
    std::memset(Adjectives, 0, sizeof(NominalEntry) * std::size_t(AdjectiveCount));
    VerbCount = NounCount = AdjectiveCount = 0;
}

void Lexicon::ClearNames(Gender gender) {
    const bool feminine = gender == Gender::Feminine;
    std::memset(feminine ? FemaleNames : MaleNames, 0, sizeof(FemaleNames));
    (feminine ? FemaleNameCount : MaleNameCount) = 0;
}

void Lexicon::Clear() {
    ClearDictionary();
    ClearNames(Gender::Feminine);
    ClearNames(Gender::Masculine);
}
