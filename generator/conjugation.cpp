// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/conjugation.h"

#include "common/cp1252.h"
#include "generator/text_util.h"

namespace {

// Compound tenses: the auxiliary avoir with its subject, then slot 47. Rows by tense
// code - 14, persons 0..5; code 21 and 23 are handled through the same table.
constexpr std::string_view kPluperfectHeads[6] = {"J'avais ",     "Tu avais ",   "Il avait ",
                                                  "Nous avions ", "Vous aviez ", "Ils avaient "};
constexpr std::string_view kCompoundPastHeads[6] = {"J'ai ",       "Tu as ",     "Il a ",
                                                    "Nous avons ", "Vous avez ", "Ils ont "};
const std::string_view kPastAnteriorHeads[6] = {"J'eus ",         "Tu eus ",        "Il eut ",
                                                "Nous eûmes "_cp, "Vous eûtes "_cp, "Ils eurent "};
constexpr std::string_view kFuturePerfectHeads[6] = {"J'aurai ",     "Tu auras ",   "Il aura ",
                                                     "Nous aurons ", "Vous aurez ", "Ils auront "};
constexpr std::string_view kSubjunctivePastHeads[6] = {"que j'aie ",      "que tu aies ",   "qu'il ait ",
                                                       "que nous ayons ", "que vous ayez ", "qu'ils aient "};
const std::string_view kSubjunctivePluperfectHeads[6] = {"que j'eusse ",       "que tu eusses ",    "qu'il eût "_cp,
                                                         "que nous eussions ", "que vous eussiez ", "qu'ils eussent "};
constexpr std::string_view kConditionalPastHeads[6] = {"j'aurais ",     "tu aurais ",   "il aurait ",
                                                       "nous aurions ", "vous auriez ", "ils auraient "};
constexpr std::string_view kImperativePastHeads[6] = {"", "Aie ", "", "Ayons ", "Ayez ", ""};

// Simple tenses: subject for persons 1..5 (person 0 goes through the je elision).
constexpr std::string_view kLowerSubjects[6] = {"", "tu ", "il ", "nous ", "vous ", "ils "};
constexpr std::string_view kCapitalSubjects[6] = {"", "Tu ", "Il ", "Nous ", "Vous ", "Ils "};

const std::string_view* CompoundHeads(int tense) {
    switch (tense) {
        case kPluperfect: return kPluperfectHeads;
        case kCompoundPast: return kCompoundPastHeads;
        case kPastAnterior: return kPastAnteriorHeads;
        case kFuturePerfect: return kFuturePerfectHeads;
        case kSubjunctivePast: return kSubjunctivePastHeads;
        case kSubjunctivePluperfect: return kSubjunctivePluperfectHeads;
        case kConditionalPast: return kConditionalPastHeads;
        case kImperativePast: return kImperativePastHeads;
        default: return nullptr;
    }
}

// First slot of the six-person block of a simple tense, 0 for the others.
int SimpleTenseBase(int tense) {
    switch (tense) {
        case kIndicativePresent: return kIndicativePresentSlot;
        case kImperfect: return kImperfectSlot;
        case kSimplePast: return kSimplePastSlot;
        case kFuture: return kFutureSlot;
        case kConditionalPresent: return kConditionalPresentSlot;
        default: return 0;
    }
}

// Initial letters before which je becomes j'.
bool ElidesJe(std::string_view form) {
    if (form.empty()) return false;
    switch (static_cast<unsigned char>(form[0])) {
        case 'a':
        case 'e':
        case 'i':
        case 'o':
        case 'u':
        case 'y':
        case 'h':
        case 0xE2:
        case 0xE4:
        case 0xE8:
        case 0xE9:
        case 0xEA:
        case 0xEB:  // â ä è é ê ë
        case 0xEE:
        case 0xEF:
        case 0xF6:
        case 0xF9:
        case 0xFB:
        case 0xFC:  // î ï ö ù û ü
            return true;
        default: return false;
    }
}

void AppendSubjectJe(std::string_view form, bool capital, std::string& out) {
    if (ElidesJe(form)) {
        out += capital ? "J'" : "j'";
    } else {
        out += capital ? "Je " : "je ";
    }
    out += form;
}

void AppendCapitalizedImperative(std::string_view form, std::string& out) {
    const std::size_t start = out.size();
    out += form;
    if (form.empty()) return;
    char& first = out[start];
    switch (static_cast<unsigned char>(first)) {
        case 0xE8:
        case 0xE9:
        case 0xEA:
        case 0xEB: first = 'E'; break;  // è é ê ë
        case 0xEE:
        case 0xEF: first = 'I'; break;  // î ï
        case 0xF9:
        case 0xFB:
        case 0xFC: first = 'U'; break;  // ù û ü
        default: CapitalizeAscii(first); break;
    }
}

}  // namespace

std::string SubjectJe(std::string_view form) {
    std::string out;
    AppendSubjectJe(form, true, out);
    return out;
}

std::string SubjectJeLower(std::string_view form) {
    std::string out;
    AppendSubjectJe(form, false, out);
    return out;
}

std::string CapitalizeImperative(std::string_view form) {
    std::string out;
    AppendCapitalizedImperative(form, out);
    return out;
}

void AppendConjugation(const Lexicon& lexicon, int verb, int tense, int person, std::string& out) {
    if (verb < 1 || verb > lexicon.VerbCount) return;
    const int slot = ConjugationSlot(tense, person);
    if (slot < 0) return;
    const std::string_view form = lexicon.Verb(verb).Slots[slot].View();

    if (SimpleTenseBase(tense)) {
        const bool capital = tense != kIndicativePresent && tense != kConditionalPresent;
        if (person == 0) {
            AppendSubjectJe(form, capital, out);
        } else {
            out += capital ? kCapitalSubjects[person] : kLowerSubjects[person];
            out += form;
        }
    } else if (tense == kImperativePresent) {
        AppendCapitalizedImperative(form, out);
    } else {
        out += CompoundHeads(tense)[person];
        out += form;
    }
}

std::string ConjugateVerb(const Lexicon& lexicon, int verb, int tense, int person) {
    std::string out;
    AppendConjugation(lexicon, verb, tense, person, out);
    return out;
}
