// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Conjugation: a verb of the lexicon, a tense code and a person become the subject and
// the conjugated verb that open a sentence ("J'avais mangé", "que tu aies fini", "Mangez").
// Simple tenses take their form from the lexicon; compound tenses are built from fixed
// forms of avoir (subject included) and the masculine singular past participle.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lexicon/lexicon.h"

// Tense codes, plain integers 10..23.
constexpr int kIndicativePresent = 10;
constexpr int kImperfect = 11;
constexpr int kSimplePast = 12;
constexpr int kFuture = 13;
constexpr int kPluperfect = 14;
constexpr int kCompoundPast = 15;
constexpr int kPastAnterior = 16;
constexpr int kFuturePerfect = 17;
constexpr int kSubjunctivePast = 18;
constexpr int kSubjunctivePluperfect = 19;
constexpr int kConditionalPresent = 20;
constexpr int kConditionalPast = 21;
constexpr int kImperativePresent = 22;
constexpr int kImperativePast = 23;
constexpr int kFirstTense = kIndicativePresent;
constexpr int kLastTense = kImperativePast;
constexpr int kTenseCount = kLastTense - kFirstTense + 1;

// Person codes 0..5: je, tu, il, nous, vous, ils.
constexpr int kPersonCount = 6;

namespace conjugation_detail {
// Slot read for each tense code 10..23 and person 0..5: the simple tenses their own
// forms, the compound tenses the masculine singular past participle (47), the imperative
// its three forms (43..45) or the participle; -1 where the imperative has no person.
inline constexpr int8_t kSlots[kTenseCount][kPersonCount] = {
    {1, 2, 3, 4, 5, 6},       {7, 8, 9, 10, 11, 12},    {13, 14, 15, 16, 17, 18}, {19, 20, 21, 22, 23, 24},
    {47, 47, 47, 47, 47, 47}, {47, 47, 47, 47, 47, 47}, {47, 47, 47, 47, 47, 47}, {47, 47, 47, 47, 47, 47},
    {47, 47, 47, 47, 47, 47}, {47, 47, 47, 47, 47, 47}, {37, 38, 39, 40, 41, 42}, {47, 47, 47, 47, 47, 47},
    {-1, 43, -1, 44, 45, -1}, {-1, 47, -1, 47, 47, -1}};
}  // namespace conjugation_detail

// The verb slot that the conjugation of (tense, person) reads, or -1 when that tense has
// no form for the person (the imperative for je, il, ils) or the codes are out of range.
inline int ConjugationSlot(int tense, int person) {
    if (tense < kFirstTense || tense > kLastTense || person < 0 || person >= kPersonCount) return -1;
    return conjugation_detail::kSlots[tense - kFirstTense][person];
}

// "J'" + form before a vowel, h or one of â ä è é ê ë î ï ö ù û ü (lower case only),
// else "Je " + form.
std::string SubjectJe(std::string_view form);
// The same with "j'" and "je ".
std::string SubjectJeLower(std::string_view form);
// The form with its first letter in upper case; è é ê ë give "E", î ï "I", ù û ü "U";
// any other first character stays as it is.
std::string CapitalizeImperative(std::string_view form);

// Subject and verb for the tense and person, appended to out. A verb index outside
// 1..VerbCount, or codes outside their ranges, append nothing. A missing lexicon form
// leaves the subject alone ("tu ", "Je ", "Ils ont "); a missing imperative gives nothing.
void AppendConjugation(const Lexicon& lexicon, int verb, int tense, int person, std::string& out);
std::string ConjugateVerb(const Lexicon& lexicon, int verb, int tense, int person);
