// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One running program per progress folder: a lock taken on a file of that folder. The
// system releases it when the program ends, however it ends, so a crash leaves no stale
// lock behind.
#pragma once

#include <string>

inline constexpr const char* kInstanceLockFileName = "clavelle.lock";

class InstanceLock {
public:
    enum class State { Held, HeldElsewhere, Unavailable };

    // Tries to take the lock of the folder (which must exist) without waiting.
    explicit InstanceLock(const std::string& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Held: this program holds it. HeldElsewhere: another running program does.
    // Unavailable: the lock file could not be opened (the folder is missing or not
    // writable); the program then cannot save either and says so at its first save.
    State state() const { return state_; }

private:
    int fd_ = -1;
    State state_ = State::Unavailable;
};

// The message of a second start (Windows-1252): the program is already open on this folder.
std::string AlreadyOpenMessage(const std::string& folder);
