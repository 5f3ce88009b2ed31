// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

#include "common/io_error.h"

InstanceLock::InstanceLock(const std::string& folder) : path_(folder + "/" + kInstanceLockFileName) {
    // Without O_NONBLOCK a pipe at the name would wait for a writer.
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | kFlags, 0644);
    if (fd_ < 0) {
        error_ = errno;
        if (error_ == ELOOP || error_ == ENOENT || error_ == ENOTDIR) return;
        // Every program falls back the same way, so they all lock the same thing.
        fd_ = ::open(path_.c_str(), O_RDONLY | kFlags);
        // A file that could not be made stays reported by why it could not be made.
        if (fd_ < 0 && errno != ENOENT) error_ = errno;
        if (fd_ < 0) return;
        error_ = 0;
    }
    int result;
    do {
        result = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        state_ = State::Held;
        return;
    }
    error_ = errno;
    state_ = errno == EWOULDBLOCK ? State::HeldElsewhere : State::Unavailable;
    ::close(fd_);
    fd_ = -1;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

std::string AlreadyOpenMessage(const std::string& folder) {
    std::string message;
    message += "Le programme est déjà ouvert dans une autre fenêtre.\r\n";
    message += "Une seule fenêtre à la fois peut tenir à jour vos statistiques (";
    message += folder;
    message += ").\r\nRetrouvez la fenêtre déjà ouverte parmi vos fenêtres.";
    return message;
}

std::string LockUnavailableMessage(const std::string& lockPath, int err) {
    std::string message;
    message += "Le verrou qui empêche d'ouvrir le programme deux fois ne peut pas être pris sur le fichier « ";
    message += lockPath;
    message += " » : ";
    message += IoReasonText(err);
    message +=
        ".\r\nSi le programme est déjà ouvert dans une autre fenêtre, les deux fenêtres effaceront chacune les "
        "statistiques de l'autre.\r\nContinuer quand même ?";
    return message;
}
