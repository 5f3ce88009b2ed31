// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/progress_chart.h"

#include <QApplication>
#include <QChart>
#include <QClipboard>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QKeyEvent>
#include <QLegendMarker>
#include <QLocale>
#include <QValueAxis>
#include <algorithm>

#include "app/window_style.h"

namespace {

constexpr int kMarkedPoints = 60;  // up to this many points, each is marked

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

ProgressChart::ProgressChart(QWidget* parent)
    : QChartView(parent),
      speed_(new QLineSeries),
      errors_(new QLineSeries),
      runAxis_(new QValueAxis),
      dayAxis_(new QDateTimeAxis),
      speedAxis_(new QValueAxis),
      errorAxis_(new QValueAxis) {
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
    // The axes are made once; a refresh only sets their ranges and titles, so the chart
    // is laid out and drawn once per refresh. Of the two time axes, the one not in use is
    // hidden and detached.
    runAxis_->setLabelFormat(QStringLiteral("%d"));
    dayAxis_->setFormat(QStringLiteral("dd/MM/yy"));
    dayAxis_->setTitleText(QString::fromUtf8("Jour (moyenne des séances)"));
    speedAxis_->setTitleText(QString::fromUtf8("mots/min"));
    speedAxis_->setLabelFormat(QStringLiteral("%d"));
    errorAxis_->setTitleText(QString::fromUtf8("% d'erreurs"));
    errorAxis_->setLabelFormat(QStringLiteral("%.0f"));
    StyleAxis(runAxis_, window_style::kNavy);
    StyleAxis(dayAxis_, window_style::kNavy);
    StyleAxis(speedAxis_, window_style::kNavy);
    StyleAxis(errorAxis_, window_style::kErrorRed);
    chart->addAxis(runAxis_, Qt::AlignBottom);
    chart->addAxis(dayAxis_, Qt::AlignBottom);
    chart->addAxis(speedAxis_, Qt::AlignLeft);
    chart->addAxis(errorAxis_, Qt::AlignRight);
    speed_->attachAxis(speedAxis_);
    errors_->attachAxis(errorAxis_);
    speed_->attachAxis(runAxis_);
    errors_->attachAxis(runAxis_);
    dayAxis_->setVisible(false);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(360, 220);
    setFocusPolicy(Qt::ClickFocus);
}

void ProgressChart::SetHistory(HistorySummary summary) {
    history_ = std::move(summary);
    drawn_ = false;
}

void ProgressChart::ShowPeriod(Period period, Detail detail, int32_t today) {
    if (drawn_ && period == period_ && detail == shownDetail_ && today == today_) return;
    const bool perDay = detail == Detail::PerDay;
    if (drawn_ ? detail != shownDetail_ : perDay) {
        QAbstractAxis* from = perDay ? static_cast<QAbstractAxis*>(runAxis_) : dayAxis_;
        QAbstractAxis* to = perDay ? static_cast<QAbstractAxis*>(dayAxis_) : runAxis_;
        speed_->detachAxis(from);
        errors_->detachAxis(from);
        from->setVisible(false);
        to->setVisible(true);
        speed_->attachAxis(to);
        errors_->attachAxis(to);
    }
    drawn_ = true;
    period_ = period;
    shownDetail_ = detail;
    today_ = today;
    ++drawCount_;
    shown_ = HistoryChartPoints(history_, period, detail);
    const std::vector<ChartPoint>& points = shown_.Points;
    QList<QPointF> speeds, errors;
    double top = 0, topErrors = 0;
    for (const ChartPoint& point : points) {
        const double x = perDay ? double(NoonOf(int32_t(point.X))) : point.X;
        speeds.append(QPointF(x, point.Speed));
        errors.append(QPointF(x, point.ErrorPercent));
        top = std::max(top, point.Speed);
        topErrors = std::max(topErrors, point.ErrorPercent);
    }
    runsPerPoint_ = perDay ? 1 : int(shown_.RunsPerPoint);
    if (perDay) {
        const int32_t from = points.empty() ? today : int32_t(points.front().X);
        const int32_t to = points.empty() ? today : int32_t(points.back().X);
        dayAxis_->setRange(QDateTime::fromMSecsSinceEpoch(NoonOf(from - 1)),
                           QDateTime::fromMSecsSinceEpoch(NoonOf(to + 1)));
        dayAxis_->setTickCount(std::clamp(to - from + 3, 2, 7));
    } else {
        // Long histories come averaged in equal groups of consecutive runs.
        const int64_t n = shown_.Runs;
        runAxis_->setTitleText(runsPerPoint_ == 1
                                   ? QString::fromUtf8("Séance")
                                   : QString::fromUtf8("Séance (moyenne par groupe de %1)").arg(runsPerPoint_));
        // One tick per run while they are few, so that every label is a whole run.
        if (n <= 1) {
            runAxis_->setRange(0, 2);
            runAxis_->setTickCount(3);
        } else if (n <= 11) {
            runAxis_->setRange(1, double(n));
            runAxis_->setTickCount(int(n));
        } else {
            runAxis_->setRange(1, double(n));
            runAxis_->applyNiceNumbers();
        }
    }
    speed_->replace(speeds);
    errors_->replace(errors);
    speed_->setPointsVisible(speeds.size() <= kMarkedPoints);
    errors_->setPointsVisible(errors.size() <= kMarkedPoints);
    speedAxis_->setRange(0, Ceiling(top, 10));
    speedAxis_->applyNiceNumbers();
    errorAxis_->setRange(0, Ceiling(topErrors, 5));
    errorAxis_->applyNiceNumbers();
    chart()->setTitle(shown_.Runs == 0 ? QString::fromUtf8("Aucune séance sur cette période")
                                       : QString::fromUtf8("Vitesse et erreurs, %1 séance%2")
                                             .arg(QLocale().toString(qlonglong(shown_.Runs)))
                                             .arg(shown_.Runs > 1 ? "s" : ""));
}

QString ProgressChart::PointsText() const {
    const QLocale locale;
    QString text = shownDetail_ == Detail::PerDay ? QString::fromUtf8("Jour\tVitesse (mots/min)\tErreurs (%)\n")
                                                  : QString::fromUtf8("Séance\tVitesse (mots/min)\tErreurs (%)\n");
    for (const ChartPoint& point : shown_.Points) {
        text += shownDetail_ == Detail::PerDay
                    ? QDate(1970, 1, 1).addDays(qint64(point.X)).toString(QStringLiteral("dd/MM/yyyy"))
                    : locale.toString(qlonglong(point.X));
        text += QLatin1Char('\t') + locale.toString(point.Speed, 'f', 1) + QLatin1Char('\t') +
                locale.toString(point.ErrorPercent, 'f', 1) + QLatin1Char('\n');
    }
    return text;
}

void ProgressChart::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(PointsText());
        return;
    }
    QChartView::keyPressEvent(event);
}
