// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Files and folders: messages that name the file, files that are not regular, the
// program's folder and its one-program lock.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>

#include "common/file_io.h"
#include "common/folders.h"
#include "common/instance_lock.h"
#include "common/io_error.h"
#include "support/test_support.h"

namespace {
std::string TempFolder() { return test_support::MakeTempFolder("clavelle-files"); }
}  // namespace

TEST(Files, MessagesNameTheFileAndOnlyRegularFilesAreOpened) {
    EXPECT_EQ(IoErrorMessage(IoError(2, "/chemin/prénomsf.txt")), "Fichier introuvable : /chemin/prénomsf.txt");
    EXPECT_EQ(IoErrorMessage(IoError(101)), "Disque plein");
    const std::string folder = TempFolder();
    const std::string pipe = folder + "/dictionnaire.txt";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    for (const std::string& path : {pipe, folder}) {
        try {
            ::close(OpenRegularFile(path, O_RDONLY));  // a pipe without writer: no wait
            ADD_FAILURE() << path << " was opened";
        } catch (const IoError& error) {
            EXPECT_EQ(error.code(), kIoNotRegularFile);
            EXPECT_EQ(error.path(), path);
        }
    }
}

TEST(Files, WithoutHomeNorXdgDataHomeTheFolderIsInTheUsersHome) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const std::string xdg = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    ::unsetenv("HOME");
    ::unsetenv("XDG_DATA_HOME");
    const std::string path = ProgramFolderPath();
    if (!home.empty()) ::setenv("HOME", home.c_str(), 1);
    if (!xdg.empty()) ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(path, std::string(entry->pw_dir) + "/.local/share/Clavelle");
}

TEST(InstanceLockTest, OneHolderAtATimeAndAnEndedProgramReleasesIt) {
    const std::string folder = TempFolder();
    {
        InstanceLock first(folder);
        EXPECT_EQ(first.state(), InstanceLock::State::Held);
        InstanceLock second(folder);
        EXPECT_EQ(second.state(), InstanceLock::State::HeldElsewhere);
    }
    // A program killed while holding the lock leaves it free.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock held(folder);
        const char state = held.state() == InstanceLock::State::Held ? 'h' : 'x';
        if (::write(ready[1], &state, 1) != 1) _exit(1);
        ::pause();
        _exit(0);
    }
    char state = 0;
    ASSERT_EQ(::read(ready[0], &state, 1), 1);
    EXPECT_EQ(state, 'h');
    EXPECT_EQ(InstanceLock(folder).state(), InstanceLock::State::HeldElsewhere);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(InstanceLock(folder).state(), InstanceLock::State::Held);
    EXPECT_EQ(InstanceLock(folder + "/missing").state(), InstanceLock::State::Unavailable);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(InstanceLockTest, ALockFileThatCannotBeWrittenStillLocksAndALinkIsNeverFollowed) {
    // A folder at the lock's name cannot be opened for writing, even by root: opened
    // read-only, it locks as well.
    const std::string folder = TempFolder();
    ASSERT_EQ(::mkdir((folder + "/" + kInstanceLockFileName).c_str(), 0755), 0);
    {
        InstanceLock first(folder);
        EXPECT_EQ(first.state(), InstanceLock::State::Held);
        EXPECT_EQ(InstanceLock(folder).state(), InstanceLock::State::HeldElsewhere);
    }
    if (::geteuid() != 0) {  // permissions do not stop root
        const std::string readOnly = TempFolder();
        const std::string path = readOnly + "/" + kInstanceLockFileName;
        ::close(::open(path.c_str(), O_CREAT | O_WRONLY, 0444));
        InstanceLock first(readOnly);
        EXPECT_EQ(first.state(), InstanceLock::State::Held);
        EXPECT_EQ(InstanceLock(readOnly).state(), InstanceLock::State::HeldElsewhere);
    }
    // A link could lead anywhere: no lock, and the reason named.
    const std::string linked = TempFolder();
    const std::string target = linked + "/elsewhere";
    ASSERT_EQ(::symlink(target.c_str(), (linked + "/" + kInstanceLockFileName).c_str()), 0);
    const InstanceLock lock(linked);
    EXPECT_EQ(lock.state(), InstanceLock::State::Unavailable);
    EXPECT_EQ(::access(target.c_str(), F_OK), -1) << "nothing made at the link's end";
    EXPECT_EQ(
        LockUnavailableMessage(lock.Path(), lock.Error())
            .rfind("Le verrou qui empêche d'ouvrir le programme deux fois ne peut pas être pris sur le fichier « " +
                       linked + "/clavelle.lock » : c'est un lien symbolique.",
                   0),
        0u);
}
