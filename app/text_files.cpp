// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The text window's files: the dialog that chooses one, the questions about a file, the
// list of recent texts and a text whose file is gone.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <algorithm>

#include "app/qt_text.h"
#include "app/text_window.h"
#include "common/io_error.h"

namespace {

int AskBox(QWidget* parent, const std::string& text, const std::vector<std::string>& buttons) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kTextWindowTitle), QString::fromStdString(text),
                    QMessageBox::NoButton, parent);
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

std::string ChooseBox(QWidget* parent, const std::string& folder) {
    // The toolkit's own dialog: the window never waits on a desktop service.
    const QString chosen = QFileDialog::getOpenFileName(
        parent, QString::fromUtf8("Ouvrir un texte"), PathToQString(folder),
        QString::fromUtf8(
            "Textes et livres (*.txt *.epub);;Textes (*.txt);;Livres EPUB (*.epub);;Tous les fichiers (*)"),
        nullptr, QFileDialog::DontUseNativeDialog);
    return chosen.isEmpty() ? std::string() : PathFromQString(chosen);
}

// The folder of a path, or the home folder for none or when it is gone.
std::string FolderOf(const std::string& path) {
    const QString folder = QFileInfo(PathToQString(path)).absolutePath();
    return PathFromQString(!path.empty() && QDir(folder).exists() ? folder : QDir::homePath());
}

}  // namespace

void TextWindow::SetDialogs() {
    if (!services_.Ask)
        services_.Ask = [this](const std::string& text, const std::vector<std::string>& buttons) {
            return AskBox(this, text, buttons);
        };
    if (!services_.ChooseFile)
        services_.ChooseFile = [this](const std::string& folder) { return ChooseBox(this, folder); };
}

void TextWindow::ChooseAndOpen() {
    // Where the text shown, or else the latest one, lies.
    const std::vector<TextPlace>& recent = session_.Places().Recent();
    Open(services_.ChooseFile(FolderOf(!session_.Path().empty() ? session_.Path()
                                       : recent.empty()         ? std::string()
                                                                : recent.front().Identity.Path)));
    Field->setFocus();
}

void TextWindow::OpenRecent(const std::string& path) {
    for (const TextSession::FileStatus& status : statuses_) {
        if (status.Path != path || status.Status != TextFileStatus::Missing) continue;
        if (const TextPlace* place = session_.Places().AtPath(path)) FileMissing(*place);
        return;
    }
    Open(path);
    Field->setFocus();
}

void TextWindow::FileMissing(const TextPlace& place) {
    const int choice =
        Ask(place.StatusMessage(TextFileStatus::Missing), {"Le retrouver…", "Retirer de la liste", "Annuler"});
    if (choice == 0) {
        // Opened under its new name, the text is found again by its content.
        Open(services_.ChooseFile(FolderOf(place.Identity.Path)));
    } else if (choice == 1) {
        try {
            session_.Forget(place.Identity.Path);
        } catch (const IoError& error) {
            Say(IoErrorMessage(error));
        }
        ShowRecent();
    }
}

void TextWindow::ShowRecent() {
    Recent->clear();
    for (const TextPlace& place : session_.Places().Recent()) {
        QString line = QString::fromStdString(place.Summary());
        for (const TextSession::FileStatus& status : statuses_) {
            if (status.Path != place.Identity.Path) continue;
            if (status.Status == TextFileStatus::Missing) line += QString::fromUtf8(" — introuvable");
            if (status.Status == TextFileStatus::Unreadable) line += QString::fromUtf8(" — illisible");
            if (status.Status == TextFileStatus::Changed) line += QString::fromUtf8(" — modifié depuis");
        }
        auto* item = new QListWidgetItem(line, Recent);
        item->setData(Qt::UserRole, QByteArray::fromStdString(place.Identity.Path));
        item->setToolTip(PathToQString(place.Identity.Path));
    }
    ForgetButton->setEnabled(Recent->count() > 0);
}

int TextWindow::Ask(const std::string& text, const std::vector<std::string>& buttons) const {
    return services_.Ask ? services_.Ask(text, buttons) : -1;
}
