// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Progress over time: speed and error rate of the runs of the history, per run or as
// daily means, over the last 30 days or all time (Qt Charts).
#pragma once

#include <QChartView>
#include <QLineSeries>
#include <vector>

#include "stats/history.h"

class ProgressChart : public QChartView {
    Q_OBJECT
public:
    enum class Period { Last30Days, AllTime };
    enum class Detail { PerRun, PerDay };

    explicit ProgressChart(QWidget* parent = nullptr);

    // The runs to chart, in file order.
    void SetRows(std::vector<HistoryRow> rows);
    // Draws the runs of the period; `today` is the local day number of today.
    void ShowPeriod(Period period, Detail detail, int32_t today);

    // Points drawn, and runs each point stands for (long histories are grouped so that
    // the curve stays readable and quick to draw).
    int PointCount() const { return int(speed_->count()); }
    int RunsPerPoint() const { return runsPerPoint_; }
    QLineSeries* SpeedSeries() const { return speed_; }
    QLineSeries* ErrorSeries() const { return errors_; }

private:
    std::vector<HistoryRow> rows_;
    QLineSeries* speed_;
    QLineSeries* errors_;
    int runsPerPoint_ = 1;
};
