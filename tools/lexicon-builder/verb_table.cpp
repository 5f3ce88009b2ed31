// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/lexicon-builder/verb_table.h"

#include <algorithm>
#include <numeric>

#include "common/cp1252.h"
#include "tools/lexicon-builder/lexicon_builder.h"

namespace lexbuild {

namespace {

// The slots that the sentence generator reads: simple tenses of the indicative, the
// conditional, the three imperative forms and the masculine singular past participle.
bool GeneratorReads(int slot) {
    return (slot >= 1 && slot <= 24) || (slot >= 37 && slot <= 45) || slot == kPastParticipleMasSgSlot;
}

}  // namespace

void VerbSlotsOf(const MorphTags& tags, std::vector<int>& slots) {
    slots.clear();
    // The six-person blocks, in slot order: ipre iimp ipsi ifut spre simp cond.
    for (int block = 0; block < 7; ++block)
        if (tags.HasMood(Mood(block)))
            for (int p = 0; p < 6; ++p)
                if (tags.HasPerson(p)) slots.push_back(1 + 6 * block + p);
    if (tags.HasMood(kMoodImperative)) {
        if (tags.HasPerson(1)) slots.push_back(kImperativeTuSlot);
        if (tags.HasPerson(3)) slots.push_back(kImperativeNousSlot);
        if (tags.HasPerson(4)) slots.push_back(kImperativeVousSlot);
    }
    if (tags.HasMood(kMoodPresentParticiple)) slots.push_back(kPresentParticipleSlot);
    if (tags.HasMood(kMoodPastParticiple)) {
        const bool mas = tags.genders & kMasculine, fem = tags.genders & kFeminine;
        const bool sg = tags.numbers & kSingular, pl = tags.numbers & kPlural;
        if (mas && sg) slots.push_back(kPastParticipleMasSgSlot);
        if (mas && pl) slots.push_back(kPastParticipleMasPlSlot);
        if (fem && sg) slots.push_back(kPastParticipleFemSgSlot);
        if (fem && pl) slots.push_back(kPastParticipleFemPlSlot);
    }
}

void VerbCandidate::Count() {
    generatorSlots = filledSlots = 0;
    for (int s = 1; s < kVerbSlotCount; ++s) {
        if (slots[std::size_t(s)].empty()) continue;
        ++filledSlots;
        if (GeneratorReads(s)) ++generatorSlots;
    }
}

bool VerbCandidate::AuxiliaryChecked() const {
    std::string_view tail = std::string_view(code).substr(code.size() < 2 ? 0 : code.size() - 2);
    return tail.find_first_of("ae") != std::string_view::npos;
}

bool VerbCandidate::Protected() const { return lemma == "avoir" || lemma == "être"_cp; }

bool VerbCandidate::FitsTheSentences() const { return Protected() || IsTransitiveDirect(code); }

bool IsTransitiveDirect(std::string_view code) { return code.size() > 4 && code[4] == 't'; }

bool IsPronominalOnly(std::string_view code) {
    return code.size() > 6 && (code[6] == 'p' || code[6] == 'r') && code.substr(3, 3) == "___";
}

bool ChooseHomograph(const VerbCandidate& candidate, const VerbCandidate& kept) {
    if (candidate.FitsTheSentences() != kept.FitsTheSentences()) return candidate.FitsTheSentences();
    if (candidate.AuxiliaryChecked() != kept.AuxiliaryChecked()) return candidate.AuxiliaryChecked();
    if (candidate.Group() != kept.Group() && (candidate.Group() == '3' || kept.Group() == '3') &&
        (candidate.Group() == '2' || kept.Group() == '2'))
        return candidate.Group() == '3';
    if (candidate.generatorSlots != kept.generatorSlots) return candidate.generatorSlots > kept.generatorSlots;
    return candidate.filledSlots > kept.filledSlots;
}

bool RanksBefore(const VerbCandidate& a, const VerbCandidate& b) {
    if (a.Protected() != b.Protected()) return a.Protected();
    if (a.generatorSlots != b.generatorSlots) return a.generatorSlots > b.generatorSlots;
    if (a.AuxiliaryChecked() != b.AuxiliaryChecked()) return a.AuxiliaryChecked();
    if (a.filledSlots != b.filledSlots) return a.filledSlots > b.filledSlots;
    return a.order < b.order;
}

void VerbTable::Reserve(std::size_t entries) {
    verbs.reserve(entries);
    index_.reserve(entries);
}

void VerbTable::Add(const DicEntry& entry, std::size_t order, std::string_view code,
                    const std::vector<Inflection>& forms, std::string_view stemOverride) {
    entryVerbs_.clear();
    for (const Inflection& f : forms) {
        if (f.tags.attachedPronoun) continue;
        VerbSlotsOf(f.tags, slots_);
        if (slots_.empty()) continue;
        const std::string* lemma = lemmas_.Get(LemmaOf(f, entry, stemOverride));
        if (!lemma || !CommonWordTo1252(f.form, form_)) continue;
        auto it = std::find_if(entryVerbs_.begin(), entryVerbs_.end(),
                               [&](const VerbCandidate& v) { return v.lemma == *lemma; });
        if (it == entryVerbs_.end()) {
            entryVerbs_.emplace_back();
            it = entryVerbs_.end() - 1;
            it->lemma = *lemma;
            it->code = std::string(code);
            it->order = order;
        }
        for (int s : slots_)
            if (it->slots[std::size_t(s)].empty()) it->slots[std::size_t(s)] = form_;  // the first variant stays
    }
    for (VerbCandidate& candidate : entryVerbs_) {
        candidate.Count();
        if (candidate.generatorSlots == 0) continue;  // infinitive or participles only
        auto [it, added] = index_.try_emplace(candidate.lemma, verbs.size());
        if (added) {
            verbs.push_back(std::move(candidate));
        } else if (ChooseHomograph(candidate, verbs[it->second])) {
            candidate.order = verbs[it->second].order;
            verbs[it->second] = std::move(candidate);
        }
    }
}

std::vector<std::size_t> VerbTable::KeptWithin(std::size_t limit, int& overCapacity) const {
    std::vector<std::size_t> kept(verbs.size());
    std::iota(kept.begin(), kept.end(), std::size_t(0));
    overCapacity = 0;
    if (kept.size() <= limit) return kept;
    std::sort(kept.begin(), kept.end(), [&](std::size_t a, std::size_t b) { return RanksBefore(verbs[a], verbs[b]); });
    overCapacity = int(kept.size() - limit);
    kept.resize(limit);
    std::sort(kept.begin(), kept.end());
    return kept;
}

}  // namespace lexbuild
