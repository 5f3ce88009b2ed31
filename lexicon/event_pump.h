// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping the window responsive while the lexicon loads. Pumping the window's events on
// every dictionary line would cost more than the line itself, so the clock is looked at
// every few hundred lines (or between two blocks of a file read) and the events are
// handled once a frame's worth of time has gone by.
#pragma once

#include <chrono>
#include <functional>

namespace lexicon_detail {

constexpr auto kEventInterval = std::chrono::milliseconds(16);
constexpr int kLinesBetweenClockChecks = 256;

class EventPump {
public:
    explicit EventPump(const std::function<void()>& processEvents)
        : processEvents_(processEvents), last_(Clock::now()) {}

    void Poll() {
        if (!processEvents_) return;
        if (Clock::now() - last_ < kEventInterval) return;
        processEvents_();
        last_ = Clock::now();
    }

private:
    using Clock = std::chrono::steady_clock;
    const std::function<void()>& processEvents_;
    Clock::time_point last_;
};

}  // namespace lexicon_detail
