// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/verdict.h"

#include <cmath>

#include "common/cp1252.h"

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// A percentage that is not a number (no key press counted) is judged as no error, so
// that the precision sentence and the joiner always agree.
double Judged(double errorPercent) { return std::isnan(errorPercent) ? 0.0 : errorPercent; }

// The verdict line, then the short-text warning on a line of its own.
std::string VerdictBody(int32_t speed, double errorPercent, std::string_view modelText) {
    bool significant = TextIsSignificant(modelText);
    std::string text = SpeedVerdict(speed, significant);
    text += ' ';
    text += VerdictJoiner(speed, errorPercent);
    text += PrecisionVerdict(errorPercent);
    if (!significant) {
        text += kLineBreak;
        text +=
            "Sachez toutefois que votre vitesse n'est pas très significative sur un texte comportant moins de 10 mots."_cp;
    }
    return text;
}

}  // namespace

bool TextIsSignificant(std::string_view modelText) {
    if (modelText.size() >= 100) return true;
    int spaces = 0;
    for (char ch : modelText)
        if (ch == ' ' && ++spaces >= 9) return true;
    return false;
}

std::string SpeedVerdict(int32_t speed, bool significant) {
    if (speed >= 450)
        return std::string(significant ? "Votre vitesse est inhumaine (avez-vous triché ?)"_cp
                                       : "Votre vitesse est impressionnante"_cp);
    std::string_view level;
    if (speed <= 20)
        level = "lamentable";
    else if (speed <= 29)
        level = "insuffisante";
    else if (speed <= 49)
        level = "presque acceptable";
    else if (speed <= 64)
        level = "acceptable";
    else if (speed <= 79)
        level = "assez bonne";
    else if (speed <= 114)
        level = "bonne";
    else if (speed <= 129)
        level = "très bonne"_cp;
    else if (speed <= 154)
        level = "excellente";
    else
        level = "celle d'un génie dactylographique"_cp;
    return std::string("Votre vitesse de frappe est ") + std::string(level);
}

std::string VerdictJoiner(int32_t speed, double errorPercent) {
    double errors = Judged(errorPercent);
    if (speed >= 400) return "et";
    bool fast = speed >= 30;
    bool precise = errors < 6;
    return fast == precise ? "et" : "mais";
}

std::string PrecisionVerdict(double errorPercent) {
    double errors = Judged(errorPercent);
    std::string_view level;
    if (errors < 1)
        level = "est parfaite.";
    else if (errors < 2)
        level = "est excellente.";
    else if (errors < 3)
        level = "est très bonne."_cp;
    else if (errors < 5)
        level = "est bonne.";
    else if (errors == 5)
        level = "est acceptable.";
    else if (errors < 6)
        level = "est presque acceptable.";
    else
        level = "n'est pas satisfaisante.";
    return std::string(" votre précision "_cp) + std::string(level);
}

std::string EndOfRunVerdict(int32_t speed, double errorPercent, std::string_view modelText) {
    return VerdictBody(speed, errorPercent, modelText);
}

std::string InterruptionVerdict(std::string_view chosenTime, int32_t speed, double errorPercent,
                                std::string_view modelText) {
    std::string text;
    text += "Vous avez été interrompu selon votre désir à "_cp;
    text += chosenTime;
    text += '.';
    text += kLineBreak;
    text += VerdictBody(speed, errorPercent, modelText);
    return text;
}
