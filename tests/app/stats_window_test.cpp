// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed statistics: history rows from judged runs, opening the window from the
// main window, the figures it shows for a crafted record and history, and the layout it
// draws, lets the user choose and practises on.
#include "form_fixture.h"

#include <filesystem>
#include <sstream>

#include "app/stats_window.h"
#include "common/cp1252.h"
#include "keyboard/layout.h"
#include "keyboard/xkb_layout.h"
#include "stats/history.h"

namespace {

int KeyOf(unsigned char ch) { return KeyOfChar[ch]; }

// The rows of a history file, each read on its own.
std::vector<HistoryRow> Rows(const std::string& path) {
    std::vector<HistoryRow> rows;
    std::istringstream lines(ReadBytes(path));
    for (std::string line; std::getline(lines, line);)
        if (HistoryRow row; ParseHistoryRow(line, row)) rows.push_back(row);
    return rows;
}

std::string Text(QTableWidget* table, int row, int column) {
    QTableWidgetItem* item = table->item(row, column);
    return item ? item->text().toStdString() : "";
}

}  // namespace

using StatsFlow = FormTest;

TEST_F(StatsFlow, JudgedRunsGoToTheHistoryAndF2OrTheButtonOpenTheWindow) {
    ShowAndLoad();
    test_support::FakeClock clock(8 * 3600000);
    SetModel("abc");
    TypeText("a");
    clock.now += 600;
    TypeText("bc");  // the end of the text
    SetModel("abcdefgh");
    form_->CheckBox2->setChecked(true);
    form_->Memo3->SetText("08:00:05");
    TypeText("abcd");
    clock.now = 8 * 3600000 + 5000;
    form_->Timer1Timer();  // the interruption
    ASSERT_EQ(messages_.size(), 2u) << "two verdicts, no history failure";

    const std::string path = form_->ProgramFolder() + "/historique.csv";
    const std::vector<HistoryRow> rows = Rows(path);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Characters, 3);
    EXPECT_EQ(rows[0].DurationMs, 600);
    EXPECT_FALSE(rows[0].Interrupted);
    EXPECT_TRUE(rows[0].Difficult);
    EXPECT_EQ(rows[1].Characters, 4);
    EXPECT_TRUE(rows[1].Interrupted);

    // F2 in the middle of a run opens the window and leaves the run as it was.
    SetModel("abcdef");
    TypeText("ab");
    QApplication::setActiveWindow(form_.get());
    QTest::keyClick(form_->Edit2, Qt::Key_F2);
    StatsWindow* window = form_->Statistics();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle().toStdString(), "Statistiques détaillées");
    EXPECT_EQ(window->HistoryRuns(), 2);
    EXPECT_EQ(form_->Run().CorrectCount, 2);
    EXPECT_EQ(form_->Edit2->text(), QStringLiteral(" ab"));
    window->close();
    EXPECT_FALSE(window->isVisible());
    form_->StatsButton->click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(form_->Statistics(), window) << "one window, shown again";

    // With "Progression" shown, an interruption draws the chart once, on the same axes.
    window->Tabs->setCurrentIndex(2);
    const int draws = window->Chart->DrawCount();
    const QList<QAbstractAxis*> axes = window->Chart->chart()->axes();
    form_->CheckBox2->setChecked(true);
    form_->Memo3->SetText("08:00:10");
    TypeText("ab");
    clock.now = 8 * 3600000 + 10000;
    form_->Timer1Timer();
    EXPECT_EQ(window->Chart->DrawCount(), draws + 1);
    EXPECT_EQ(window->Chart->chart()->axes(), axes);
    EXPECT_EQ(window->HistoryRuns(), 3);
}

// A layout chosen in the window becomes the one counted, with its own record, and the
// choice is kept.
TEST_F(StatsFlow, ALayoutChosenInTheWindowIsCountedOnItsOwnRecord) {
    const std::shared_ptr<const KeyboardLayout> before = ActiveLayoutShared();
    ShowAndLoad();
    form_->ShowStatistics();
    StatsWindow* window = form_->Statistics();
    ASSERT_NE(window, nullptr);
    const int bepo = window->LayoutBox->findData(QStringLiteral("fr(bepo)"));
    ASSERT_GE(bepo, 0);
    emit window->LayoutBox->activated(bepo);
    EXPECT_EQ(form_->Layout().Name().Text(), "fr(bepo)");
    EXPECT_EQ(window->LayoutBox->currentText().toStdString(), "Français (BÉPO)");
    EXPECT_EQ(
        window->LayoutLine->text().toStdString(),
        "Disposition\u00A0: Français (BÉPO), choisie par vous\u00A0; statistiques\u00A0: progression1_9-bepo.dat");
    EXPECT_TRUE(std::filesystem::exists(form_->ProgramFolder() + "/progression1_9-bepo.dat"));
    EXPECT_NE(ReadBytes(form_->ProgramFolder() + "/réglages.txt").find("disposition=fr(bepo)"), std::string::npos);
    // The last entry gives the choice back to the system (offscreen: none, classic AZERTY).
    emit window->LayoutBox->activated(window->LayoutBox->findData(QString()));
    EXPECT_EQ(form_->Layout().Name().Text(), "fr");
    EXPECT_EQ(ReadBytes(form_->ProgramFolder() + "/réglages.txt").find("disposition="), std::string::npos);
    EXPECT_NE(form_->Edge().Origin(), "choisie par vous");
    EXPECT_TRUE(messages_.empty());
    SetActiveLayout(before);
}

TEST(StatsWindowFigures, CraftedRecordAndHistory) {
    std::unique_ptr<ProgressRecord, void (*)(ProgressRecord*)> record(ReserveProgress(), ReleaseProgress);
    for (int i = 0; i < 5; ++i) {
        RecordKeyInterval(*record, KeyOf('a'), KeyOf('t'), 100);
        RecordKeyInterval(*record, KeyOf('e'), KeyOf('t'), 400);
    }
    RecordKeyInterval(*record, KeyOf('t'), KeyOf('e'), 300);  // once: not ranked
    auto lexicon = std::make_unique<Lexicon>();
    lexicon->NounCount = 1;
    lexicon->Noun(1).Slots[kMasSg].Assign("tête"_cp);  // a dead key: no example from it
    lexicon->AdjectiveCount = 1;
    lexicon->Adjective(1).Slots[kMasSg].Assign("net");

    const std::string path = MakeTempFolder("clavelle-stats") + "/historique.csv";
    HistoryRow row = HistoryRowNow(300, 6, 60000, 50, 2.0, true, false);
    std::string file = std::string(kHistoryHeader) + FormatHistoryRow(row) + "abc,def\n";
    row.Epoch -= 86400 * 40;  // outside the last 30 days
    row.Speed = 30;
    file += FormatHistoryRow(row) + "2026-01-01T00:00:00+01:00,1,2\n";
    row.Layout = "fr(bepo)";  // shown with every layout's runs only
    file += FormatHistoryRow(row);
    WriteBytes(path, file);

    StatsWindow window(*record, *lexicon, path);
    window.Refresh();
    window.show();
    EXPECT_EQ(window.HistoryRuns(), 2);
    EXPECT_EQ(window.DamagedRows(), 2);
    const std::string summary = window.Summary->text().toStdString();
    EXPECT_NE(summary.find("11 intervalles mesurés sur 3 paires de touches"), std::string::npos) << summary;
    EXPECT_NE(summary.find("2 lignes endommagées de historique.csv ont été ignorées"), std::string::npos) << summary;

    ASSERT_EQ(window.SlowestTable->rowCount(), 2) << "T → E, measured once, is not ranked";
    EXPECT_EQ(Text(window.SlowestTable, 0, 0), "E → T");
    EXPECT_EQ(Text(window.SlowestTable, 0, 1), "400");
    EXPECT_EQ(Text(window.SlowestTable, 0, 2), "5");
    EXPECT_EQ(Text(window.SlowestTable, 0, 3), "net");
    EXPECT_EQ(Text(window.SlowestTable, 1, 3), "—");  // A → T: only in "tête"

    // The slowest key (E, 300 ms) is shown first; T (250 ms) is coloured, Q has no samples.
    EXPECT_EQ(window.Heatmap->ChosenKey(), KeyOf('e'));
    EXPECT_EQ(Text(window.IntoTable, 0, 0), "T → E");
    EXPECT_NE(window.Heatmap->KeyColour(KeyOf('t')), window.Heatmap->KeyColour(KeyOf('e')));
    EXPECT_EQ(window.Heatmap->KeyColour(KeyOf('q')), QColor(Qt::white));
    QTest::mouseClick(window.Heatmap, Qt::LeftButton, {}, window.Heatmap->KeyRect(KeyOf('t')).center().toPoint());
    EXPECT_EQ(window.Heatmap->ChosenKey(), KeyOf('t'));
    ASSERT_EQ(window.IntoTable->rowCount(), 2);
    EXPECT_EQ(Text(window.IntoTable, 0, 0), "E → T");
    EXPECT_EQ(Text(window.IntoTable, 1, 2), "5");
    EXPECT_EQ(Text(window.OutOfTable, 0, 0), "T → E");

    EXPECT_EQ(window.Chart->PointCount(), 1) << "the last 30 days";
    window.PeriodBox->setCurrentIndex(1);
    EXPECT_EQ(window.Chart->PointCount(), 2);
    EXPECT_EQ(window.Chart->SpeedSeries()->at(1).y(), 30) << "runs in the order they were judged";
    EXPECT_EQ(window.HistoryLayoutBox->currentText().toStdString(), LayoutLabel(ActiveLayout().Name()));
    window.HistoryLayoutBox->setCurrentIndex(1);
    EXPECT_EQ(window.HistoryRuns(), 3);
    EXPECT_EQ(window.Chart->PointCount(), 3);
}

TEST(StatsWindowFigures, ShiftIsColouredByThePairsItStartsAndCountsAreInFrench) {
    std::unique_ptr<ProgressRecord, void (*)(ProgressRecord*)> record(ReserveProgress(), ReleaseProgress);
    auto lexicon = std::make_unique<Lexicon>();
    const std::string path = MakeTempFolder("clavelle-stats") + "/historique.csv";
    StatsWindow window(*record, *lexicon, path);
    window.Refresh();
    EXPECT_EQ(window.Summary->text().toStdString(),
              "Progrès : 0 intervalle mesuré sur 0 paire de touches. Historique : aucune séance enregistrée pour "
              "l'instant.");

    const int shift = KeyOfVirtualKey[VK_SHIFT];
    RecordKeyInterval(*record, shift, KeyOf('a'), 180);
    window.Refresh();
    EXPECT_NE(window.Summary->text().toStdString().find("1 intervalle mesuré sur 1 paire de touches"),
              std::string::npos);
    EXPECT_NE(window.Heatmap->KeyColour(shift), QColor(Qt::white)) << "Maj has a pair: not hatched";
    QTest::mouseClick(window.Heatmap, Qt::LeftButton, {}, window.Heatmap->KeyRect(shift).center().toPoint());
    EXPECT_EQ(window.KeyTitle->text().toStdString(),
              "Touche « Maj » : 180 ms en moyenne sur 1 frappe, de cette touche à la suivante (aucune paire ne "
              "finit sur elle). À gauche les paires qui y mènent, à droite celles qui en partent.");
    EXPECT_EQ(window.IntoTable->rowCount(), 0);
    ASSERT_EQ(window.OutOfTable->rowCount(), 1);
    EXPECT_EQ(Text(window.OutOfTable, 0, 0), "Maj → A");
}

TEST(StatsWindowFigures, LongHistoriesAreGroupedIntoReadablePoints) {
    HistorySummary summary;
    HistoryRow row = HistoryRowNow(300, 6, 60000, 50, 2.0, false, false);
    const int64_t now = row.Epoch;
    for (int64_t i = 0; i < 100000; ++i) {
        row.Epoch = now - (100000 - i) * 600;
        summary.Add(row);
    }
    ProgressChart chart;
    chart.SetHistory(std::move(summary));
    chart.ShowPeriod(ProgressChart::Period::AllTime, ProgressChart::Detail::PerRun, row.LocalDay());
    EXPECT_EQ(chart.RunsPerPoint(), 128);
    EXPECT_EQ(chart.PointCount(), 782);
    chart.ShowPeriod(ProgressChart::Period::AllTime, ProgressChart::Detail::PerDay, row.LocalDay());
    EXPECT_GE(chart.PointCount(), 694);  // 100,000 runs ten minutes apart span 695 days
    EXPECT_LE(chart.PointCount(), 696);
    // The points as text, numbers the locale's way.
    const QStringList lines = chart.PointsText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), chart.PointCount() + 1);
    EXPECT_TRUE(lines.last().endsWith(QLocale().toString(2.0, 'f', 1))) << lines.last().toStdString();
}

// On BÉPO the heat map's caps, the pairs to practise and the layout line are BÉPO's; the
// layout picked in the box goes to the chooser.
TEST(StatsWindowLayouts, BepoCapsChoiceAndPractise) {
    const std::shared_ptr<const KeyboardLayout> before = ActiveLayoutShared();
    std::shared_ptr<const KeyboardLayout> bepo = LoadXkbLayout(*LayoutName::Parse("fr(bepo)"));
    ASSERT_TRUE(bepo);
    SetActiveLayout(bepo);
    const int keyA = KeyOfVirtualKey['A'], keyZ = KeyOfVirtualKey['Z'];  // AZERTY's A and Z keys: b and é
    std::unique_ptr<ProgressRecord, void (*)(ProgressRecord*)> record(ReserveProgress(), ReleaseProgress);
    for (int i = 0; i < 5; ++i) RecordKeyInterval(*record, keyA, keyZ, 300);
    auto lexicon = std::make_unique<Lexicon>();
    StatsWindow window(*record, *lexicon, MakeTempFolder("clavelle-stats") + "/historique.csv");
    std::vector<std::string> chosen, practised;
    window.SetLayoutChooser([&](const LayoutName& name) { chosen.push_back(name.Text()); });
    window.SetLayoutOrigin("donnée par le serveur X");
    window.Refresh();

    EXPECT_EQ(window.Heatmap->CapsText(keyA).toStdString(), "B");
    EXPECT_EQ(window.Heatmap->CapsText(KeyOfVirtualKey['1']).toStdString(), "1 \"");
    EXPECT_EQ(window.LayoutBox->currentText().toStdString(), "Français (BÉPO)");
    EXPECT_EQ(window.LayoutLine->text().toStdString(),
              "Disposition\u00A0: Français (BÉPO), donnée par le serveur X\u00A0; statistiques\u00A0: "
              "progression1_9-bepo.dat");
    const int afnor = window.LayoutBox->findData(QStringLiteral("fr(afnor)"));
    ASSERT_GE(afnor, 0);
    emit window.LayoutBox->activated(afnor);
    EXPECT_EQ(chosen, std::vector<std::string>{"fr(afnor)"});

    // Practise: hidden without somewhere to practise, then the pair's characters.
    EXPECT_TRUE(window.SlowestPractiseButton->isHidden());
    window.SetPractise([&](const std::string& characters) { practised.push_back(characters); });
    EXPECT_FALSE(window.SlowestPractiseButton->isHidden());
    EXPECT_FALSE(window.SlowestPractiseButton->isEnabled()) << "no row selected";
    window.SlowestTable->selectRow(0);
    ASSERT_TRUE(window.SlowestPractiseButton->isEnabled());
    window.SlowestPractiseButton->click();
    QTest::mouseClick(window.Heatmap, Qt::LeftButton, {}, window.Heatmap->KeyRect(keyZ).center().toPoint());
    window.KeyPractiseButton->click();
    EXPECT_EQ(practised, (std::vector<std::string>{"b\xE9", "\xE9"}));
    // After Maj the capital, after the dead circumflex (AZERTY's Y key) the e it composes.
    EXPECT_EQ(PairPractiseCharacters(KeyOfVirtualKey[VK_SHIFT], keyA), "B");
    EXPECT_EQ(PairPractiseCharacters(KeyOfVirtualKey['Y'], KeyOfVirtualKey['F']), "\xEA");
    EXPECT_EQ(KeyPractiseCharacters(KeyOfVirtualKey[VK_SHIFT]), "");
    SetActiveLayout(before);
}
