// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/course_pages.h"

#include <QStringList>

#include "app/onscreen_keyboard.h"
#include "app/qt_text.h"
#include "common/cp1252.h"

namespace {

// The finger that strikes a key, as a sentence names it: "l'index gauche".
QString FingerPhrase(Finger finger) {
    switch (finger) {
        case Finger::LeftPinky: return QString::fromUtf8("l'auriculaire gauche");
        case Finger::LeftRing: return QString::fromUtf8("l'annulaire gauche");
        case Finger::LeftMiddle: return QString::fromUtf8("le majeur gauche");
        case Finger::LeftIndex: return QString::fromUtf8("l'index gauche");
        case Finger::Thumb: return QString::fromUtf8("le pouce");
        case Finger::RightIndex: return QString::fromUtf8("l'index droit");
        case Finger::RightMiddle: return QString::fromUtf8("le majeur droit");
        case Finger::RightRing: return QString::fromUtf8("l'annulaire droit");
        case Finger::RightPinky: return QString::fromUtf8("l'auriculaire droit");
        case Finger::None: break;
    }
    return {};
}

// Where a row lies, as a sentence says it.
QString RowPhrase(int row) {
    switch (row) {
        case 0: return QString::fromUtf8("sur la rangée des chiffres");
        case 1: return QString::fromUtf8("sur la rangée du haut");
        case 2: return QString::fromUtf8("sur la rangée de repos");
        case 3: return QString::fromUtf8("sur la rangée du bas");
        default: return QString::fromUtf8("sur la barre d'espace");
    }
}

QString CharacterName(char c) { return Quoted(Cp1252ToUtf8(std::string(1, c))); }

}  // namespace

CoursePage WelcomePage(const KeyboardLayout& layout) {
    // The characters under the resting fingers, and those of the keys with a bump.
    QStringList hands[2];
    QStringList bumps;
    for (const int place : OnscreenKeyboard::RestingPlaces()) {
        const PhysicalKey& key = PhysicalKeys()[std::size_t(place)];
        const char c = layout.ByteAt(place, 0);
        if (key.Hand == Finger::Thumb || !c) continue;
        hands[key.LeftHand() ? 0 : 1] << QString::fromStdString(Cp1252ToUtf8(std::string(1, c)));
        if (key.HomeBump) bumps << CharacterName(c);
    }
    return {QString::fromUtf8("Avant la première leçon\u00A0: où poser les mains"),
            QString::fromUtf8(
                "Posez les doigts de la main gauche sur %1 et ceux de la main droite sur %2, les pouces sur la "
                "barre d'espace. Les touches %3 portent un petit relief\u00A0: vos index les trouvent sans "
                "regarder. Chaque doigt frappe les touches de sa couleur, puis revient sur sa touche. Gardez les "
                "yeux sur l'écran et tapez sans vous presser\u00A0: la précision d'abord, la vitesse viendra.")
                .arg(Quoted(hands[0].join(' ').toStdString()), Quoted(hands[1].join(' ').toStdString()),
                     bumps.join(QString::fromUtf8(" et ")))};
}

CoursePage NewKeyPage(const CourseStep& added, const KeyboardLayout& layout) {
    const unsigned char shown = static_cast<unsigned char>(added.Chars[0]);
    const std::vector<Keystroke>& strokes = layout.Strokes(shown);
    QString how;
    if (!strokes.empty()) {
        const PhysicalKey& key = PhysicalKeys()[std::size_t(strokes.back().Place)];
        how = QString::fromUtf8(" se tape avec %1, %2").arg(FingerPhrase(key.Hand), RowPhrase(key.Row));
        if (strokes.size() > 1 || strokes.back().Level != 0)
            how += QString::fromUtf8(" (les touches à presser avant elle sont éclairées aussi)");
    }
    const QString name = Quoted(added.Name);
    return {QString::fromUtf8("Nouvelle touche\u00A0: %1").arg(name),
            QString::fromUtf8("%1%2. Regardez-la sur le clavier, puis revenez à la position de repos. La leçon "
                              "commence par la touche seule et avec ses voisines, puis viennent les mots.")
                .arg(name, how)};
}
