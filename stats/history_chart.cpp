// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The history read into what the chart of "Progression" keeps of it: the plausible runs
// in equal groups, and the means of each day.
#include <fcntl.h>

#include <algorithm>
#include <cstring>

#include "common/file_descriptor.h"
#include "common/file_io.h"
#include "keyboard/layout.h"
#include "stats/history.h"

namespace {
constexpr std::size_t kReadBlock = std::size_t(1) << 20;
constexpr std::size_t kMaxLineBytes = 4096;  // no row comes near; longer lines are damage
}  // namespace

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

void HistorySummary::AddLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    static const std::string_view headerStart = kHistoryHeader.substr(0, kHistoryHeader.find(','));
    if (line.empty() || line.starts_with(headerStart)) return;
    HistoryRow row;
    switch (JudgeHistoryLine(line, Today, row)) {
        case RowVerdict::Run: AddRun(row); break;
        case RowVerdict::Damaged: ++Damaged; break;
        case RowVerdict::Implausible: CountImplausible(row); break;
    }
}

HistorySummary ParseHistory(std::string_view text, int32_t today) {
    HistorySummary summary(today);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        summary.AddLine(text.substr(start, end - start));
        start = end + 1;
    }
    return summary;
}

HistoryReadResult ReadHistoryFile(const std::string& path, int32_t today, const std::string& layout) {
    HistoryReadResult result{HistorySummary(today, layout), false, std::nullopt};
    HistorySummary& summary = result.Summary;
    try {
        FileDescriptor fd(OpenRegularFile(path, O_RDONLY));
        // Read block by block; a line cut by the end of a block waits at the front of the
        // buffer for the rest. A line longer than any row is counted once and passed over.
        std::string buffer(kReadBlock + kMaxLineBytes, '\0');
        std::size_t kept = 0;
        bool skipping = false;
        for (;;) {
            const std::size_t got =
                NamingFile(path, [&] { return ReadSome(fd.get(), buffer.data() + kept, kReadBlock); });
            const std::size_t filled = kept + got;
            std::string_view data(buffer.data(), filled);
            std::size_t start = 0;
            for (;;) {
                const std::size_t end = data.find('\n', start);
                if (end == std::string_view::npos) break;
                if (!skipping) summary.AddLine(data.substr(start, end - start));
                skipping = false;
                start = end + 1;
            }
            kept = filled - start;
            if (got == 0) {
                if (kept > 0 && !skipping) summary.AddLine(data.substr(start));
                break;
            }
            if (kept > kMaxLineBytes) {
                if (!skipping) ++summary.Damaged;
                skipping = true;
                kept = 0;
            } else {
                std::memmove(buffer.data(), buffer.data() + start, kept);
            }
        }
    } catch (const IoError& error) {
        if (error.code() == kIoFileNotFound && summary.Runs == 0 && summary.Ignored() == 0)
            result.Missing = true;
        else
            result.Error = error;
        result.Summary = HistorySummary(today, layout);
    }
    return result;
}
