// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/timestamp.h"

#include <sys/time.h>
#include <chrono>
#include <ctime>

namespace {
std::function<TimeOfDay()>& ClockSource() {
    static std::function<TimeOfDay()> source;
    return source;
}
}  // namespace

TimeOfDay CurrentTimeOfDay() {
    if (ClockSource()) return ClockSource()();
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    time_t seconds = now.tv_sec;
    localtime_r(&seconds, &local);
    // A leap second reads as the last second of its minute.
    return {local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec, int(now.tv_usec / 1000)};
}

void SetClockSource(std::function<TimeOfDay()> source) { ClockSource() = std::move(source); }

TimeOfDay TimeOfDayFromStamp(int32_t stamp) {
    TimeOfDay t;
    t.Millisecond = stamp % 1000;
    stamp /= 1000;
    t.Second = stamp % 60;
    stamp /= 60;
    t.Minute = stamp % 60;
    t.Hour = stamp / 60;
    return t;
}

void TimeStamp(int32_t& stamp) { stamp = CurrentTimeOfDay().Stamp(); }

void ElapsedSince(int32_t& stamp) {
    int32_t now = CurrentTimeOfDay().Stamp();
    stamp = now < stamp ? now + kMillisecondsPerDay - stamp : now - stamp;
}

int32_t MillisecondsSince(int32_t moment) {
    ElapsedSince(moment);
    return moment;
}

std::string TwoDigits(int n) { return n <= 9 ? "0" + std::to_string(n) : std::to_string(n); }

std::string ClockText(int hour, int minute, int second) {
    return TwoDigits(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second);
}

std::string ClockText(const TimeOfDay& time) { return ClockText(time.Hour, time.Minute, time.Second); }

int64_t KeyInterval(const KeyTime& earlier, const KeyTime& later) {
    if (!earlier.Valid || !later.Valid || earlier.FromEvent != later.FromEvent) return -1;
    if (later.FromEvent) {
        const uint32_t difference = later.Ms - earlier.Ms;  // wraps with the clock
        return difference > 0x80000000u ? -1 : int64_t(difference);
    }
    const int64_t a = earlier.Ms, b = later.Ms;
    return b >= a ? b - a : b + kMillisecondsPerDay - a;
}

KeyTime EventClock::Place(uint64_t eventMs) {
    const int64_t steady =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    if (eventMs != 0) {
        seenEvent_ = true;
        lastEventMs_ = static_cast<uint32_t>(eventMs);
        lastSteadyMs_ = steady;
        return {lastEventMs_, true, true};
    }
    // Within a minute of a timed event, the steady clock continues the event clock.
    if (seenEvent_ && steady - lastSteadyMs_ < 60000)
        return {lastEventMs_ + static_cast<uint32_t>(steady - lastSteadyMs_), true, true};
    return {static_cast<uint32_t>(CurrentTimeOfDay().Stamp()), false, true};
}
