// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/background.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

struct Background::State {
    std::atomic<bool> Stop{false};
    std::atomic<bool> Finished{false};
    std::mutex Mutex;
    std::condition_variable Done;
};

Background::Background(std::function<void(const std::atomic<bool>& stop)> work) : state_(std::make_shared<State>()) {
    thread_ = std::thread([state = state_, work = std::move(work)] {
        work(state->Stop);
        const std::lock_guard lock(state->Mutex);
        state->Finished.store(true, std::memory_order_release);
        state->Done.notify_all();
    });
}

Background::~Background() {
    Stop();
    std::unique_lock lock(state_->Mutex);
    const bool ended = state_->Done.wait_for(lock, std::chrono::milliseconds(20), [&] { return Finished(); });
    lock.unlock();
    if (ended) {
        thread_.join();
    } else {
        thread_.detach();
    }
}

void Background::Stop() { state_->Stop.store(true); }

bool Background::Finished() const { return state_->Finished.load(std::memory_order_acquire); }
