// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Sentence templates: a conjugated verb phrase and two first names become one complete
// sentence, joined with randomly drawn words by fixed glue. One template per family of
// tense codes; each ends with one of three complement shapes and its terminator.
//
// Every template appends its sentence to out (no blank at either end) and returns the
// complement shape it drew (0..2).
#pragma once

#include <string>
#include <string_view>

#include "generator/vocabulary.h"

// The terminator of the imperative: a no-break space, then "!".
inline constexpr std::string_view kExclamation = "\xA0!";

// Shape 0: NP MOTION name1 et name2 PLACE NP
// Shape 1: NP PURPOSE INF name1 et name2 PLACE NP
// Shape 2: NP MOTION name1 pour INF name2 PLACE NP
void AppendComplement(const Vocabulary& vocabulary, int shape, std::string_view name1, std::string_view name2,
                      std::string& out);

// Third-person-singular form of a random verb in the tense 10..17, compound tenses with
// their auxiliary ("avait chanté"). Appends nothing and answers false when no verb has
// that form.
bool AppendThirdPersonForm(const Vocabulary& vocabulary, int tense, std::string& out);
std::string DrawThirdPersonForm(const Vocabulary& vocabulary, int tense);

// Subject and verb of a random verb and person in the tense (11 or 14), subject in lower
// case ("je mangeais", "j'avais mangé"). Appends nothing and answers false when no verb
// has a form in that tense.
bool AppendIfClause(const Vocabulary& vocabulary, int tense, std::string& out);
std::string DrawIfClause(const Vocabulary& vocabulary, int tense);

// "Si il..." -> "S'il...", "Si ils..." -> "S'ils..."; any other text unchanged.
std::string ElideSiIl(std::string_view text);

// Codes 10..17: the verb phrase, or a first name and the third-person form of another
// verb in the same tense, then the complement. Code 10 sentences are capitalised.
int StatementTemplate(const Vocabulary& vocabulary, int tense, std::string_view verbPhrase, std::string_view name1,
                      std::string_view name2, std::string& out);
// Code 18: a judgement ("Il faut", "Marie est heureuse", "Vous êtes contents") before the
// subjunctive verb phrase. Without "être" (or its present form for the person), or
// without an adjective of the wanted form, the personal head gives way to an impersonal
// one.
int JudgementTemplate(const Vocabulary& vocabulary, std::string_view verbPhrase, std::string_view name1,
                      std::string_view name2, std::string& out);
// Code 19: a necessity or a wish ("Il fallait", "J'aurais souhaité") before the
// subjunctive verb phrase. Without "avoir" (or its conditional form for the person), the
// wish gives way to an impersonal head.
int NecessityTemplate(const Vocabulary& vocabulary, std::string_view verbPhrase, std::string_view name1,
                      std::string_view name2, std::string& out);
// Codes 20 and 21: a "Si" clause in the imperfect (20) or pluperfect (21), then the
// conditional verb phrase. When no verb can make the clause, the sentence starts with the
// verb phrase, capitalised.
int ConditionTemplate(const Vocabulary& vocabulary, int tense, std::string_view verbPhrase, std::string_view name1,
                      std::string_view name2, std::string& out);
// Codes 22 and 23: the imperative, the complement, a no-break space and "!".
int ImperativeTemplate(const Vocabulary& vocabulary, std::string_view verbPhrase, std::string_view name1,
                       std::string_view name2, std::string& out);
