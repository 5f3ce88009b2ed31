// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/estimate.h"

#include "common/cp1252.h"
#include "common/rounding.h"
#include "keyboard/keyboard.h"
#include "stats/verdict.h"

namespace {
constexpr std::string_view kLineBreak = "\r\n";
constexpr int32_t kMaxCountedSpaces = 99;
}  // namespace

int32_t WordCount(std::string_view text) {
    int32_t spaces = 0;
    for (char ch : text)
        if (ch == ' ' && ++spaces >= kMaxCountedSpaces) break;
    return spaces + 1;
}

SpeedEstimate EstimateSpeeds(std::string_view text, const ProgressRecord& record) {
    MeanTable means;
    ComputeMeans(record, means);

    const PairMeanSum pairs = SumPairMeans(means, text);
    const int64_t pairCount = pairs.Pairs;
    const int64_t pairMeanSum = pairs.Sum;

    int64_t cellCount = 0;
    int64_t cellMeanSum = 0;
    for (int p = 1; p <= kKeyCount; ++p)
        for (int c = 1; c <= kKeyCount; ++c) {
            int32_t mean = means.Means[p][c];
            if (mean == kNoMean) continue;
            ++cellCount;
            cellMeanSum += mean;
        }

    SpeedEstimate estimate;
    if (pairMeanSum == 0 || cellMeanSum == 0) return estimate;
    // Milliseconds per character into words of 6 characters per minute: 60,000 / 6.
    // Multiplying first keeps the quotient exact when it is a half, which then rounds
    // to even as it should (3 / 20,000 x 10,000 is 1.5, not 1.4999...).
    double textSpeed = double(pairCount + 1) * 10000.0 / double(pairMeanSum);
    double userSpeed = double(cellCount + 1) * 10000.0 / double(cellMeanSum);
    estimate.Known = true;
    estimate.TextSpeed = RoundHalfEven(textSpeed);
    estimate.UserSpeed = RoundHalfEven(userSpeed / 5.0) * 5;
    return estimate;
}

std::string EstimateText(const SpeedEstimate& estimate) {
    if (!estimate.Known)
        return std::string(
            "Aucune information ne pourra être donnée tant que vous n'aurez pas tapé un seul texte en intégralité..."_cp);
    std::string text;
    text += "En tapant normalement, vous devriez pouvoir taper ce texte à la vitesse de "_cp;
    text += std::to_string(estimate.TextSpeed);
    text += " mots/min.";
    text += kLineBreak;
    text += "Actuellement, votre niveau de frappe est de ";
    text += std::to_string(estimate.UserSpeed);
    text += " mots/min !";
    text += kLineBreak;
    text += "Note : plus vous utiliserez ce programme, et plus la précision des calculs sera élevée..."_cp;
    return text;
}

TextAssessment AssessText(std::string_view text) {
    TextAssessment assessment;
    if (text.size() < 3) {
        assessment.InformationLine =
            "Vous ne pouvez pas vous entraîner sur un mot comportant moins de 3 caractères..."_cp;
        assessment.StatisticsText = "Aucune information précise ne peut être donnée..."_cp;
        return assessment;
    }
    assessment.RunEstimate = true;
    assessment.TypingEnabled = true;

    int32_t words = WordCount(text);
    std::string& line = assessment.InformationLine;
    if (words == 1) {
        line = "Vous pouvez vous entraîner sur ce mot"_cp;
    } else if (words > kMaxCountedSpaces) {
        line = "Vous pouvez vous entraîner sur ce texte de "_cp;
        line += std::to_string(text.size() / 6);
        line += " mots (1 mot équivaut à 6 caractères)"_cp;
    } else {
        line = "Vous pouvez vous entraîner sur ce texte de "_cp;
        line += std::to_string(words);
        line += " mots";
    }

    if (TextIsSignificant(text))
        line += "...";
    else if (words == 1)
        line += ", mais celui-ci est trop court pour que votre vitesse soit significative...";
    else
        line += ", mais votre vitesse ne sera pas significative...";
    return assessment;
}
