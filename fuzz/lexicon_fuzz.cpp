// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target of the lexicon loader: arbitrary bytes as the dictionary, and two slices of
// them as the name lists. Besides the sanitizers' checks, the result must equal that of
// the plain model of the loader (tests/lexicon/reference_loader.h).
//
// Input: byte 0 and byte 1 give the lengths of the female and male name texts, taken from
// the bytes that follow; the dictionary is all the bytes after the first two.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "lexicon/loader.h"
#include "lexicon/reference_loader.h"

namespace {

// A copy of exactly `size` bytes, so that the sanitizer sees any access beyond them.
std::unique_ptr<char[]> Copy(const uint8_t* data, std::size_t size) {
    std::unique_ptr<char[]> copy(new char[size]);
    if (size) std::memcpy(copy.get(), data, size);
    return copy;
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "lexicon_fuzz: %s\n", what.c_str());
    std::abort();
}

template <typename Entry>
void CheckLengths(const char* what, const Entry* entries, int32_t count, int32_t capacity) {
    if (count < 0 || count > capacity) Fail(std::string(what) + " count out of range");
    for (int32_t i = 0; i < count; ++i)
        for (const ShortString& s : entries[i].Slots)
            if (s.Length > kShortStringCapacity) Fail(std::string(what) + " string too long");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static Lexicon* lexicon = new Lexicon;
    const std::size_t skip = size < 2 ? size : 2;
    const uint8_t* rest = data + skip;
    const std::size_t n = size - skip;
    std::size_t femaleSize = size > 0 ? data[0] : 0;
    if (femaleSize > n) femaleSize = n;
    std::size_t maleSize = size > 1 ? data[1] : 0;
    if (maleSize > n - femaleSize) maleSize = n - femaleSize;

    std::string female(reinterpret_cast<const char*>(rest), femaleSize);
    std::string male(reinterpret_cast<const char*>(rest) + femaleSize, maleSize);
    std::string dictionary(reinterpret_cast<const char*>(rest), n);

    std::vector<int> positions;
    LoadCallbacks callbacks;
    callbacks.SetProgressPosition = [&](int p) {
        if (!positions.empty() && positions.back() == p) Fail("progress position repeated");
        positions.push_back(p);
    };
    callbacks.ProcessEvents = [] {};

    auto femaleText = Copy(rest, femaleSize);
    LoadNameList(femaleText.get(), femaleSize, *lexicon, NameList::Female);
    auto maleText = Copy(rest + femaleSize, maleSize);
    LoadNameList(maleText.get(), maleSize, *lexicon, NameList::Male);
    auto dictionaryText = Copy(rest, n);
    LoadDictionary(dictionaryText.get(), n, *lexicon, callbacks);

    if (lexicon->FemaleNameCount < 1 || lexicon->FemaleNameCount > kNameCapacity || lexicon->MaleNameCount < 1 ||
        lexicon->MaleNameCount > kNameCapacity)
        Fail("name count out of range");
    CheckLengths("verb", lexicon->Verbs, lexicon->VerbCount, kVerbCapacity);
    CheckLengths("noun", lexicon->Nouns, lexicon->NounCount, kNominalCapacity);
    CheckLengths("adjective", lexicon->Adjectives, lexicon->AdjectiveCount, kNominalCapacity);
    if (positions.empty() || positions.back() != 100) Fail("progress does not end at 100");

    reference::Model model = reference::Load(female, male, dictionary);
    std::string difference = reference::Compare(model, *lexicon);
    if (!difference.empty()) Fail("differs from the plain model: " + difference);
    if (positions != model.positions) Fail("progress differs from the plain model");
    return 0;
}
