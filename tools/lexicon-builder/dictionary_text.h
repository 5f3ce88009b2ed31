// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The text of "dictionnaire.txt" and of the name files: lines "form TAB lemma TAB kind:codes"
// grouped by lemma, Windows-1252, CR LF.
#pragma once

#include <string>
#include <vector>

namespace lexbuild {

enum class WordKind { Verb, Noun, Adjective };

// One lemma of one kind with its forms: 51 slots for a verb (slot 0 unused), 4 for a noun
// or an adjective.
struct OutputGroup {
    WordKind kind;
    const std::string* lemma;
    const std::string* slots;
};

// Puts groups of one lemma but different kinds apart: the loader would take a group that
// directly follows one with the same lemma for the same entry. Groups are moved, never
// split; a group that cannot be placed anywhere (a lexicon of one lemma) is dropped.
void SeparateHomographs(std::vector<OutputGroup>& groups);

// Appends the group's lines: one per distinct form, with the codes of every slot it fills
// (at most 20 a line; a form with more takes several lines).
void AppendGroupLines(std::string& out, const OutputGroup& group);

// One name a line, CR LF.
std::string JoinLines(const std::vector<std::string>& names);

}  // namespace lexbuild
