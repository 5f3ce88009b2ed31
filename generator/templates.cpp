// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/templates.h"

#include "common/cp1252.h"
#include "generator/conjugation.h"
#include "generator/noun_phrase.h"
#include "generator/random.h"
#include "generator/random_words.h"
#include "generator/text_util.h"
#include "generator/word_lists.h"

namespace {

constexpr std::string_view kJudgementHeads[3] = {"Il suffit", "Il faut", "Il est possible"};
const std::string_view kNecessityHeads[3] = {"Il fallait", "Il est nécessaire"_cp, "Il faudrait"};

// A gender drawn with Random(2): 1 feminine, 0 masculine.
Gender DrawGender() { return Random(2) == 1 ? Gender::Feminine : Gender::Masculine; }

std::string_view DrawNameOfRandomSex(const Vocabulary& vocabulary) {
    return DrawFirstName(vocabulary.Tables(), DrawGender());
}

// "S'" for the "Si " that opens the text at start, when the clause begins with il/ils.
void ElideSiIlAt(std::string& text, std::size_t start) {
    if (text.size() > start + 3 && text[start + 3] == 'i') {
        text[start + 1] = '\'';
        text.erase(start + 2, 1);
    }
}

}  // namespace

void AppendComplement(const Vocabulary& vocabulary, int shape, std::string_view name1, std::string_view name2,
                      std::string& out) {
    AppendNounPhrase(vocabulary, out);
    out += ' ';
    switch (shape) {
        case 0:
            out += DrawMotionPreposition();
            out += ' ';
            out += name1;
            out += " et ";
            out += name2;
            break;
        case 1:
            out += DrawPurposeLink();
            out += ' ';
            out += DrawInfinitive(vocabulary.Tables());
            out += ' ';
            out += name1;
            out += " et ";
            out += name2;
            break;
        default:
            out += DrawMotionPreposition();
            out += ' ';
            out += name1;
            out += " pour ";
            out += DrawInfinitive(vocabulary.Tables());
            out += ' ';
            out += name2;
            break;
    }
    out += ' ';
    out += DrawPlacePreposition();
    out += ' ';
    AppendNounPhrase(vocabulary, out);
}

bool AppendThirdPersonForm(const Vocabulary& vocabulary, int tense, std::string& out) {
    const Lexicon& lexicon = vocabulary.Tables();
    const int verb = DrawAccepted(lexicon.VerbCount, vocabulary.VerbsWithForm(tense, 2),
                                  [&](int v) { return vocabulary.HasForm(v, tense, 2); });
    if (verb == 0) return false;
    switch (tense) {
        case kPluperfect: out += "avait "; break;
        case kCompoundPast: out += "a "; break;
        case kPastAnterior: out += "eut "; break;
        case kFuturePerfect: out += "aura "; break;
        default: break;
    }
    out += lexicon.Verb(verb).Slots[ConjugationSlot(tense, 2)].View();
    return true;
}

std::string DrawThirdPersonForm(const Vocabulary& vocabulary, int tense) {
    std::string out;
    AppendThirdPersonForm(vocabulary, tense, out);
    return out;
}

bool AppendIfClause(const Vocabulary& vocabulary, int tense, std::string& out) {
    const Lexicon& lexicon = vocabulary.Tables();
    const int available = vocabulary.VerbFormsOfTense(tense);
    if (lexicon.VerbCount <= 0 || available <= 0) return false;
    int verb = 0;
    int person = 0;
    bool found = false;
    for (int tries = 0; tries < kMaxDrawTries && !found; ++tries) {
        verb = Random(lexicon.VerbCount) + 1;
        person = Random(kPersonCount);
        found = vocabulary.HasForm(verb, tense, person);
    }
    if (!found) {
        int wanted = Random(available);
        for (int v = 1; v <= lexicon.VerbCount && !found; ++v)
            for (int p = 0; p < kPersonCount && !found; ++p)
                if (vocabulary.HasForm(v, tense, p) && wanted-- == 0) {
                    verb = v;
                    person = p;
                    found = true;
                }
        if (!found) return false;
    }
    const std::size_t start = out.size();
    AppendConjugation(lexicon, verb, tense, person, out);
    if (out.size() > start) {
        char& first = out[start];
        switch (first) {
            case 'I':
            case 'J':
            case 'N':
            case 'T':
            case 'V': first = static_cast<char>(first - 'A' + 'a'); break;
            default: break;
        }
    }
    return true;
}

std::string DrawIfClause(const Vocabulary& vocabulary, int tense) {
    std::string out;
    AppendIfClause(vocabulary, tense, out);
    return out;
}

std::string ElideSiIl(std::string_view text) {
    std::string out(text);
    ElideSiIlAt(out, 0);
    return out;
}

int StatementTemplate(const Vocabulary& vocabulary, int tense, std::string_view verbPhrase, std::string_view name1,
                      std::string_view name2, std::string& out) {
    const int shape = Random(3);
    const int k = Random(2);
    const std::size_t start = out.size();
    if (k == 0) {
        out += verbPhrase;
    } else {
        out += DrawNameOfRandomSex(vocabulary);
        out += ' ';
        if (!AppendThirdPersonForm(vocabulary, tense, out)) {
            // No verb has that third-person form: keep the drawn verb phrase.
            out.resize(start);
            out += verbPhrase;
        }
    }
    out += ' ';
    AppendComplement(vocabulary, shape, name1, name2, out);
    out += '.';
    if (tense == kIndicativePresent) CapitalizeAt(out, start);
    return shape;
}

namespace {
// After the head of a subjunctive sentence: the verb phrase, then a tail drawn after the head.
int AppendSubjunctiveTail(const Vocabulary& vocabulary, std::string_view verbPhrase, std::string_view name1,
                          std::string_view name2, std::string& out) {
    out += ' ';
    out += verbPhrase;
    out += ' ';
    const int shape = Random(3);
    AppendComplement(vocabulary, shape, name1, name2, out);
    out += '.';
    return shape;
}
}  // namespace

int JudgementTemplate(const Vocabulary& vocabulary, std::string_view verbPhrase, std::string_view name1,
                      std::string_view name2, std::string& out) {
    const Lexicon& lexicon = vocabulary.Tables();
    const std::size_t start = out.size();
    const int x = Random(9);
    bool personal = false;
    if (x >= 3) {
        const int person = Random(kPersonCount);
        const int k = Random(2);
        if (k != 0) {
            const Gender gender = DrawGender();
            out += DrawFirstName(lexicon, gender);
            out += " est ";
            const std::string_view adjective = DrawAdjective(vocabulary, gender, 2);
            out += adjective;
            personal = !adjective.empty();
        } else if (vocabulary.HasForm(vocabulary.BeVerb(), kIndicativePresent, person)) {
            AppendConjugation(lexicon, vocabulary.BeVerb(), kIndicativePresent, person, out);
            out += ' ';
            const std::string_view adjective = DrawAdjective(vocabulary, DrawGender(), person);
            out += adjective;
            CapitalizeAt(out, start);
            personal = !adjective.empty();
        }
    }
    if (!personal) {
        out.resize(start);
        out += kJudgementHeads[x % 3];
    }
    return AppendSubjunctiveTail(vocabulary, verbPhrase, name1, name2, out);
}

int NecessityTemplate(const Vocabulary& vocabulary, std::string_view verbPhrase, std::string_view name1,
                      std::string_view name2, std::string& out) {
    const Lexicon& lexicon = vocabulary.Tables();
    const std::size_t start = out.size();
    const int x = Random(9);
    bool personal = false;
    if (x >= 3) {
        const int person = Random(kPersonCount);
        if (vocabulary.HasForm(vocabulary.HaveVerb(), kConditionalPresent, person)) {
            AppendConjugation(lexicon, vocabulary.HaveVerb(), kConditionalPresent, person, out);
            out += ' ';
            out += DrawWishParticiple();
            CapitalizeAt(out, start);
            personal = true;
        }
    }
    if (!personal) out += kNecessityHeads[x % 3];
    return AppendSubjunctiveTail(vocabulary, verbPhrase, name1, name2, out);
}

int ConditionTemplate(const Vocabulary& vocabulary, int tense, std::string_view verbPhrase, std::string_view name1,
                      std::string_view name2, std::string& out) {
    const int shape = Random(3);
    const int k = Random(2);
    const int clauseTense = tense == kConditionalPast ? kPluperfect : kImperfect;
    const std::size_t start = out.size();
    out += "Si ";
    bool clause;
    if (k == 0) {
        clause = AppendIfClause(vocabulary, clauseTense, out);
        if (clause) ElideSiIlAt(out, start);
    } else {
        out += DrawNameOfRandomSex(vocabulary);
        out += ' ';
        clause = AppendThirdPersonForm(vocabulary, clauseTense, out);
    }
    if (clause) {
        out += ' ';
        AppendNounPhrase(vocabulary, out);
        out += ", ";
        out += verbPhrase;
    } else {
        // No verb can make the clause: the conditional stands alone.
        out.resize(start);
        out += verbPhrase;
        CapitalizeAt(out, start);
    }
    out += ' ';
    AppendComplement(vocabulary, shape, name1, name2, out);
    out += '.';
    return shape;
}

int ImperativeTemplate(const Vocabulary& vocabulary, std::string_view verbPhrase, std::string_view name1,
                       std::string_view name2, std::string& out) {
    const int shape = Random(3);
    out += verbPhrase;
    out += ' ';
    AppendComplement(vocabulary, shape, name1, name2, out);
    out += kExclamation;
    return shape;
}
