// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Random words: verbs, adjectives and first names taken at random from the lexicon, the
// exact lookup of a verb by its infinitive, and the test whether a verb has a form.
#pragma once

#include <string_view>

#include "generator/random.h"
#include "generator/vocabulary.h"
#include "lexicon/lexicon.h"

// True when the verb has the form that ConjugateVerb appends for the tense and person.
// Compound tenses only need the masculine singular past participle; the imperative
// exists only for persons 1, 3 and 4. A verb index outside the table gives false.
bool VerbHasForm(const Lexicon& lexicon, int verb, int tense, int person);

// Index of the first verb whose infinitive is exactly the text (case-sensitive), 0 if
// none.
int FindVerb(const Lexicon& lexicon, std::string_view infinitive);

// The infinitive of a random verb; empty when the table is empty.
std::string_view DrawInfinitive(const Lexicon& lexicon);

// Slot of an adjective or noun agreeing with a gender and a person (0..2 singular, 3..5
// plural).
inline int AgreementSlot(Gender gender, int person) { return FormSlot(gender, person >= 3); }

// A random adjective form agreeing with the gender and the number of the person, uniform
// over the adjectives that have it; empty when none has it.
std::string_view DrawAdjective(const Vocabulary& vocabulary, Gender gender, int person);

// A random first name of that gender; empty for an empty list.
std::string_view DrawFirstName(const Lexicon& lexicon, Gender gender);

// Uniform draw of an index 1..count with Random(count) + 1, repeated until accept(i)
// holds. available is the number of accepted indices: 0 ends at once with 0, and after
// kMaxDrawTries rejections the index is picked among the accepted ones directly.
template <typename Accept>
int DrawAccepted(int count, int available, Accept accept) {
    if (count <= 0 || available <= 0) return 0;
    for (int tries = 0; tries < kMaxDrawTries; ++tries) {
        const int i = Random(count) + 1;
        if (accept(i)) return i;
    }
    int wanted = Random(available);
    for (int i = 1; i <= count; ++i)
        if (accept(i) && wanted-- == 0) return i;
    return 0;
}
