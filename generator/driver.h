// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The text driver: a whole model text of N sentences, each the easiest or the hardest of
// 20 candidates for this user, its two first names chosen the same way among 100 draws.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "generator/difficulty.h"
#include "generator/vocabulary.h"
#include "lexicon/lexicon.h"
#include "stats/progress.h"

constexpr int kCandidateCount = 20;
constexpr int kNameDrawCount = 100;

// The sentence that stands in when no template can be built (no noun in the lexicon, no
// verb form at all, an unknown tense code); it is given a final ".".
extern const std::string_view kFallbackSentence;  // "Je suis largué pour le moment"

// What the driver drew for a sentence (for checks and tools).
struct SentenceDraw {
    int verb = 0;
    int tense = 0;
    int person = 0;
    int shape = -1;  // complement shape 0..2, -1 for the fallback sentence
};

// Makes the sentences of one text. Built once per text: it precomputes the availability
// counts of the lexicon, the mean of every key-pair cell and the difficulty of every
// first name. Candidates are rated by SentenceDifficulty over those means, or by the
// rating given.
class SentenceGenerator {
public:
    SentenceGenerator(const Lexicon& lexicon, const ProgressRecord& record, bool hard, DifficultyRating rating = {});
    SentenceGenerator(const SentenceGenerator&) = delete;
    SentenceGenerator& operator=(const SentenceGenerator&) = delete;

    int32_t SentenceDifficulty(std::string_view text) const;

    // One finished sentence for the verb, tense code and person (VerbHasForm must hold;
    // otherwise, and when the lexicon has no noun, the fallback sentence with its ".").
    // The result stays valid until the next call.
    const std::string& GenerateSentence(int verb, int tense, int person);

    // The first name kept among 100 draws of the female (true) or male list.
    std::string_view SelectName(Gender gender);

    // One sentence of the text: 20 candidates, the hardest (or easiest) kept. The result
    // stays valid until the next call.
    const std::string& NextSentence();
    const SentenceDraw& KeptDraw() const { return keptDraw_; }

private:
    // Draws verb, tense and person until the verb has the form; false when the lexicon
    // has no verb form at all.
    bool DrawVerbTensePerson(int& verb, int& tense, int& person);
    void SetFallback(std::string& sentence);

    const Lexicon& lexicon_;
    bool hard_;
    Vocabulary vocabulary_;
    std::unique_ptr<MeanTable> means_;
    DifficultyRating rating_;
    std::vector<int32_t> femaleNameDifficulty_;  // by name index
    std::vector<int32_t> maleNameDifficulty_;
    std::string verbPhrase_;
    std::string candidate_;
    std::string kept_;
    SentenceDraw lastDraw_;
    SentenceDraw keptDraw_;
};

// The model text: sentenceCount sentences joined by single spaces. onBarPosition is told
// RoundHalfEven(100 * j / N) before sentence j. With no verb in the lexicon, or a count
// below 1, the text is empty and the bar is not told anything (the window shows
// kRefusalMessage instead). The caller seeds the random generator.
std::string GenerateSentences(const Lexicon& lexicon, const ProgressRecord& record, int sentenceCount, bool hard,
                              const std::function<void(int position)>& onBarPosition, DifficultyRating rating = {});

// "Veuillez patienter pendant la création d'un texte de N phrases..."
std::string WaitingMessage(int n);
// "L'ordinateur vient de créer un nouveau texte composé d'une phrase..." for 1,
// "... composé de N phrases..." otherwise.
std::string DoneMessage(int n);
// "Il est impossible de créer un texte tant que vous n'avez pas initialisé l'ordinateur..."
extern const std::string_view kRefusalMessage;
