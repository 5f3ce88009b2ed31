// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/driver.h"

#include <algorithm>
#include <utility>

#include "common/cp1252.h"
#include "common/rounding.h"
#include "generator/conjugation.h"
#include "generator/difficulty.h"
#include "generator/random.h"
#include "generator/random_words.h"
#include "generator/templates.h"

const std::string_view kFallbackSentence = "Je suis largué pour le moment"_cp;
const std::string_view kRefusalMessage =
    "Il est impossible de créer un texte tant que vous n'avez pas initialisé l'ordinateur..."_cp;

SentenceGenerator::SentenceGenerator(const Lexicon& lexicon, const ProgressRecord& record, bool hard,
                                     DifficultyRating rating)
    : lexicon_(lexicon), hard_(hard), vocabulary_(lexicon), rating_(std::move(rating)) {
    if (!rating_) {
        means_ = std::make_unique<MeanTable>();
        ComputeMeans(record, *means_);
        rating_ = [means = means_.get()](std::string_view text) { return ::SentenceDifficulty(*means, text); };
    }
    // A name's difficulty never changes during a text: rate each name once.
    for (Gender gender : {Gender::Feminine, Gender::Masculine}) {
        std::vector<int32_t>& rated = gender == Gender::Feminine ? femaleNameDifficulty_ : maleNameDifficulty_;
        const int count = lexicon.NameCount(gender);
        rated.resize(std::size_t(std::max(count, 0)) + 1, 0);
        for (int i = 1; i <= count; ++i) rated[std::size_t(i)] = rating_(lexicon.Name(gender, i).View());
    }
    verbPhrase_.reserve(128);
    candidate_.reserve(512);
    kept_.reserve(512);
}

int32_t SentenceGenerator::SentenceDifficulty(std::string_view text) const { return rating_(text); }

std::string_view SentenceGenerator::SelectName(Gender gender) {
    const int count = lexicon_.NameCount(gender);
    if (count <= 0) return {};  // an empty list gives an empty name

    // Keeps the hardest (or easiest) of 100 draws, ties to the earlier, without branches.
    RandomBatch random;  // no other draw happens during the 100
    const int32_t* rated = (gender == Gender::Feminine ? femaleNameDifficulty_ : maleNameDifficulty_).data();
    const int32_t sign = hard_ ? 1 : -1;  // compare -d to find the easiest
    int kept = random(count) + 1;
    int32_t keptScore = sign * rated[kept];
    for (int draw = 2; draw <= kNameDrawCount; ++draw) {
        const int i = random(count) + 1;
        const int32_t score = sign * rated[i];
        const bool replace = score > keptScore;
        kept = replace ? i : kept;
        keptScore = replace ? score : keptScore;
    }
    return lexicon_.Name(gender, kept).View();
}

void SentenceGenerator::SetFallback(std::string& sentence) {
    sentence.assign(kFallbackSentence);
    sentence += '.';
    lastDraw_.shape = -1;
}

const std::string& SentenceGenerator::GenerateSentence(int verb, int tense, int person) {
    lastDraw_ = SentenceDraw{verb, tense, person, -1};
    candidate_.clear();
    // Every template ends with two noun phrases: without nouns no sentence can be made.
    if (!vocabulary_.HasForm(verb, tense, person) || vocabulary_.NounFormTotal() == 0) {
        SetFallback(candidate_);
        return candidate_;
    }
    verbPhrase_.clear();
    AppendConjugation(lexicon_, verb, tense, person, verbPhrase_);

    // Sexes first (1 = male list), then the two names.
    const Gender first = Random(2) == 0 ? Gender::Feminine : Gender::Masculine;
    const Gender second = Random(2) == 0 ? Gender::Feminine : Gender::Masculine;
    const std::string_view name1 = SelectName(first);
    const std::string_view name2 = SelectName(second);

    int shape;
    if (tense >= kIndicativePresent && tense <= kFuturePerfect) {
        shape = StatementTemplate(vocabulary_, tense, verbPhrase_, name1, name2, candidate_);
    } else if (tense == kSubjunctivePast) {
        shape = JudgementTemplate(vocabulary_, verbPhrase_, name1, name2, candidate_);
    } else if (tense == kSubjunctivePluperfect) {
        shape = NecessityTemplate(vocabulary_, verbPhrase_, name1, name2, candidate_);
    } else if (tense == kConditionalPresent || tense == kConditionalPast) {
        shape = ConditionTemplate(vocabulary_, tense, verbPhrase_, name1, name2, candidate_);
    } else {  // kImperativePresent, kImperativePast: VerbHasForm admits no other code
        shape = ImperativeTemplate(vocabulary_, verbPhrase_, name1, name2, candidate_);
    }
    lastDraw_.shape = shape;
    return candidate_;
}

bool SentenceGenerator::DrawVerbTensePerson(int& verb, int& tense, int& person) {
    const int available = vocabulary_.VerbFormTotal();
    if (lexicon_.VerbCount <= 0 || available <= 0) return false;
    for (int tries = 0; tries < kMaxDrawTries; ++tries) {
        verb = Random(lexicon_.VerbCount) + 1;
        tense = Random(kTenseCount) + kFirstTense;
        person = Random(kPersonCount);
        if (vocabulary_.HasForm(verb, tense, person)) return true;
    }
    // A lexicon poor in forms: pick one of the existing (verb, tense, person) directly,
    // with the same uniform odds.
    int wanted = Random(available);
    for (tense = kFirstTense; tense <= kLastTense; ++tense)
        for (person = 0; person < kPersonCount; ++person) {
            const int n = vocabulary_.VerbsWithForm(tense, person);
            if (wanted >= n) {
                wanted -= n;
                continue;
            }
            for (verb = 1; verb <= lexicon_.VerbCount; ++verb)
                if (vocabulary_.HasForm(verb, tense, person) && wanted-- == 0) return true;
        }
    return false;  // not reached: the counts match the table
}

const std::string& SentenceGenerator::NextSentence() {
    int32_t keptDifficulty = 0;
    for (int i = 1; i <= kCandidateCount; ++i) {
        int verb = 0, tense = 0, person = 0;
        if (!DrawVerbTensePerson(verb, tense, person)) {
            // No verb has any form: every candidate would be the same fallback.
            SetFallback(kept_);
            keptDraw_ = SentenceDraw{};
            return kept_;
        }
        GenerateSentence(verb, tense, person);
        const int32_t difficulty = SentenceDifficulty(candidate_);
        if (i == 1 || ReplacesKept(difficulty, keptDifficulty, hard_)) {
            std::swap(kept_, candidate_);
            keptDifficulty = difficulty;
            keptDraw_ = lastDraw_;
        }
    }
    return kept_;
}

std::string GenerateSentences(const Lexicon& lexicon, const ProgressRecord& record, int sentenceCount, bool hard,
                              const std::function<void(int position)>& onBarPosition, DifficultyRating rating) {
    std::string text;
    if (lexicon.VerbCount <= 0 || sentenceCount < 1) return text;
    SentenceGenerator generator(lexicon, record, hard, std::move(rating));
    text.reserve(std::size_t(sentenceCount) * 200);
    for (int j = 1; j <= sentenceCount; ++j) {
        if (onBarPosition) onBarPosition(RoundHalfEven(100.0 * j / sentenceCount));
        if (j > 1) text += ' ';
        text += generator.NextSentence();
    }
    return text;
}

std::string WaitingMessage(int n) {
    std::string message;
    message += "Veuillez patienter pendant la création d'un texte de "_cp;
    message += std::to_string(n);
    message += " phrases...";
    return message;
}

std::string DoneMessage(int n) {
    if (n == 1) return std::string("L'ordinateur vient de créer un nouveau texte composé d'une phrase..."_cp);
    std::string message;
    message += "L'ordinateur vient de créer un nouveau texte composé de "_cp;
    message += std::to_string(n);
    message += " phrases...";
    return message;
}
