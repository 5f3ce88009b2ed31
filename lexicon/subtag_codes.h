// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The sub-tag codes of the dictionary's tag field and the table slot each one fills.
#pragma once

#include <string_view>

#include "lexicon/lexicon.h"

// The sub-tag code of each verb slot 1..50 (slot 0, the infinitive, has none). Within a
// tense the order is singular 1st, 2nd, 3rd person, then plural 1st, 2nd, 3rd person.
inline constexpr std::string_view kVerbSlotCodes[kVerbSlotCount] = {
    "",
    "IPre+SG+P1",
    "IPre+SG+P2",
    "IPre+SG+P3",
    "IPre+PL+P1",
    "IPre+PL+P2",
    "IPre+PL+P3",
    "IImp+SG+P1",
    "IImp+SG+P2",
    "IImp+SG+P3",
    "IImp+PL+P1",
    "IImp+PL+P2",
    "IImp+PL+P3",
    "IPSim+SG+P1",
    "IPSim+SG+P2",
    "IPSim+SG+P3",
    "IPSim+PL+P1",
    "IPSim+PL+P2",
    "IPSim+PL+P3",
    "IFut+SG+P1",
    "IFut+SG+P2",
    "IFut+SG+P3",
    "IFut+PL+P1",
    "IFut+PL+P2",
    "IFut+PL+P3",
    "SPre+SG+P1",
    "SPre+SG+P2",
    "SPre+SG+P3",
    "SPre+PL+P1",
    "SPre+PL+P2",
    "SPre+PL+P3",
    "SImp+SG+P1",
    "SImp+SG+P2",
    "SImp+SG+P3",
    "SImp+PL+P1",
    "SImp+PL+P2",
    "SImp+PL+P3",
    "CPre+SG+P1",
    "CPre+SG+P2",
    "CPre+SG+P3",
    "CPre+PL+P1",
    "CPre+PL+P2",
    "CPre+PL+P3",
    "ImPre+SG+P1",
    "ImPre+PL+P1",
    "ImPre+PL+P2",  // imperative: tu, nous, vous
    "PPre",
    "PPas+Mas+SG",
    "PPas+Mas+PL",
    "PPas+Fem+SG",
    "PPas+Fem+PL",
};

// The sub-tag code of each noun or adjective form slot (kFemSg .. kMasPl).
inline constexpr std::string_view kNominalSlotCodes[4] = {"Fem+SG", "Mas+SG", "Fem+PL", "Mas+PL"};

// At most this many sub-tags of one dictionary line are read; the rest are ignored.
inline constexpr int kMaxSubTagsPerLine = 20;

// Slot of a verb sub-tag, 1..50, or -1 when it is none of the codes (exact, case-sensitive).
int VerbSlotOfCode(std::string_view subTag);
// Slot of a noun or adjective sub-tag, 0..3, or -1.
int NominalSlotOfCode(std::string_view subTag);
