// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the course says after a lesson, in French.
#include <cstdlib>

#include "common/cp1252.h"
#include "common/rounding.h"
#include "exercise/course.h"

namespace {

const std::string kNbsp = "\u00A0";
const std::string kColon = kNbsp + ": ";

std::string Quoted(const std::string& utf8) { return "«" + kNbsp + utf8 + kNbsp + "»"; }

std::string StepName(const std::vector<CourseStep>& order, int step) { return Quoted(order[std::size_t(step)].Name); }

std::string CharName(unsigned char ch) {
    return Quoted(ch == ' ' ? std::string("espace") : Cp1252ToUtf8(std::string(1, char(ch))));
}

std::string Percent(int value) { return std::to_string(value) + kNbsp + "%"; }

// "(+3)", "(−2 points)": a change since the previous lesson.
std::string Change(int change, bool points) {
    std::string text = change > 0 ? "+" : change < 0 ? "\u2212" : "±";
    text += std::to_string(std::abs(change));
    if (points) text += std::abs(change) > 1 ? " points" : " point";
    return " (" + text + ")";
}

// What a key on trial still lacks: "« l »: 88 % de frappes justes, 90 % demandés".
std::string Shortfall(const std::vector<CourseStep>& order, const KeyDemand& d) {
    std::string text = StepName(order, d.Step) + kColon;
    std::string parts;
    auto add = [&parts](const std::string& part) { parts += (parts.empty() ? "" : kNbsp + "; ") + part; };
    if (!d.EnoughSamples())
        add(std::to_string(d.Samples) + (d.Samples > 1 ? " frappes, " : " frappe, ") + std::to_string(d.NeededSamples) +
            " demandées");
    if (d.Samples > 0 && !d.AccurateEnough())
        add(Percent(d.AccuracyPercent) + " de frappes justes, " + Percent(d.NeededAccuracyPercent) + " demandés");
    if (d.Samples > 0 && !d.FastEnough())
        add(std::to_string(d.Wpm) + " mots/min, " + std::to_string(d.NeededWpm) + " demandés");
    return text + parts + ".";
}

}  // namespace

std::string LessonReportText(const std::vector<CourseStep>& order, const LessonResult& result) {
    std::string text;
    const LessonFigures& lesson = result.Lesson;
    const int accuracy = RoundHalfEven(lesson.FirstAttemptPercent);
    text += "Leçon terminée" + kColon + std::to_string(lesson.Wpm) + " mots/min";
    if (result.Previous) text += Change(lesson.Wpm - result.Previous->Wpm, false);
    text += ", " + Percent(accuracy) + " de frappes justes";
    if (result.Previous) text += Change(accuracy - RoundHalfEven(result.Previous->FirstAttemptPercent), true);
    text += ".\n";
    if (result.SlowDown)
        text += "Ralentissez" + kColon + Percent(100 - accuracy) + " de fautes" + kNbsp +
                "; la précision passe avant la vitesse. La leçon ne compte pas pour la touche suivante (il faut " +
                Percent(kUnlockAccuracyPercent) + " de frappes justes).\n";
    if (result.Unlocked) {
        text += "Nouvelle touche" + kColon + StepName(order, *result.Unlocked) + kNbsp + "!\n";
    } else if (result.Next < 0) {
        text += "Toutes les touches du cours sont apprises.\n";
    } else if (!result.HeldBy.empty()) {
        const std::string next = StepName(order, result.Next);
        text += result.Counted ? "La leçon compte pour la touche suivante, " + next + ". Encore à travailler"
                               : "Pour la touche suivante, " + next + ", encore à travailler";
        text += kNbsp + ":\n";
        for (const KeyDemand& demand : result.HeldBy) text += Shortfall(order, demand) + "\n";
    }
    if (!result.Missed.empty()) {
        text += "Touches manquées" + kColon;
        for (std::size_t i = 0; i < result.Missed.size(); ++i) {
            const MissedKey& missed = result.Missed[i];
            text += (i ? ", " : "") + CharName(missed.Char) + " " + std::to_string(missed.Count) + " fois";
        }
        text += ".\n";
    } else if (lesson.Characters > 0) {
        text += "Aucune touche manquée.\n";
    }
    return text;
}
