// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Time stamps: milliseconds since local midnight, and the 8-character clock text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

constexpr int32_t kMillisecondsPerDay = 86400000;

struct TimeOfDay {
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;

    int32_t Stamp() const { return ((Hour * 60 + Minute) * 60 + Second) * 1000 + Millisecond; }
    int32_t SecondOfDay() const { return (Hour * 60 + Minute) * 60 + Second; }
};

// The local time of day. Tests replace the source to reach midnight or a backward jump
// without waiting; an empty function restores the system clock.
TimeOfDay CurrentTimeOfDay();
void SetClockSource(std::function<TimeOfDay()> source);

// Stamp of a time of day given in milliseconds since midnight, and back.
TimeOfDay TimeOfDayFromStamp(int32_t stamp);

// stamp := now.
void TimeStamp(int32_t& stamp);
// stamp (a moment) := milliseconds elapsed since it, across midnight.
void ElapsedSince(int32_t& stamp);
// Milliseconds from moment to now, leaving the moment as it is.
int32_t MillisecondsSince(int32_t moment);

// n in decimal, with a leading "0" when n is 9 or less.
std::string TwoDigits(int n);
// "hh:mm:ss".
std::string ClockText(int hour, int minute, int second);
std::string ClockText(const TimeOfDay& time);

// When a key was struck. Key events carry the window system's own time (milliseconds on a
// clock of its own, wrapping at 2^32), so that a stall of the window thread (a slow disk, a
// busy desktop) changes no interval; a key that comes without it (an input method's
// character, a test) is placed on the same clock from the steady clock, or stamped with the
// local time of day when no key event has been seen yet.
struct KeyTime {
    uint32_t Ms = 0;
    bool FromEvent = false;  // on the window system's clock, else the time of day
    bool Valid = false;
};
// Milliseconds from `earlier` to `later`, across midnight for times of day; -1 when the two
// cannot be compared (different clocks, unset, or `later` before `earlier`).
int64_t KeyInterval(const KeyTime& earlier, const KeyTime& later);

class EventClock {
public:
    // The time of a key event whose own time is `eventMs` (0 for none).
    KeyTime Place(uint64_t eventMs);

private:
    bool seenEvent_ = false;
    uint32_t lastEventMs_ = 0;
    int64_t lastSteadyMs_ = 0;
};
