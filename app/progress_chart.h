// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Progress over time: speed and error rate of the runs of the history, per run or as
// daily means, over the last 30 days or all time (Qt Charts). The points come from the
// history's summary (stats/history.h); this view only draws them. Ctrl+C copies them as
// text, numbers written the locale's way.
#pragma once

#include <QChartView>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>
#include <vector>

#include "stats/history.h"

class ProgressChart : public QChartView {
    Q_OBJECT
public:
    using Period = ChartPeriod;
    using Detail = ChartDetail;

    explicit ProgressChart(QWidget* parent = nullptr);

    // The history to chart.
    void SetHistory(HistorySummary summary);
    // Draws the runs of the period; `today` is the local day number of today. Drawn once:
    // asking again for what is already drawn, from the same history, changes nothing.
    void ShowPeriod(Period period, Detail detail, int32_t today);
    // Times the axes and curves were built (tests).
    int DrawCount() const { return drawCount_; }
    // The points drawn, one a line: first run or day, speed, error rate, tab-separated.
    QString PointsText() const;

    // Points drawn, and runs each point stands for (long histories are grouped so that
    // the curve stays readable and quick to draw).
    int PointCount() const { return int(speed_->count()); }
    int RunsPerPoint() const { return runsPerPoint_; }
    QLineSeries* SpeedSeries() const { return speed_; }
    QLineSeries* ErrorSeries() const { return errors_; }
    QValueAxis* SpeedAxis() const { return speedAxis_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    HistorySummary history_;
    ChartPoints shown_;
    Detail shownDetail_ = Detail::PerRun;
    QLineSeries* speed_;
    QLineSeries* errors_;
    QValueAxis* runAxis_;
    QDateTimeAxis* dayAxis_;
    QValueAxis* speedAxis_;
    QValueAxis* errorAxis_;
    int runsPerPoint_ = 1;
    int drawCount_ = 0;
    bool drawn_ = false;
    Period period_ = Period::Last30Days;
    int32_t today_ = 0;
};
