// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The "Statistiques détaillées" window: where the user is slow (keyboard heat map, the
// pairs of a chosen key, the slowest pairs) and how they progress (chart of the history),
// on the keyboard layout it shows and lets the user choose. Non-modal; it reads the
// progress record, the lexicon and the history file.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QWidget>
#include <functional>
#include <string>

#include "app/keyboard_heatmap.h"
#include "app/progress_chart.h"
#include "keyboard/key_characters.h"
#include "keyboard/layout.h"
#include "lexicon/lexicon.h"
#include "stats/key_report.h"
#include "stats/progress.h"

extern const char* const kStatsWindowTitle;  // UTF-8

class StatsWindow : public QWidget {
    Q_OBJECT
public:
    StatsWindow(const ProgressRecord& record, const Lexicon& lexicon, std::string historyPath,
                QWidget* parent = nullptr);

    // Reads the record, the active layout and the history file again and redraws
    // everything.
    void Refresh();

    // Called with the layout the user picks in "Disposition du clavier"; the caller
    // switches to it and calls Refresh. Without it the choice is disabled.
    void SetLayoutChooser(std::function<void(const LayoutName&)> choose);
    // The entry that gives the choice back to the system's layout (shown when set).
    void SetSystemLayoutChooser(std::function<void()> choose);
    // Where the active layout came from ("donnée par le serveur X"), UTF-8, for the line
    // under the choice.
    void SetLayoutOrigin(std::string origin);
    // Called with the characters (Windows-1252) of the chosen key or pair to practise.
    // Without it the "S'entraîner" buttons are hidden.
    void SetPractise(std::function<void(const std::string&)> practise);

    int32_t HistoryRuns() const { return runs_; }
    int32_t DamagedRows() const { return damaged_; }

    QLabel* Summary;
    QComboBox* LayoutBox;
    QLabel* LayoutLine;
    QTabWidget* Tabs;
    KeyboardHeatmap* Heatmap;
    QLabel* KeyTitle;
    QTableWidget* IntoTable;
    QTableWidget* OutOfTable;
    QTableWidget* SlowestTable;
    QPushButton* KeyPractiseButton;
    QPushButton* PairPractiseButton;     // a pair into or out of the chosen key
    QPushButton* SlowestPractiseButton;  // a pair of the slowest
    QComboBox* PeriodBox;
    QComboBox* DetailBox;
    QComboBox* HistoryLayoutBox;  // the runs of the layout counted (the first entry) or of all
    ProgressChart* Chart;
    QPushButton* CloseButton;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* BuildKeyboardTab();
    QWidget* BuildPairsTab();
    QWidget* BuildProgressTab();
    void ShowKey(int key);
    void ShowHistory();  // the history's line and chart, for the layout chosen in HistoryLayoutBox
    void ShowChart();
    void ShowLayout();
    void UpdatePractise();
    void Practise(const std::string& characters);

    const ProgressRecord& record_;
    const Lexicon& lexicon_;
    std::string historyPath_;
    KeyReport report_;
    std::vector<PairFigure> intoPairs_, outOfPairs_, slowestPairs_;  // as the tables show them
    std::function<void()> chooseSystemLayout_;
    std::function<void(const LayoutName&)> chooseLayout_;
    std::string layoutOrigin_;
    std::function<void(const std::string&)> practise_;
    int32_t runs_ = 0;
    int32_t damaged_ = 0;
};
