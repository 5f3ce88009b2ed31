// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Times the typing course's texts on the real lexicon with the first 16 letters of a
// French course unlocked: loading the frequency ranking, ranking the lexicon's words
// (once per lexicon), building the index of typable words (once per set of unlocked keys), and making one lesson
// (median and worst of 1,000, the focus going round the unlocked keys, ten slow pairs). The index and the worst text
// are also given in processor time, which a busy machine does not inflate.
//
//   course_bench DATA_DIR
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/timing.h"
#include "common/cp1252.h"
#include "common/io_error.h"
#include "generator/course_text.h"
#include "generator/random.h"
#include "lexicon/lexicon.h"
#include "lexicon/loader.h"

namespace {

constexpr int kTexts = 1000;
constexpr int kIndexBuilds = 21;

using Clock = bench::Clock;
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: course_bench DATA_DIR\n");
        return 2;
    }
    auto lexicon = std::make_unique<Lexicon>();
    WordRanking ranking;
    double rankingMs = 0;
    try {
        LoadLexicon(argv[1], *lexicon, LoadCallbacks{});
        const auto loadStart = Clock::now();
        ranking = LoadWordRanking(argv[1]);
        rankingMs = bench::MillisecondsSince(loadStart);
    } catch (const IoError& error) {
        std::fprintf(stderr, "course_bench: cannot read %s (I/O error %d)\n", error.path().c_str(), error.code());
        return 1;
    }

    const auto wordsStart = Clock::now();
    const double wordsStartCpu = bench::ThreadCpuMs();
    const CourseWords words(*lexicon, ranking);
    const double wordsCpuMs = bench::ThreadCpuMs() - wordsStartCpu;
    const double wordsMs = bench::MillisecondsSince(wordsStart);

    const std::string allowed = Utf8ToCp1252("esaitnrulodcpmév");
    std::vector<double> builds;
    std::vector<double> buildsCpu;
    for (int i = 0; i < kIndexBuilds; ++i) {
        const auto start = Clock::now();
        const double startCpu = bench::ThreadCpuMs();
        const CourseIndex index(words, allowed);
        buildsCpu.push_back(bench::ThreadCpuMs() - startCpu);
        builds.push_back(bench::MillisecondsSince(start));
    }

    const CourseIndex index(words, allowed);
    const CoursePair pairs[] = {{'e', 's', 3}, {'s', 'e', 2}, {'a', 'i', 2}, {'o', 'u', 1.5}, {'t', ' ', 1},
                                {'r', 'e', 1}, {'n', 't', 1}, {'l', 'e', 1}, {'d', 'e', 1},   {'m', 'a', 1}};
    SeedRandom(20260101);
    std::vector<double> texts;
    std::vector<double> textsCpu;
    int sentences = 0;
    for (int i = 0; i < kTexts; ++i) {
        const auto start = Clock::now();
        const double startCpu = bench::ThreadCpuMs();
        const CourseText lesson = MakeCourseText(index, allowed[std::size_t(i) % allowed.size()], pairs, 60 + i % 61);
        textsCpu.push_back(bench::ThreadCpuMs() - startCpu);
        texts.push_back(bench::MillisecondsSince(start));
        sentences += lesson.sentences;
    }

    std::printf("course_ranking_load_ms %.1f ms\n", rankingMs);
    std::printf("course_words_ms %.1f ms\n", wordsMs);
    std::printf("course_words_cpu_ms %.1f ms\n", wordsCpuMs);
    std::printf("course_index_ms %.2f ms\n", bench::Median(builds));
    std::printf("course_index_cpu_ms %.2f ms\n", bench::Median(buildsCpu));
    std::printf("course_text_ms %.3f ms\n", bench::Median(texts));
    std::printf("course_text_worst_ms %.3f ms\n", *std::max_element(texts.begin(), texts.end()));
    std::printf("course_text_worst_cpu_ms %.3f ms\n", *std::max_element(textsCpu.begin(), textsCpu.end()));
    std::printf("course_sentence_share %.1f %%\n", 100.0 * sentences / kTexts);
    return 0;
}
