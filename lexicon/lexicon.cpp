// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lexicon/lexicon.h"

#include <cstdlib>
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

void Lexicon::Clear() {
    std::memset(Verbs, 0, sizeof(VerbEntry) * std::size_t(VerbCount));
    std::memset(Nouns, 0, sizeof(NominalEntry) * std::size_t(NounCount));
    std::memset(Adjectives, 0, sizeof(NominalEntry) * std::size_t(AdjectiveCount));
    std::memset(FemaleNames, 0, sizeof(FemaleNames));
    std::memset(MaleNames, 0, sizeof(MaleNames));
    VerbCount = NounCount = AdjectiveCount = FemaleNameCount = MaleNameCount = 0;
}
