// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Time stamps, the clock text and the backward-clock guard, on a replaceable clock.
#include <gtest/gtest.h>

#include "exercise/timestamp.h"
#include "exercise/typing.h"

#include "support/test_support.h"

using test_support::FakeClock;

TEST(TimeStamps, ElapsedTimeCrossesMidnight) {
    FakeClock clock(TimeOfDay{23, 59, 50, 0});
    int32_t moment = 0;
    TimeStamp(moment);
    EXPECT_EQ(moment, 86390000);
    clock.Set({0, 0, 10, 0});
    int32_t elapsed = moment;
    ElapsedSince(elapsed);
    EXPECT_EQ(elapsed, 20000);
    EXPECT_EQ(MillisecondsSince(moment), 20000);
    EXPECT_EQ(moment, 86390000) << "the moment itself is kept";
    clock.Set({23, 59, 50, 0});
    EXPECT_EQ(MillisecondsSince(moment), 0) << "a whole day reads as nothing";
}

TEST(TimeStamps, ClockTextHasEightCharacters) {
    EXPECT_EQ(TwoDigits(0), "00");
    EXPECT_EQ(TwoDigits(9), "09");
    EXPECT_EQ(TwoDigits(10), "10");
    EXPECT_EQ(ClockText(0, 0, 7), "00:00:07");
    EXPECT_EQ(ClockText(9, 5, 0), "09:05:00");
    EXPECT_EQ(ClockText(TimeOfDayFromStamp(86399999)), "23:59:59");
}

TEST(ClockGuard, OnlyTheStepPastMidnightFromTheLastSecondIsAccepted) {
    ClockGuard guard;
    EXPECT_FALSE(guard.RanBackwards({10, 0, 0, 0}));
    EXPECT_FALSE(guard.RanBackwards({10, 0, 0, 500}));
    EXPECT_TRUE(guard.RanBackwards({9, 59, 59, 0}));

    ClockGuard midnight;
    EXPECT_FALSE(midnight.RanBackwards({23, 59, 59, 990}));
    EXPECT_FALSE(midnight.RanBackwards({0, 0, 0, 0}));

    ClockGuard busy;  // no tick saw 23:59:59
    EXPECT_FALSE(busy.RanBackwards({23, 59, 58, 0}));
    EXPECT_TRUE(busy.RanBackwards({0, 0, 1, 0}));
}
