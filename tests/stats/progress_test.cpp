// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The progress record: layout, the sliding window of samples, and its file.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "common/io_error.h"
#include "stats/progress.h"
#include "support/test_support.h"

namespace {

using test_support::NewRecord;
using test_support::RecordPtr;

std::string TempFolder() { return test_support::MakeTempFolder("clavelle-progress"); }

std::vector<char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::size_t OffsetOf(const ProgressRecord& record, const void* field) {
    return std::size_t(static_cast<const char*>(field) - reinterpret_cast<const char*>(&record));
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

int CodeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const IoError& error) {
        return error.code();
    }
    return 0;
}

}  // namespace

TEST(ProgressRecordLayout, CellsSitAtTheirFileOffsets) {
    auto record = NewRecord();
    EXPECT_EQ(OffsetOf(*record, &record->Cell(1, 1)), 0u);
    EXPECT_EQ(OffsetOf(*record, &record->Cell(1, 2)), 258u);
    EXPECT_EQ(OffsetOf(*record, &record->Cell(1, 2).Count), 514u);
    EXPECT_EQ(OffsetOf(*record, &record->Cell(51, 51)), 670800u);
    EXPECT_EQ(OffsetOf(*record, &record->Cell(51, 51).Count), 671056u);
    EXPECT_EQ(OffsetOf(*record, &record->Cell(51, 51).Pad), 671057u);
    // Reserved zero-filled.
    for (auto& row : record->Cells)
        for (auto& cell : row) ASSERT_EQ(cell.Count, 0);
}

TEST(RecordKeyInterval, KeepsTheLatest128SamplesPerOrderedPair) {
    auto record = NewRecord();
    for (int i = 1; i <= 129; ++i) RecordKeyInterval(*record, 1, 2, i);
    const KeyPairStats& cell = record->Cell(1, 2);
    EXPECT_EQ(cell.Count, 128);
    EXPECT_EQ(cell.Times[0], 2);      // the first interval is gone
    EXPECT_EQ(cell.Times[127], 129);  // the newest is last
    EXPECT_EQ(record->Cell(2, 1).Count, 0);

    RecordKeyInterval(*record, 2, 1, 70000);  // beyond 16 bits: kept as the maximum
    RecordKeyInterval(*record, 2, 1, 65536);
    EXPECT_EQ(record->Cell(2, 1).Count, 2);
    EXPECT_EQ(record->Cell(2, 1).Times[0], 65535);
    EXPECT_EQ(record->Cell(2, 1).Times[1], 65535);
}

TEST(RecordKeyInterval, UntrackedKeysWriteNothing) {
    auto record = NewRecord();
    RecordKeyInterval(*record, 0, 5, 100);
    RecordKeyInterval(*record, 5, 0, 100);
    RecordKeyInterval(*record, 52, 5, 100);
    RecordKeyInterval(*record, -1, 5, 100);
    auto empty = NewRecord();
    EXPECT_EQ(std::memcmp(record.get(), empty.get(), sizeof(ProgressRecord)), 0);
}

TEST(MeanInterval, IsTheTruncatedIntegerMean) {
    auto record = NewRecord();
    for (int v : {100, 200, 401}) RecordKeyInterval(*record, 3, 4, v);
    EXPECT_EQ(MeanInterval(record->Cell(3, 4)), 233);
    MeanTable table;
    ComputeMeans(*record, table);
    EXPECT_EQ(table.Means[3][4], 233);
    EXPECT_EQ(table.Means[4][3], kNoMean);
    EXPECT_EQ(table.Means[0][4], kNoMean);
}

TEST(ProgressFile, SaveThenLoadRestoresEveryByte) {
    std::string folder = TempFolder();
    auto record = NewRecord();
    auto* bytes = reinterpret_cast<unsigned char*>(record.get());
    for (std::size_t i = 0; i < sizeof(ProgressRecord); ++i) bytes[i] = static_cast<unsigned char>(i * 31 + 7);
    for (auto& row : record->Cells)
        for (auto& cell : row) cell.Count = static_cast<uint8_t>(cell.Count % 129);  // keep counts valid
    SaveProgressFile(*record, folder + "/p.dat");
    EXPECT_EQ(ReadFile(folder + "/p.dat").size(), 671058u);
    auto loaded = NewRecord();
    LoadProgressFile(*loaded, folder + "/p.dat");
    EXPECT_EQ(std::memcmp(record.get(), loaded.get(), sizeof(ProgressRecord)), 0);
}

TEST(ProgressFile, ShortLongAndOutOfRangeFiles) {
    std::string folder = TempFolder();
    auto record = NewRecord();
    RecordKeyInterval(*record, 7, 7, 123);

    WriteFile(folder + "/short.dat", std::vector<char>(671057, 0));
    EXPECT_EQ(CodeOf([&] { LoadProgressFile(*record, folder + "/short.dat"); }), 100);
    EXPECT_EQ(record->Cell(7, 7).Count, 1);  // a failed load leaves the record alone

    std::vector<char> longer(671058 + 1000, 0);
    longer[256] = char(200);  // Count of cell (1,1) beyond 128
    longer[514] = 3;
    WriteFile(folder + "/long.dat", longer);
    LoadProgressFile(*record, folder + "/long.dat");
    EXPECT_EQ(record->Cell(1, 1).Count, 128);
    EXPECT_EQ(record->Cell(1, 2).Count, 3);
    SaveProgressFile(*record, folder + "/long.dat");
    EXPECT_EQ(ReadFile(folder + "/long.dat").size(), 671058u);

    EXPECT_EQ(CodeOf([&] { LoadProgressFile(*record, folder + "/missing.dat"); }), 2);
}

TEST(ProgressFile, AFailedSaveLeavesThePreviousFileIntact) {
    std::string folder = TempFolder();
    std::string path = folder + "/progression1_9.dat";
    auto record = NewRecord();
    RecordKeyInterval(*record, 1, 1, 42);
    SaveProgressFile(*record, path);
    const std::vector<char> before = ReadFile(path);

    // A file-size limit makes the write fail midway, as a full disk would.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100000, 100000};
        setrlimit(RLIMIT_FSIZE, &limit);
        RecordKeyInterval(*record, 1, 1, 43);
        int code = CodeOf([&] { SaveProgressFile(*record, path); });
        _exit(code == 101 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed save is reported as a full disk";
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"progression1_9.dat"}) << "no temporary file is left behind";

    // A folder that cannot be written: reported, the old file kept.
    if (geteuid() != 0) {
        chmod(folder.c_str(), 0500);
        EXPECT_NE(CodeOf([&] { SaveProgressFile(*record, path); }), 0);
        chmod(folder.c_str(), 0700);
        EXPECT_EQ(ReadFile(path), before);
    }
}

TEST(ProgressKeeper, SavesOnlyOnceTheRecordWasLoadedOrCreated) {
    std::string folder = TempFolder();
    std::string path = folder + "/progression1_9.dat";
    auto record = NewRecord();
    ProgressKeeper keeper(*record, path);

    keeper.SaveProgress();  // before the first paint
    EXPECT_FALSE(std::ifstream(path).good());
    keeper.StartupPending = false;
    keeper.SaveProgress();  // first paint began but the record was never read
    EXPECT_FALSE(std::ifstream(path).good());

    RecordKeyInterval(*record, 2, 2, 50);  // stale sample: preparing empties the counts
    keeper.PrepareProgress();
    std::vector<char> created = ReadFile(path);
    ASSERT_EQ(created.size(), 671058u);
    for (std::size_t cell = 0; cell < 51 * 51; ++cell) ASSERT_EQ(created[cell * 258 + 256], 0) << cell;

    RecordKeyInterval(*record, 2, 2, 60);
    keeper.SaveProgress();
    auto other = NewRecord();
    ProgressKeeper reader(*other, path);
    reader.StartupPending = false;
    WriteFile(path + ".tmp-a1B2c3", {'x'});  // left by a save that a crash cut short
    reader.PrepareProgress();                // the file exists: loaded
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"progression1_9.dat"});
    EXPECT_EQ(other->Cell(2, 2).Count, 1);
    EXPECT_EQ(other->Cell(2, 2).Times[0], 60);
}

TEST(ProgressKeeper, ADamagedFileIsSetAsideToldOnceAndAFreshRecordSaved) {
    std::string folder = TempFolder();
    std::string path = folder + "/progression1_9.dat";
    auto record = NewRecord();
    for (std::size_t size : {0, 1, 1000, 671057}) {
        SCOPED_TRACE(size);
        WriteFile(path, std::vector<char>(size, 'x'));
        ProgressKeeper keeper(*record, path);
        keeper.StartupPending = false;
        std::vector<std::string> told;
        keeper.PrepareProgress([&](const std::string& text) { told.push_back(text); });
        ASSERT_EQ(told.size(), 1u);
        EXPECT_NE(told[0].find("Lecture au-delà de la fin de fichier : " + path), std::string::npos) << told[0];
        const std::vector<std::string> names = FilesIn(folder);
        ASSERT_EQ(names.size(), 2u);
        const std::string aside = names[1];
        EXPECT_EQ(aside.rfind("progression1_9.dat.endommag\xC3\xA9-", 0), 0u) << aside;  // UTF-8 name
        EXPECT_EQ(aside.size(), std::string("progression1_9.dat.endommag\xC3\xA9-AAAAMMJJ-HHMMSS").size());
        EXPECT_NE(told[0].find(folder + "/progression1_9.dat.endommagé-"), std::string::npos) << "where it is";
        EXPECT_EQ(ReadFile(folder + "/" + aside), std::vector<char>(size, 'x')) << "kept whole";
        EXPECT_EQ(ReadFile(path).size(), 671058u) << "a fresh record is saved";
        RecordKeyInterval(*record, 1, 2, 80);
        keeper.SaveProgress();
        EXPECT_EQ(ReadFile(path)[514], 1) << "and saving goes on";
        std::filesystem::remove(folder + "/" + aside);
    }
    // A folder or a pipe at its name: set aside likewise, without waiting on the pipe.
    for (bool pipe : {false, true}) {
        std::filesystem::remove(path);
        ASSERT_EQ(pipe ? mkfifo(path.c_str(), 0644) : mkdir(path.c_str(), 0755), 0);
        ProgressKeeper keeper(*record, path);
        keeper.StartupPending = false;
        int told = 0;
        keeper.PrepareProgress([&](const std::string&) { ++told; });
        EXPECT_EQ(told, 1);
        EXPECT_EQ(FilesIn(folder).size(), pipe ? 3u : 2u);
        EXPECT_TRUE(std::filesystem::is_regular_file(path));
    }
}

TEST(ProgressKeeper, AFileThatCannotBeSetAsideIsNeverOverwrittenAndEverySaveSaysSo) {
    // The file's name leaves no room for the set-aside name (ENAMETOOLONG).
    std::string folder = TempFolder();
    const std::string target = folder + "/" + std::string(240, 'p');
    WriteFile(target, std::vector<char>(1000, 'x'));
    const std::string path = folder + "/progression1_9.dat";
    ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
    auto record = NewRecord();
    ProgressKeeper keeper(*record, path);
    keeper.StartupPending = false;
    EXPECT_EQ(CodeOf([&] { keeper.PrepareProgress(); }), 100);
    for (int save = 0; save < 2; ++save) {
        try {
            keeper.SaveProgress();
            ADD_FAILURE() << "the save must say why it cannot be done";
        } catch (const IoError& error) {
            EXPECT_EQ(IoErrorMessage(error), "Lecture au-delà de la fin de fichier : " + path);
        }
    }
    EXPECT_EQ(ReadFile(target), std::vector<char>(1000, 'x'));
}

TEST(ProgressFile, SavesGoThroughALinkKeepTheModeAndNeverShareATemporaryFile) {
    std::string folder = TempFolder();
    std::filesystem::create_directory(folder + "/elsewhere");
    const std::string target = folder + "/elsewhere/record.dat";
    const std::string path = folder + "/progression1_9.dat";
    auto record = NewRecord();
    SaveProgressFile(*record, target);
    ASSERT_EQ(chmod(target.c_str(), 0444), 0);
    ASSERT_EQ(symlink("elsewhere/record.dat", path.c_str()), 0);
    RecordKeyInterval(*record, 1, 2, 70);
    SaveProgressFile(*record, path);
    EXPECT_TRUE(std::filesystem::is_symlink(path)) << "the link stays";
    EXPECT_EQ(ReadFile(target)[514], 1) << "its target has the new record";
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);

    // Two programs saving at once each write a temporary file of their own: the file is
    // always one whole record, and nothing is left behind.
    const std::string shared = folder + "/shared.dat";
    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int failures = 0;
            for (int i = 0; i < 40; ++i) failures += CodeOf([&] { SaveProgressFile(*record, shared); }) != 0;
            _exit(failures);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(ReadFile(shared).size(), 671058u);
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"elsewhere", "progression1_9.dat", "shared.dat"}));
}
