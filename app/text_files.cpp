// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/text_files.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "app/qt_text.h"

int AskBox(QWidget* parent, const std::string& text, const std::vector<std::string>& buttons) {
    QMessageBox box(QMessageBox::Question, parent->windowTitle(), QString::fromStdString(text), QMessageBox::NoButton,
                    parent);
    std::vector<QAbstractButton*> added;
    added.reserve(buttons.size());
    for (const std::string& caption : buttons)
        added.push_back(box.addButton(QString::fromStdString(caption), QMessageBox::ActionRole));
    // The last button changes nothing: Enter and Escape choose it.
    if (!added.empty()) {
        box.setDefaultButton(static_cast<QPushButton*>(added.back()));
        box.setEscapeButton(added.back());
    }
    box.exec();
    const auto chosen = std::find(added.begin(), added.end(), box.clickedButton());
    return chosen == added.end() ? -1 : int(chosen - added.begin());
}

std::string ChooseTextFile(QWidget* parent, const std::string& folder) {
    // The toolkit's own dialog: the window never waits on a desktop service.
    const QString chosen = QFileDialog::getOpenFileName(
        parent, QString::fromUtf8("Ouvrir un texte"), PathToQString(folder),
        QString::fromUtf8(
            "Textes et livres (*.txt *.epub);;Textes (*.txt);;Livres EPUB (*.epub);;Tous les fichiers (*)"),
        nullptr, QFileDialog::DontUseNativeDialog);
    return chosen.isEmpty() ? std::string() : PathFromQString(chosen);
}

std::string ChooserFolder(const std::string& path) {
    const QString folder = QFileInfo(PathToQString(path)).absolutePath();
    return PathFromQString(!path.empty() && QDir(folder).exists() ? folder : QDir::homePath());
}

QString RecentLine(const TextPlace& place, const std::vector<TextSession::FileStatus>& statuses) {
    QString line = QString::fromStdString(place.Summary());
    for (const TextSession::FileStatus& status : statuses) {
        if (status.Path != place.Identity.Path) continue;
        if (status.Status == TextFileStatus::Missing) line += QString::fromUtf8(" — introuvable");
        if (status.Status == TextFileStatus::Unreadable) line += QString::fromUtf8(" — illisible");
        if (status.Status == TextFileStatus::Changed) line += QString::fromUtf8(" — modifié depuis");
    }
    return line;
}
