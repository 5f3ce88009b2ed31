// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file: what it reads, and what it refuses to overwrite.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "common/io_error.h"
#include "common/settings.h"
#include "support/test_support.h"

namespace {

using test_support::ReadBytes;
using test_support::WriteBytes;

// Save throws, naming the file, with this reason in its message.
void ExpectSaveRefused(const Settings& settings, const std::string& reason) {
    try {
        settings.Save();
        ADD_FAILURE() << "saved over " << settings.Path();
    } catch (const IoError& error) {
        EXPECT_EQ(error.path(), settings.Path());
        EXPECT_NE(IoErrorMessage(error).find(reason), std::string::npos) << IoErrorMessage(error);
    }
}

TEST(SettingsTest, ReadsAByteOrderMarkAndCrLfAndCleansLeftTemporaries) {
    const std::string folder = test_support::MakeTempFolder("clavelle-settings");
    const std::string path = folder + "/" + kSettingsFileName;
    WriteBytes(path, "\xEF\xBB\xBF# Réglages\r\ndisposition=fr(bepo)\r\n");
    WriteBytes(path + ".tmp-a1B2c3", "cut short");
    Settings settings(path);
    settings.Load();
    EXPECT_EQ(settings.Get("disposition").value_or(""), "fr(bepo)");
    EXPECT_EQ(settings.LoadMessage(), "");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp-a1B2c3"));
    settings.Set("disposition", "ca");
    settings.Save();
    EXPECT_EQ(ReadBytes(path), "# Réglages de Clavelle\ndisposition=ca\n");
}

TEST(SettingsTest, AFileThatCannotBeReadIsSaidAndNeverOverwrittenNorWrittenThrough) {
    const std::string folder = test_support::MakeTempFolder("clavelle-settings");
    const std::string path = folder + "/" + kSettingsFileName;
    const std::string big = "disposition=fr(bepo)\n" + std::string(65 * 1024, '#');
    const std::string elsewhere = folder + "/ailleurs.txt";
    struct Case {
        std::function<void()> Make;
        const char* Said;     // in the load message
        const char* Refused;  // in the save's error
    };
    const Case cases[] = {
        {[&] { WriteBytes(path, big); }, "(il dépasse 64 Ko)", "trop grand"},
        {[&] { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); }, "(ce n'est pas un fichier ordinaire)",
         "pas un fichier ordinaire"},
        {[&] {
             WriteBytes(elsewhere, "disposition=be\n");
             ASSERT_EQ(::symlink("ailleurs.txt", path.c_str()), 0);
         },
         "(c'est un lien symbolique)", "lien symbolique"},
        {[&] {
             WriteBytes(path, "disposition=be\n");
             ::chmod(path.c_str(), 0);
         },
         "(l'accès est refusé)", "accès est refusé"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(path);
        c.Make();
        if (&c == &cases[3] && ::geteuid() == 0) continue;  // permissions do not stop root
        namespace fs = std::filesystem;
        auto state = [&] {
            const fs::file_type type = fs::symlink_status(path).type();
            return std::pair(type, type == fs::file_type::regular ? ReadBytes(path) : std::string());
        };
        const auto before = state();
        Settings settings(path);
        settings.Load();
        EXPECT_FALSE(settings.Get("disposition")) << c.Said;
        EXPECT_EQ(settings.LoadMessage().rfind(
                      "Les réglages «\u00A0" + path + "\u00A0» ne peuvent pas être lus " + c.Said, 0),
                  0u)
            << settings.LoadMessage();
        settings.Set("disposition", "ca");
        ExpectSaveRefused(settings, c.Refused);
        EXPECT_EQ(state(), before) << c.Said;
    }
    EXPECT_EQ(ReadBytes(elsewhere), "disposition=be\n");
    // A link put in the file's place after it was read is not written through either.
    std::filesystem::remove(path);
    Settings settings(path);
    settings.Load();
    EXPECT_EQ(settings.LoadMessage(), "");
    ASSERT_EQ(::symlink("ailleurs.txt", path.c_str()), 0);
    ExpectSaveRefused(settings, "lien symbolique");
    EXPECT_EQ(ReadBytes(elsewhere), "disposition=be\n");
    EXPECT_TRUE(std::filesystem::is_symlink(path));
}

}  // namespace
