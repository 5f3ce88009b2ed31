// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

// The user's home: $HOME when it is an absolute path, else the password database's entry.
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home == '/') return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && *entry->pw_dir == '/')
        return entry->pw_dir;
    return "/";
}

}  // namespace

std::string ProgramFolderPath() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const std::string base = xdg && *xdg == '/' ? std::string(xdg) : HomeFolder() + "/.local/share";
    return base + "/Clavelle";
}

int CreateFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = slash == std::string::npos ? path : path.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return errno;
        if (slash == std::string::npos) break;
    }
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

std::string CurrentDirectory() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}
