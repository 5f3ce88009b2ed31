// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

#include "common/cp1252.h"

InstanceLock::InstanceLock(const std::string& folder) {
    fd_ = ::open((folder + "/" + kInstanceLockFileName).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    int result;
    do {
        result = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        state_ = State::Held;
        return;
    }
    state_ = errno == EWOULDBLOCK ? State::HeldElsewhere : State::Unavailable;
    ::close(fd_);
    fd_ = -1;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

std::string AlreadyOpenMessage(const std::string& folder) {
    std::string message;
    message += "Le programme est déjà ouvert dans une autre fenêtre.\r\n"_cp;
    message += "Une seule fenêtre à la fois peut tenir à jour vos statistiques ("_cp;
    message += Utf8ToCp1252(folder);
    message += ").\r\nRetrouvez la fenêtre déjà ouverte parmi vos fenêtres."_cp;
    return message;
}
