// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Work done for the window on a thread of its own, which the window never waits for long:
// when the work is left before its end, it is asked to stop and waited for at most 20 ms;
// work held up by a slow disk is then left to end on its own. The work therefore keeps
// what it uses (a shared_ptr of its own), never the object that started it.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class Background {
public:
    // Starts the work; `stop` turns true when it is asked to stop.
    explicit Background(std::function<void(const std::atomic<bool>& stop)> work);
    ~Background();
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    void Stop();
    // True once the work has returned.
    bool Finished() const;

private:
    struct State;
    std::shared_ptr<State> state_;
    std::thread thread_;
};
