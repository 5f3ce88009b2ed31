// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry: points HOME and XDG_DATA_HOME at a fresh temporary folder so that no
// test ever touches the user's real files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    char pattern[] = "/tmp/clavelle-test-XXXXXX";
    if (const char* dir = mkdtemp(pattern)) {
        setenv("HOME", dir, 1);
        setenv("XDG_DATA_HOME", (std::string(dir) + "/share").c_str(), 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
