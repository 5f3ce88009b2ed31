// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/lexicon-builder/dictionary_text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "lexicon/lexicon.h"
#include "lexicon/loader.h"

namespace lexbuild {

namespace {

constexpr int kMaxTagsPerLine = 20;

void AppendLines(std::string& out, std::string_view kind, const std::string& lemma, const std::string* slots,
                 const std::string_view* codes, int first, int last) {
    std::array<bool, kVerbSlotCount> done{};
    int tags[kVerbSlotCount];
    // form TAB lemma TAB kind, then up to 20 ":code" of at most 12 characters, CR LF
    char line[2 * kShortStringCapacity + 8 + kMaxTagsPerLine * 13 + 2];
    for (int s = first; s <= last; ++s) {
        if (slots[s].empty() || done[std::size_t(s)]) continue;
        int tagCount = 0;
        tags[tagCount++] = s;
        for (int t = s + 1; t <= last; ++t)
            if (!done[std::size_t(t)] && slots[t] == slots[s]) {
                done[std::size_t(t)] = true;
                tags[tagCount++] = t;
            }
        const std::string& form = slots[s];
        for (int k = 0; k < tagCount; k += kMaxTagsPerLine) {
            std::size_t n = 0;
            auto put = [&](std::string_view text) {
                std::memcpy(line + n, text.data(), text.size());
                n += text.size();
            };
            put(form);
            put("\t");
            put(lemma);
            put("\t");
            put(kind);
            for (int m = k; m < std::min(tagCount, k + kMaxTagsPerLine); ++m) {
                put(":");
                put(codes[tags[m]]);
            }
            put("\r\n");
            out.append(line, n);
        }
    }
}

}  // namespace

void SeparateHomographs(std::vector<OutputGroup>& groups) {
    for (std::size_t i = 1; i < groups.size(); ++i) {
        const std::string& lemma = *groups[i - 1].lemma;
        if (*groups[i].lemma != lemma) continue;
        std::size_t j = i + 1;
        while (j < groups.size() && *groups[j].lemma == lemma) ++j;
        if (j < groups.size()) {
            // Bring the next group of another lemma in between.
            std::rotate(groups.begin() + std::ptrdiff_t(i), groups.begin() + std::ptrdiff_t(j),
                        groups.begin() + std::ptrdiff_t(j) + 1);
            continue;
        }
        // Only groups of this lemma remain: move this one back between two other lemmas.
        OutputGroup moved = groups[i];
        groups.erase(groups.begin() + std::ptrdiff_t(i));
        for (std::size_t k = i - 1; k-- > 0;) {
            if (*groups[k].lemma != lemma && (k == 0 || *groups[k - 1].lemma != lemma)) {
                groups.insert(groups.begin() + std::ptrdiff_t(k), moved);
                break;
            }
        }
        --i;  // look again at the group now in place i
    }
}

void AppendGroupLines(std::string& out, const OutputGroup& group) {
    switch (group.kind) {
        case WordKind::Verb:
            AppendLines(out, "Ver", *group.lemma, group.slots, kVerbSlotCodes, 1, kVerbSlotCount - 1);
            break;
        case WordKind::Noun: AppendLines(out, "Nom", *group.lemma, group.slots, kNominalSlotCodes, 0, 3); break;
        case WordKind::Adjective: AppendLines(out, "Adj", *group.lemma, group.slots, kNominalSlotCodes, 0, 3); break;
    }
}

std::string JoinLines(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) {
        out += name;
        out += "\r\n";
    }
    return out;
}

}  // namespace lexbuild
