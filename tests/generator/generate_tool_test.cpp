// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The clavelle-generate tool: one sentence a line, in UTF-8, the same text as the driver
// gives for the seed; clear failures.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "generator/driver.h"
#include "generator/fixture_lexicon.h"
#include "generator/random.h"
#include "keyboard/keyboard.h"
#include "lexicon/loader.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
};

ToolRun RunTool(const std::string& arguments) {
    const char* binary = std::getenv("CLAVELLE_BINARY_DIR");
    ToolRun run;
    const std::string tool = std::string(binary ? binary : "") + "/tools/clavelle-generate";
    FILE* pipe = popen((tool + " " + arguments + " 2>/dev/null").c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class GenerateToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* binary = std::getenv("CLAVELLE_BINARY_DIR");
        const char* data = std::getenv("CLAVELLE_DATA_DIR");
        if (!binary || !std::filesystem::exists(std::string(binary) + "/tools/clavelle-generate"))
            GTEST_SKIP() << "clavelle-generate not built";
        if (!data) GTEST_SKIP() << "CLAVELLE_DATA_DIR not set";
        ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(data) / kDictionaryFile))
            << "no lexicon in CLAVELLE_DATA_DIR";
        dataDir = data;
    }
    std::string dataDir;
};

TEST_F(GenerateToolTest, OneSentenceALineAsTheDriverMakesThem) {
    const ToolRun run = RunTool("--data '" + dataDir + "' --sentences 40 --seed 3 --easy");
    ASSERT_EQ(run.status, 0);
    ASSERT_TRUE(FitsCp1252(run.out));
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = run.out.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(Utf8ToCp1252(run.out.substr(start, end - start)));
    ASSERT_EQ(lines.size(), 40u);

    auto lexicon = std::make_unique<Lexicon>();
    LoadLexicon(dataDir, *lexicon, LoadCallbacks{});
    fixture::RecordHolder record;
    SeedRandom(3);
    const std::string text = GenerateSentences(*lexicon, *record, 40, false, nullptr);
    std::string joined;
    for (const auto& line : lines) joined += (joined.empty() ? "" : " ") + line;
    EXPECT_EQ(joined, text);
}

TEST_F(GenerateToolTest, FailuresExitNonZero) {
    EXPECT_NE(RunTool("--data /nonexistent-clavelle --sentences 2").status, 0);
    EXPECT_NE(RunTool("--data '" + dataDir + "' --sentences 1000").status, 0);
    EXPECT_NE(RunTool("--data '" + dataDir + "'").status, 0);
    EXPECT_NE(RunTool("--sentences 2").status, 0);
    EXPECT_NE(RunTool("--data '" + dataDir + "' --sentences 2 --record /nonexistent-clavelle.dat").status, 0);
    EXPECT_EQ(RunTool("--data '" + dataDir + "' --sentences 2 --hard").status, 0);
}

}  // namespace
