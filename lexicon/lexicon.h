// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The in-memory lexicon: fixed-capacity tables of verbs, nouns, adjectives and first
// names, indexed from 1. Every word is a short string of at most 50 Windows-1252 bytes;
// an empty slot means the lexicon has no such form.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

constexpr int kShortStringCapacity = 50;

// One length byte and up to 50 characters (51 bytes), as stored in the tables.
struct ShortString {
    uint8_t Length;
    char Chars[kShortStringCapacity];

    std::string_view View() const { return {Chars, Length}; }
    bool Empty() const { return Length == 0; }
    // Stores the text, cut to its first 50 characters.
    void Assign(std::string_view text) {
        std::size_t n =
            text.size() < std::size_t(kShortStringCapacity) ? text.size() : std::size_t(kShortStringCapacity);
        if (n) std::memcpy(Chars, text.data(), n);
        Length = static_cast<uint8_t>(n);
    }
};
static_assert(sizeof(ShortString) == 51);

constexpr int kVerbSlotCount = 51;    // slot 0 the infinitive, 1..50 the forms
constexpr int kNominalSlotCount = 5;  // Fem+SG, Mas+SG, Fem+PL, Mas+PL, lemma

struct VerbEntry {
    ShortString Slots[kVerbSlotCount];
};
static_assert(sizeof(VerbEntry) == 2601);

// Slots of a noun or adjective entry.
enum NominalSlot : int { kFemSg = 0, kMasSg = 1, kFemPl = 2, kMasPl = 3, kNominalLemma = 4 };

// Grammatical gender of a first name or of a noun or adjective form.
enum class Gender : uint8_t { Masculine, Feminine };

// The noun or adjective slot of a form of this gender, singular or plural.
constexpr NominalSlot FormSlot(Gender gender, bool plural) {
    const bool feminine = gender == Gender::Feminine;
    return plural ? (feminine ? kFemPl : kMasPl) : (feminine ? kFemSg : kMasSg);
}

struct NominalEntry {
    ShortString Slots[kNominalSlotCount];
};
static_assert(sizeof(NominalEntry) == 255);

constexpr int kVerbCapacity = 8000;
constexpr int kNominalCapacity = 200000;
constexpr int kNameCapacity = 5000;

// Verb slots that the generator reads (see VerbSlotCodes in the loader for all 50).
enum VerbSlot : int {
    kVerbInfinitive = 0,
    kIndicativePresentSlot = 1,      // 1..6
    kImperfectSlot = 7,              // 7..12
    kSimplePastSlot = 13,            // 13..18
    kFutureSlot = 19,                // 19..24
    kSubjunctivePresentSlot = 25,    // 25..30
    kSubjunctiveImperfectSlot = 31,  // 31..36
    kConditionalPresentSlot = 37,    // 37..42
    kImperativeTuSlot = 43,          // "ImPre+SG+P1"
    kImperativeNousSlot = 44,        // "ImPre+PL+P1"
    kImperativeVousSlot = 45,        // "ImPre+PL+P2"
    kPresentParticipleSlot = 46,
    kPastParticipleMasSgSlot = 47,
    kPastParticipleMasPlSlot = 48,
    kPastParticipleFemSgSlot = 49,
    kPastParticipleFemPlSlot = 50,
};

// The lexicon tables. The three large ones are single zero-filled heap blocks reserved
// at full capacity (lazily zeroed by the system, so unused capacity costs no memory);
// the name lists are held inline. Entries are 1-based: Verb(1) .. Verb(VerbCount).
class Lexicon {
public:
    Lexicon();   // reserves the tables
    ~Lexicon();  // releases them
    Lexicon(const Lexicon&) = delete;
    Lexicon& operator=(const Lexicon&) = delete;

    VerbEntry& Verb(int i) { return Verbs[i - 1]; }
    const VerbEntry& Verb(int i) const { return Verbs[i - 1]; }
    NominalEntry& Noun(int i) { return Nouns[i - 1]; }
    const NominalEntry& Noun(int i) const { return Nouns[i - 1]; }
    NominalEntry& Adjective(int i) { return Adjectives[i - 1]; }
    const NominalEntry& Adjective(int i) const { return Adjectives[i - 1]; }
    ShortString& FemaleName(int i) { return FemaleNames[i - 1]; }
    const ShortString& FemaleName(int i) const { return FemaleNames[i - 1]; }
    ShortString& MaleName(int i) { return MaleNames[i - 1]; }
    const ShortString& MaleName(int i) const { return MaleNames[i - 1]; }

    // Empties every table and count (the blocks stay reserved).
    void Clear();
    // Empties the verb, noun and adjective tables.
    void ClearDictionary();
    // Empties the name list of one gender.
    void ClearNames(Gender gender);

    // The first names of one gender: their number, and name i (1-based).
    int32_t NameCount(Gender gender) const { return gender == Gender::Feminine ? FemaleNameCount : MaleNameCount; }
    const ShortString& Name(Gender gender, int i) const {
        return gender == Gender::Feminine ? FemaleName(i) : MaleName(i);
    }

    VerbEntry* Verbs;          // kVerbCapacity entries
    NominalEntry* Nouns;       // kNominalCapacity entries
    NominalEntry* Adjectives;  // kNominalCapacity entries
    ShortString FemaleNames[kNameCapacity];
    ShortString MaleNames[kNameCapacity];
    int32_t VerbCount = 0;
    int32_t NounCount = 0;
    int32_t AdjectiveCount = 0;
    int32_t FemaleNameCount = 0;
    int32_t MaleNameCount = 0;
};
