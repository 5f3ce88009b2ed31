// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/lexicon-builder/nominal_table.h"

#include "tools/lexicon-builder/lexicon_builder.h"

namespace lexbuild {

void NominalSlotsOf(const MorphTags& tags, std::vector<int>& slots) {
    slots.clear();
    const bool mas = tags.genders & kMasculine, fem = tags.genders & kFeminine;
    const bool sg = tags.numbers & kSingular, pl = tags.numbers & kPlural;
    if (fem && sg) slots.push_back(kFemSg);
    if (mas && sg) slots.push_back(kMasSg);
    if (fem && pl) slots.push_back(kFemPl);
    if (mas && pl) slots.push_back(kMasPl);
}

void NominalTable::Reserve(std::size_t entries) {
    groups.reserve(entries);
    index_.reserve(entries);
}

void NominalTable::Add(const DicEntry& entry, const std::vector<Inflection>& forms, std::string_view stemOverride) {
    for (const Inflection& f : forms) {
        if (f.tags.attachedPronoun) continue;
        NominalSlotsOf(f.tags, slots_);
        if (slots_.empty()) continue;
        const std::string* lemma = lemmas_.Get(LemmaOf(f, entry, stemOverride));
        if (!lemma || !CommonWordTo1252(f.form, form_)) continue;
        if (*lemma != lastLemma_) {  // the forms of one entry mostly share their lemma
            auto [it, added] = index_.try_emplace(*lemma, groups.size());
            if (added) groups.push_back({*lemma, {}});
            lastLemma_ = *lemma;
            lastGroup_ = it->second;
        }
        NominalGroup& group = groups[lastGroup_];
        for (int s : slots_)
            if (group.slots[std::size_t(s)].empty()) group.slots[std::size_t(s)] = form_;
    }
}

}  // namespace lexbuild
