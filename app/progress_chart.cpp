// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/progress_chart.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QValueAxis>
#include <algorithm>

#include "app/window_style.h"

namespace {

constexpr int kMaxPoints = 1000;   // beyond, consecutive runs are averaged in groups
constexpr int kMarkedPoints = 60;  // up to this many points, each is marked
constexpr int kRecentDays = 30;

// Local noon of a day, in milliseconds since the epoch, for the date axis.
qint64 NoonOf(int32_t day) {
    return QDate(1970, 1, 1).addDays(day).startOfDay().addSecs(12 * 3600).toMSecsSinceEpoch();
}

void StyleAxis(QAbstractAxis* axis, const QColor& colour) {
    axis->setLabelsFont(window_style::PixelFont("MS Sans Serif", 11));
    axis->setTitleFont(window_style::PixelFont("Times New Roman", 13));
    axis->setLabelsColor(colour);
    axis->setTitleBrush(colour);
}

double Ceiling(double value, double floor) { return std::max(floor, value * 1.1); }

}  // namespace

ProgressChart::ProgressChart(QWidget* parent) : QChartView(parent), speed_(new QLineSeries), errors_(new QLineSeries) {
    auto* chart = new QChart;
    chart->setBackgroundBrush(window_style::kPaleYellow);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setTitleFont(window_style::PixelFont("Times New Roman", 13));
    chart->setTitleBrush(window_style::kNavy);
    chart->legend()->setFont(window_style::PixelFont("MS Sans Serif", 11));
    chart->legend()->setLabelColor(window_style::kNavy);
    chart->legend()->setAlignment(Qt::AlignBottom);
    speed_->setName(QString::fromUtf8("Vitesse (mots/min)"));
    errors_->setName(QString::fromUtf8("Erreurs (%)"));
    speed_->setPen(QPen(window_style::kNavy, 2));
    errors_->setPen(QPen(window_style::kErrorRed, 2));
    chart->addSeries(speed_);
    chart->addSeries(errors_);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(360, 220);
}

void ProgressChart::SetRows(std::vector<HistoryRow> rows) { rows_ = std::move(rows); }

void ProgressChart::ShowPeriod(Period period, Detail detail, int32_t today) {
    QChart* c = chart();
    for (QAbstractAxis* axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
    const int32_t firstDay = period == Period::Last30Days ? today - (kRecentDays - 1) : INT32_MIN;
    std::vector<HistoryRow> chosen;
    for (const HistoryRow& row : rows_)
        if (row.LocalDay() >= firstDay) chosen.push_back(row);

    QList<QPointF> speeds, errors;
    double top = 0, topErrors = 0;
    runsPerPoint_ = 1;
    QAbstractAxis* xAxis = nullptr;
    if (detail == Detail::PerDay) {
        const std::vector<DailyMean> days = DailyMeans(chosen);
        for (const DailyMean& day : days) {
            speeds.append(QPointF(double(NoonOf(day.Day)), day.Speed));
            errors.append(QPointF(double(NoonOf(day.Day)), day.ErrorPercent));
            top = std::max(top, day.Speed);
            topErrors = std::max(topErrors, day.ErrorPercent);
        }
        auto* axis = new QDateTimeAxis;
        axis->setFormat(QStringLiteral("dd/MM/yy"));
        axis->setTitleText(QString::fromUtf8("Jour (moyenne des séances)"));
        const int32_t from = days.empty() ? today : days.front().Day;
        const int32_t to = days.empty() ? today : days.back().Day;
        axis->setRange(QDateTime::fromMSecsSinceEpoch(NoonOf(from - 1)),
                       QDateTime::fromMSecsSinceEpoch(NoonOf(to + 1)));
        axis->setTickCount(std::clamp(to - from + 3, 2, 7));
        xAxis = axis;
    } else {
        // Runs in time order; long histories are averaged in groups of consecutive runs.
        std::stable_sort(chosen.begin(), chosen.end(),
                         [](const HistoryRow& a, const HistoryRow& b) { return a.Epoch < b.Epoch; });
        const int n = int(chosen.size());
        runsPerPoint_ = std::max(1, (n + kMaxPoints - 1) / kMaxPoints);
        for (int start = 0; start < n; start += runsPerPoint_) {
            const int end = std::min(n, start + runsPerPoint_);
            double speed = 0, error = 0;
            for (int i = start; i < end; ++i) {
                speed += chosen[std::size_t(i)].Speed;
                error += chosen[std::size_t(i)].ErrorPercent;
            }
            speed /= end - start;
            error /= end - start;
            speeds.append(QPointF(start + 1, speed));
            errors.append(QPointF(start + 1, error));
            top = std::max(top, speed);
            topErrors = std::max(topErrors, error);
        }
        auto* axis = new QValueAxis;
        axis->setLabelFormat(QStringLiteral("%d"));
        axis->setTitleText(runsPerPoint_ == 1
                               ? QString::fromUtf8("Séance")
                               : QString::fromUtf8("Séance (moyenne par groupe de %1)").arg(runsPerPoint_));
        // One tick per run while they are few, so that every label is a whole run.
        if (n <= 1) {
            axis->setRange(0, 2);
            axis->setTickCount(3);
        } else if (n <= 11) {
            axis->setRange(1, n);
            axis->setTickCount(n);
        } else {
            axis->setRange(1, n);
            axis->applyNiceNumbers();
        }
        xAxis = axis;
    }
    speed_->replace(speeds);
    errors_->replace(errors);
    speed_->setPointsVisible(speeds.size() <= kMarkedPoints);
    errors_->setPointsVisible(errors.size() <= kMarkedPoints);

    auto* speedAxis = new QValueAxis;
    speedAxis->setTitleText(QString::fromUtf8("mots/min"));
    speedAxis->setRange(0, Ceiling(top, 10));
    speedAxis->setLabelFormat(QStringLiteral("%d"));
    speedAxis->applyNiceNumbers();
    auto* errorAxis = new QValueAxis;
    errorAxis->setTitleText(QString::fromUtf8("% d'erreurs"));
    errorAxis->setRange(0, Ceiling(topErrors, 5));
    errorAxis->setLabelFormat(QStringLiteral("%.0f"));
    errorAxis->applyNiceNumbers();
    StyleAxis(xAxis, window_style::kNavy);
    StyleAxis(speedAxis, window_style::kNavy);
    StyleAxis(errorAxis, window_style::kErrorRed);
    c->addAxis(xAxis, Qt::AlignBottom);
    c->addAxis(speedAxis, Qt::AlignLeft);
    c->addAxis(errorAxis, Qt::AlignRight);
    speed_->attachAxis(xAxis);
    speed_->attachAxis(speedAxis);
    errors_->attachAxis(xAxis);
    errors_->attachAxis(errorAxis);
    c->setTitle(chosen.empty() ? QString::fromUtf8("Aucune séance sur cette période")
                               : QString::fromUtf8("Vitesse et erreurs, %1 séance%2")
                                     .arg(chosen.size())
                                     .arg(chosen.size() > 1 ? "s" : ""));
}
