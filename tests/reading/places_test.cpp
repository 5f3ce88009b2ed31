// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The place reached in each text ("textes.txt"): kept and found again, a moved or changed
// file told apart, a damaged file or one of another version read safely.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "common/io_error.h"
#include "reading/reading_places.h"
#include "reading/text_loader.h"
#include "reading_support.h"

namespace {

using reading_test::ScratchFolder;

ReadText BookAt(const std::string& path, int sentences = 200) {
    std::string book;
    for (int i = 0; i < sentences; ++i) book += "Une phrase du livre, la " + std::to_string(i) + "e. ";
    test_support::WriteBytes(path, book);
    return ReadTextFile(path, {});
}

int CountFiles(const std::string& folder) {
    return int(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

TEST(ReadingPlaces, KeptAndFoundAgain) {
    const ScratchFolder folder;
    const ReadText book = BookAt(folder / "livre\tà lire.txt");
    ReadingPlaces places(folder.Path());
    EXPECT_EQ(places.Load().State, PlacesLoad::Status::Missing);
    places.Record(book, 3, 40.0, "2026-03-01");
    places.Record(book, 4, 50.0, "2026-03-02");
    places.Save();

    ReadingPlaces again(folder.Path());
    EXPECT_EQ(again.Load().State, PlacesLoad::Status::Read);
    ASSERT_EQ(again.Recent().size(), 1u);
    const TextPlace& place = again.Recent()[0];
    EXPECT_EQ(place.Identity, book.Identity);
    EXPECT_EQ(place.Passage, 4);
    EXPECT_EQ(place.Position.Character, book.Passages[4].Source);
    EXPECT_DOUBLE_EQ(place.MeanWpm, 45.0);
    EXPECT_EQ(place.Summary(), "livre\tà lire — passage 5 sur " + std::to_string(book.PassageCount()) + " (" +
                                   std::to_string(400 / book.PassageCount()) +
                                   "\u00A0%) — 02/03/2026 — 45\u00A0mots/min");
    PlaceFound found = again.Find(book.Identity);
    EXPECT_EQ(found.Match, FileMatch::Same);
    EXPECT_EQ(found.Message(), "");
    EXPECT_EQ(CheckTextFile(place.Identity), TextFileStatus::Unchanged);

    // Moved: found again by its content, and its place follows it.
    EXPECT_EQ(again.AtPath(folder / "livre\tà lire.txt"), &place);
    std::filesystem::rename(folder / "livre\tà lire.txt", folder / "déplacé.txt");
    // The list of recent texts checks its files on a thread of its own.
    FileChecks checks({place.Identity});
    std::optional<std::vector<TextFileStatus>> statuses;
    while (!(statuses = checks.Take())) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(*statuses, std::vector{TextFileStatus::Missing});
    EXPECT_NE(place.StatusMessage(TextFileStatus::Missing).find("introuvable"), std::string::npos);
    const ReadText moved = ReadTextFile(folder / "déplacé.txt", {});
    found = again.Find(moved.Identity);
    EXPECT_EQ(found.Match, FileMatch::Moved);
    EXPECT_NE(found.Message().find("passage 5"), std::string::npos);
    again.Record(moved, 6, std::nullopt, "2026-03-03");
    EXPECT_EQ(again.Recent().size(), 1u);
    EXPECT_EQ(again.Recent()[0].Identity.Path, folder / "déplacé.txt");

    // Changed at the same path.
    const ReadText changed = BookAt(folder / "déplacé.txt", 150);
    EXPECT_EQ(CheckTextFile(again.Recent()[0].Identity), TextFileStatus::Changed);
    EXPECT_EQ(again.Find(changed.Identity).Match, FileMatch::Changed);
    EXPECT_NE(again.Find(changed.Identity).Message().find("a changé"), std::string::npos);
}

TEST(ReadingPlaces, DamagedOrOtherVersionFilesAreSetAside) {
    const ScratchFolder folder;
    const std::string path = folder / kPlacesFileName;
    test_support::WriteBytes(path + ".tmp-abcdef", "left by a crash");
    test_support::WriteBytes(path,
                             "version=1\n"
                             "chemin=/a.txt\ttaille=10\tpassage=2\tpassages=9\tdate=2026-01-02\tvitesse=31.5\n"
                             "chemin=/b.txt\tpassage=deux\ttitre=B\n"
                             "n'importe quoi\n"
                             "chemin=/c.txt\tpassage=1\n");
    ReadingPlaces places(folder.Path());
    const PlacesLoad load = places.Load();
    EXPECT_EQ(load.State, PlacesLoad::Status::SetAside);
    EXPECT_EQ(load.SkippedLines, 2);
    ASSERT_EQ(places.Recent().size(), 3u);
    EXPECT_EQ(places.Recent()[0].Passage, 2);
    EXPECT_DOUBLE_EQ(places.Recent()[0].MeanWpm, 31.5);
    EXPECT_EQ(places.Recent()[1].Title, "B");
    EXPECT_NE(load.Message().find("2 lignes illisibles"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp-abcdef"));
    EXPECT_TRUE(load.AsidePath.starts_with(path + ".endommagé-"));
    const std::string aside = test_support::ReadBytes(load.AsidePath);
    places.Save();
    EXPECT_EQ(test_support::ReadBytes(load.AsidePath), aside);
    EXPECT_EQ(ReadingPlaces(folder.Path()).Load().State, PlacesLoad::Status::Read);

    // Another version's file: read for what this one knows, kept aside for that version.
    test_support::WriteBytes(path, "version=2\nchemin=/d.txt\tpassage=5\tcouleur=bleu\n");
    const PlacesLoad other = places.Load();
    EXPECT_EQ(other.State, PlacesLoad::Status::SetAside);
    EXPECT_TRUE(other.OtherVersion);
    EXPECT_TRUE(other.AsidePath.starts_with(path + ".autre-version-"));
    ASSERT_EQ(places.Recent().size(), 1u);
    EXPECT_EQ(places.Recent()[0].Passage, 5);
    EXPECT_EQ(CountFiles(folder.Path()), 2);
}

TEST(ReadingPlaces, AnUnreadableFileIsNeverOverwritten) {
    const ScratchFolder folder;
    std::filesystem::create_directory(folder / kPlacesFileName);
    ReadingPlaces places(folder.Path());
    const PlacesLoad load = places.Load();
    EXPECT_EQ(load.State, PlacesLoad::Status::Unreadable);
    EXPECT_NE(load.Message().find("ne peut pas être lu"), std::string::npos);
    EXPECT_THROW(places.Save(), IoError);
    EXPECT_TRUE(std::filesystem::is_directory(folder / kPlacesFileName));
}

}  // namespace
