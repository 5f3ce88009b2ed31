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

    // Tries to take the lock of the folder (which must exist) without waiting. The lock
    // file is opened read-write, created if need be; when that is refused (a file owned by
    // another user or read-only, a folder at its name) it is opened read-only, which locks
    // as well. A symbolic link at its name is never followed: it could lead anywhere.
    explicit InstanceLock(const std::string& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Held: this program holds it. HeldElsewhere: another running program does.
    // Unavailable: no lock could be taken; Error() says why.
    State state() const { return state_; }
    // The errno of the failure when Unavailable.
    int Error() const { return error_; }
    // The lock file.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
    int error_ = 0;
    State state_ = State::Unavailable;
};

// The message of a second start (UTF-8): the program is already open on this folder.
std::string AlreadyOpenMessage(const std::string& folder);

// The question asked when no lock can be taken (UTF-8): the file, why, and the risk.
std::string LockUnavailableMessage(const std::string& lockPath, int err);
