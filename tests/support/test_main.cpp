// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry: makes one temporary folder for the whole test program and points HOME,
// XDG_DATA_HOME and TMPDIR into it, so that no test ever touches the user's real files
// and every folder a test makes (test_support::MakeTempFolder, the toolkit's) lands there.
// The folder is removed when the program ends, whether its tests passed or failed; the
// folder of a program killed before its end (a timeout) goes at the next start.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
constexpr std::string_view kPrefix = "clavelle-test-";

void RemoveTree(const fs::path& path) {
    std::error_code ignored;
    // Tests take permissions away; give them back so that everything can go.
    for (auto it = fs::recursive_directory_iterator(path, fs::directory_options::skip_permission_denied, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) ::chmod(it->path().c_str(), 0700);
    ::chmod(path.c_str(), 0700);
    fs::remove_all(path, ignored);
}

// The folders "clavelle-test-<pid>-XXXXXX" whose program has ended without removing them.
void RemoveFoldersOfEndedPrograms(const fs::path& parent) {
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator(parent, ignored)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kPrefix)) continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + kPrefix.size(), &end, 10);
        const bool ours = end && *end == '-' && std::strlen(end) == 7;  // "-XXXXXX" of mkdtemp
        if (ours && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH) RemoveTree(entry.path());
    }
}

// Removes the folder at the end of the program that made it (a forked child leaves it).
struct TemporaryRoot {
    std::string path;
    pid_t owner = ::getpid();
    ~TemporaryRoot() {
        if (!path.empty() && ::getpid() == owner) RemoveTree(path);
    }
};

}  // namespace

int main(int argc, char** argv) {
    static TemporaryRoot root;
    RemoveFoldersOfEndedPrograms(test_support::TemporaryFolder());
    root.path = test_support::MakeTempFolder((std::string(kPrefix) + std::to_string(::getpid())).c_str());
    if (!root.path.empty()) {
        setenv("TMPDIR", root.path.c_str(), 1);
        setenv("HOME", root.path.c_str(), 1);
        setenv("XDG_DATA_HOME", (root.path + "/share").c_str(), 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
