// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/word_ranking.h"

#include "common/cp1252.h"
#include "common/file_descriptor.h"
#include "common/file_io.h"
#include "common/io_error.h"
#include "lexicon/line_reader.h"

void WordRanking::Read(std::string_view utf8Text) {
    ranks_.clear();
    int rank = 0;
    while (!utf8Text.empty()) {
        const std::size_t end = utf8Text.find('\n');
        std::string_view line = utf8Text.substr(0, end);
        utf8Text.remove_prefix(end == std::string_view::npos ? utf8Text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++rank;
        if (line.empty() || !FitsCp1252(line)) continue;
        ranks_.try_emplace(Utf8ToCp1252(line), rank);
    }
}

int WordRanking::Rank(std::string_view form) const {
    const auto found = ranks_.find(form);
    return found == ranks_.end() ? kUnranked : found->second;
}

WordRanking LoadWordRanking(const std::string& dataDirectory) {
    const std::string path = dataDirectory + "/" + kWordRankingFile;
    std::string text;
    NamingFile(path, [&] {
        FileDescriptor file(lexicon_detail::OpenForReading(path));
        char block[1 << 16];
        while (const std::size_t got = ReadSome(file.get(), block, sizeof block)) text.append(block, got);
    });
    WordRanking ranking;
    ranking.Read(text);
    return ranking;
}
