// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and close: folders, the first paint's loading order, and what is written when.
#include "form_fixture.h"

#include <sys/stat.h>

#include "common/cp1252.h"

using Startup = FormTest;

TEST_F(Startup, FirstPaintCreatesTheFoldersAndAnEmptyProgressFile) {
    CreateForm();
    EXPECT_EQ(form_->DataDirectory(), dataFolder_);
    EXPECT_EQ(form_->ProgramFolder(), homeFolder_ + "/deep/share/Clavelle");
    EXPECT_TRUE(FileExists(homeFolder_ + "/deep/share/Clavelle")) << "created with its parents";
    EXPECT_FALSE(FileExists(ProgressPath())) << "nothing is written before the first paint";
    ShowAndLoad();
    const std::string file = ReadBytes(ProgressPath());
    ASSERT_EQ(file.size(), 671058u);
    for (std::size_t cell = 0; cell < 51 * 51; ++cell) ASSERT_EQ(file[cell * 258 + 256], 0);
    // The new text's assessment follows the generator's own message.
    EXPECT_EQ(FromQString(form_->Edit1->text()).rfind(std::string("Vous pouvez vous entraîner sur ce"_cp), 0), 0u)
        << FromQString(form_->Edit1->text());
    EXPECT_FALSE(form_->Memo1->Text().empty()) << "a first text was generated";
    EXPECT_EQ(form_->ProgressBar1->value(), 100);
    EXPECT_TRUE(form_->Edit2->hasFocus() || !QApplication::focusWidget());
    EXPECT_EQ(
        FromQString(form_->Memo2->toPlainText()),
        std::string(
            "Aucune information ne pourra être donnée tant que vous n'aurez pas tapé un seul texte en intégralité..."_cp));
}

TEST_F(Startup, ClosingBeforeTheFirstPaintWritesNoFile) {
    CreateForm();
    form_->close();
    EXPECT_FALSE(FileExists(ProgressPath()));
}

TEST_F(Startup, RepaintingNeverLoadsAgain) {
    ShowAndLoad();
    RecordKeyInterval(form_->Record(), 1, 2, 100);
    QSignalSpy again(form_.get(), &TForm1::firstPaintDone);
    form_->hide();
    form_->show();
    form_->repaint();
    QTest::qWait(50);
    EXPECT_EQ(again.count(), 0);
    EXPECT_EQ(form_->Record().Cell(1, 2).Count, 1) << "the record was not read again";
}

TEST_F(Startup, AnExistingRecordIsLoadedAndSavedAgainAtClose) {
    ShowAndLoad();
    RecordKeyInterval(form_->Record(), 3, 4, 250);
    form_->close();
    form_.reset();
    const std::string file = ReadBytes(ProgressPath());
    ASSERT_EQ(file.size(), 671058u);
    EXPECT_EQ(file[((3 - 1) * 51 + (4 - 1)) * 258 + 256], 1);

    ShowAndLoad();
    EXPECT_EQ(form_->Record().Cell(3, 4).Count, 1);
    EXPECT_EQ(form_->Record().Cell(3, 4).Times[0], 250);
}

TEST_F(Startup, AMissingLexiconStopsTheFirstPaintAndProtectsTheRecord) {
    // A stored record from earlier runs.
    std::string stored(671058, '\0');
    stored[256] = 1;
    stored[0] = 7;
    ASSERT_EQ(system(("mkdir -p " + homeFolder_ + "/deep/share/Clavelle").c_str()), 0);
    WriteBytes(ProgressPath(), stored);
    ::unlink((dataFolder_ + "/prénomsf.txt").c_str());

    ShowAndLoad();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "Fichier introuvable : " + dataFolder_ + "/prénomsf.txt");
    EXPECT_EQ(FromQString(form_->Edit1->text()),
              std::string("Chargement en mémoire des informations du dictionnaire..."_cp));
    EXPECT_TRUE(form_->Memo1->Text().empty());

    form_->OK->click();  // no lexicon: the refusal
    EXPECT_EQ(
        FromQString(form_->Edit1->text()),
        std::string("Il est impossible de créer un texte tant que vous n'avez pas initialisé l'ordinateur..."_cp));
    form_->close();
    EXPECT_EQ(ReadBytes(ProgressPath()), stored) << "the stored record was not overwritten";
}

TEST_F(Startup, ADamagedProgressFileIsSetAsideToldOnceAndSavingGoesOn) {
    ASSERT_EQ(system(("mkdir -p " + homeFolder_ + "/deep/share/Clavelle").c_str()), 0);
    WriteBytes(ProgressPath(), std::string(671057, 'x'));
    ShowAndLoad();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].rfind(std::string("Le fichier de progression n'a pas pu être lu (Lecture au-delà de la "
                                             "fin de fichier : ") +
                                     ProgressPath() + ").\r\n",
                                 0),
              0u)
        << messages_[0];
    EXPECT_EQ(ReadBytes(ProgressPath()).size(), 671058u) << "a fresh record";
    form_->close();
    EXPECT_EQ(messages_.size(), 1u) << "told once";
    EXPECT_GT(ReadBytes(ProgressPath()).size(), 0u);
}

TEST_F(Startup, APipeNamedLikeALexiconFileIsRefusedWithoutWaiting) {
    ::unlink((dataFolder_ + "/prénomsg.txt").c_str());
    ASSERT_EQ(::mkfifo((dataFolder_ + "/prénomsg.txt").c_str(), 0644), 0);
    ShowAndLoad();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0],
              "Ce n'est pas un fichier ordinaire (dossier, tube ou périphérique) : " + dataFolder_ + "/prénomsg.txt");
}

TEST_F(Startup, AProgramFolderThatCannotBeMadeIsReportedAtTheFirstPaint) {
    // Its name holds a letter outside Windows-1252: the message keeps it.
    setenv("XDG_DATA_HOME", (homeFolder_ + "/łukasz/share").c_str(), 1);
    WriteBytes(homeFolder_ + "/łukasz", "a file where a folder should be");
    ShowAndLoad();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "Fichier introuvable : " + homeFolder_ + "/łukasz/share/Clavelle");
    form_->close();
    EXPECT_FALSE(FileExists(dataFolder_ + "/progression1_9.dat")) << "nothing is written elsewhere";
}
