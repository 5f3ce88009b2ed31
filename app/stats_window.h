// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The "Statistiques détaillées" window: where the user is slow (keyboard heat map, the
// pairs of a chosen key, the slowest pairs) and how they progress (chart of the history).
// Non-modal; it reads the progress record, the lexicon and the history file.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QWidget>
#include <string>

#include "app/keyboard_heatmap.h"
#include "app/progress_chart.h"
#include "lexicon/lexicon.h"
#include "stats/key_report.h"
#include "stats/progress.h"

extern const char* const kStatsWindowTitle;  // UTF-8

class StatsWindow : public QWidget {
    Q_OBJECT
public:
    StatsWindow(const ProgressRecord& record, const Lexicon& lexicon, std::string historyPath,
                QWidget* parent = nullptr);

    // Reads the record and the history file again and redraws everything.
    void Refresh();

    int32_t HistoryRuns() const { return runs_; }
    int32_t DamagedRows() const { return damaged_; }

    QLabel* Summary;
    QTabWidget* Tabs;
    KeyboardHeatmap* Heatmap;
    QLabel* KeyTitle;
    QTableWidget* IntoTable;
    QTableWidget* OutOfTable;
    QTableWidget* SlowestTable;
    QComboBox* PeriodBox;
    QComboBox* DetailBox;
    ProgressChart* Chart;
    QPushButton* CloseButton;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* BuildKeyboardTab();
    QWidget* BuildPairsTab();
    QWidget* BuildProgressTab();
    void ShowKey(int key);
    void ShowChart();

    const ProgressRecord& record_;
    const Lexicon& lexicon_;
    std::string historyPath_;
    KeyReport report_;
    int32_t runs_ = 0;
    int32_t damaged_ = 0;
};
