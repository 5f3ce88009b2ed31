// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the chart of "Progression" keeps of the history while it is read: the plausible runs
// in equal groups, and the means of each day.
#include <algorithm>

#include "keyboard/layout.h"
#include "stats/history.h"

namespace {
constexpr int32_t kMaxPlausibleSpeed = 1000;  // words per minute; beyond, a row is not a run
}  // namespace

bool ImplausibleRow(const HistoryRow& row, int32_t today) {
    const int32_t day = row.LocalDay();
    return day < 0 || day > today + 1 || row.Speed > kMaxPlausibleSpeed;
}

RowVerdict JudgeHistoryLine(std::string_view line, int32_t today, HistoryRow& row) {
    if (!ParseHistoryRow(line, row)) return RowVerdict::Damaged;
    return ImplausibleRow(row, today) ? RowVerdict::Implausible : RowVerdict::Run;
}

void RunGroups::Add(double speed, double errorPercent) {
    if (groups_.empty() || groups_.back().Runs == size_) {
        if (groups_.size() == std::size_t(kMaxChartPoints)) {
            // Every group is full: pairs of groups become one, twice as long.
            for (std::size_t i = 0; i < groups_.size() / 2; ++i) {
                groups_[i].Speed = groups_[2 * i].Speed + groups_[2 * i + 1].Speed;
                groups_[i].Errors = groups_[2 * i].Errors + groups_[2 * i + 1].Errors;
                groups_[i].Runs = groups_[2 * i].Runs + groups_[2 * i + 1].Runs;
            }
            groups_.resize(groups_.size() / 2);
            size_ *= 2;
        }
        if (groups_.empty() || groups_.back().Runs == size_) groups_.emplace_back();
    }
    Sum& group = groups_.back();
    group.Speed += speed;
    group.Errors += errorPercent;
    ++group.Runs;
    ++runs_;
}

std::vector<ChartPoint> RunGroups::Points() const {
    std::vector<ChartPoint> points;
    points.reserve(groups_.size());
    int64_t first = 1;
    for (const Sum& group : groups_) {
        points.push_back({double(first), group.Speed / double(group.Runs), group.Errors / double(group.Runs)});
        first += group.Runs;
    }
    return points;
}

HistorySummary::HistorySummary(int32_t today, const std::string& layout) : Today(today) {
    if (const std::optional<LayoutName> name = LayoutName::Parse(layout)) record_ = RecordFileName(*name);
}

bool HistorySummary::Counts(const std::string& layout) {
    if (record_.empty()) return true;
    // Rows come in runs of one layout: the answer for the last one serves again.
    if (layout != lastLayout_) {
        lastLayout_ = layout;
        const std::optional<LayoutName> name = LayoutName::Parse(layout);
        lastCounts_ = name && RecordFileName(*name) == record_;
    }
    return lastCounts_;
}

void HistorySummary::Add(const HistoryRow& row) {
    if (ImplausibleRow(row, Today))
        CountImplausible(row);
    else
        AddRun(row);
}

void HistorySummary::CountImplausible(const HistoryRow& row) {
    if (Counts(row.Layout)) ++Implausible;
}

void HistorySummary::AddRun(const HistoryRow& row) {
    if (!Counts(row.Layout)) return;
    ++Runs;
    const int32_t day = row.LocalDay();
    AllRuns.Add(row.Speed, row.ErrorPercent);
    if (day > Today - kRecentDays) RecentRuns.Add(row.Speed, row.ErrorPercent);
    if (std::size_t(day) >= Days.size()) Days.resize(std::size_t(day) + 1);
    DaySum& sum = Days[std::size_t(day)];
    sum.Speed += row.Speed;
    sum.Errors += row.ErrorPercent;
    ++sum.Runs;
}

ChartPoints HistoryChartPoints(const HistorySummary& summary, ChartPeriod period, ChartDetail detail) {
    ChartPoints chart;
    if (detail == ChartDetail::PerRun) {
        const RunGroups& runs = period == ChartPeriod::Last30Days ? summary.RecentRuns : summary.AllRuns;
        chart.Points = runs.Points();
        chart.Runs = runs.Runs();
        chart.RunsPerPoint = runs.RunsPerGroup();
        return chart;
    }
    const int32_t firstDay = period == ChartPeriod::Last30Days ? std::max(0, summary.Today - (kRecentDays - 1)) : 0;
    for (std::size_t day = std::size_t(firstDay); day < summary.Days.size(); ++day) {
        const DaySum& sum = summary.Days[day];
        if (sum.Runs == 0) continue;
        chart.Points.push_back({double(day), sum.Speed / double(sum.Runs), sum.Errors / double(sum.Runs)});
        chart.Runs += sum.Runs;
    }
    return chart;
}
