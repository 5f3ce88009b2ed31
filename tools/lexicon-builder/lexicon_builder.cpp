// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/lexicon-builder/lexicon_builder.h"

#include <algorithm>
#include <array>
#include <climits>
#include <unordered_set>
#include <utility>

#include "tools/lexicon-builder/dictionary_text.h"
#include "tools/lexicon-builder/nominal_table.h"
#include "tools/lexicon-builder/verb_table.h"
#include "tools/lexicon-builder/words.h"

namespace lexbuild {

namespace {

struct EntryKinds {
    std::string_view verbCode;  // "v1_it_q__a" for a verb
    bool noun = false;
    bool adjective = false;
    bool firstName = false;
};

EntryKinds KindsOf(const DicEntry& entry) {
    EntryKinds kinds;
    for (const std::string& field : entry.fields) {
        if (field.size() > 4 && field.compare(0, 4, "po:v") == 0 && field[4] >= '0' && field[4] <= '9')
            kinds.verbCode = std::string_view(field).substr(3);
        else if (field == "po:nom")
            kinds.noun = true;
        else if (field == "po:adj")
            kinds.adjective = true;
        else if (field == "po:prn")
            kinds.firstName = true;
    }
    return kinds;
}

struct NameList {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;

    void Add(const std::string& name) {
        if (seen.insert(name).second) names.push_back(name);
    }
};

// Every usable word of the dictionary, in dictionary order.
struct CollectedWords {
    VerbTable verbs;
    NominalTable nouns, adjectives;
    NameList femaleNames, maleNames;
};

void ReserveTables(const std::vector<DicEntry>& entries, CollectedWords& words) {
    std::size_t verbEntries = 0, nounEntries = 0, adjectiveEntries = 0;
    for (const DicEntry& entry : entries) {
        const EntryKinds kinds = KindsOf(entry);
        verbEntries += !kinds.verbCode.empty();
        nounEntries += kinds.noun;
        adjectiveEntries += kinds.adjective;
    }
    words.verbs.Reserve(verbEntries);
    words.nouns.Reserve(nounEntries);
    words.adjectives.Reserve(adjectiveEntries);
}

CollectedWords CollectWords(const AffixFile& aff, const std::vector<DicEntry>& entries) {
    CollectedWords words;
    ReserveTables(entries, words);
    const Inflector inflector(aff);
    std::vector<Inflection> forms;
    std::string name;
    for (std::size_t order = 0; order < entries.size(); ++order) {
        const DicEntry& entry = entries[order];
        if (entry.HasFlag(aff.noSuggest) || entry.HasFlag(aff.keepCase) || entry.HasFlag(aff.forbiddenWord))
            continue;  // symbols, abbreviations, misspellings
        const auto [verbCode, noun, adjective, firstName] = KindsOf(entry);

        if (firstName && !entry.HasFlag(aff.needAffix) && FirstNameTo1252(entry.word, name)) {
            const MorphTags tags = TagsOfFields(entry.fields);
            if (tags.genders & kFeminine) words.femaleNames.Add(name);
            if (tags.genders & kMasculine) words.maleNames.Add(name);
        }
        if (verbCode.empty() && !noun && !adjective) continue;

        forms.clear();
        inflector.Expand(entry, forms);
        const std::string_view stemOverride = entry.Field("st");
        if (noun) words.nouns.Add(entry, forms, stemOverride);
        if (adjective) words.adjectives.Add(entry, forms, stemOverride);
        if (!verbCode.empty() && !IsPronominalOnly(verbCode))
            words.verbs.Add(entry, order, verbCode, forms, stemOverride);
    }
    return words;
}

template <typename T, typename Predicate>
int EraseIf(std::vector<T>& items, Predicate predicate) {
    return int(std::erase_if(items, predicate));
}

template <std::size_t N>
bool HasBadWord(const UsageLists& usage, const std::string& lemma, const std::array<std::string, N>& forms) {
    return usage.IsBadWord(lemma) ||
           std::any_of(forms.begin(), forms.end(), [&](const std::string& f) { return usage.IsBadWord(f); });
}

// Keeps the words that the usage lists pick and counts those left out.
void KeepWordsInUse(CollectedWords& words, const UsageLists& usage, LexiconFiles& files) {
    files.rareLemmas += EraseIf(
        words.verbs.verbs, [&](const VerbCandidate& v) { return !v.Protected() && !usage.IsCommonLemma(v.lemma); });
    files.demonymNouns = EraseIf(words.nouns.groups, [&](const NominalGroup& g) { return usage.IsDemonym(g.lemma); });
    for (NominalTable* table : {&words.nouns, &words.adjectives})
        files.rareLemmas +=
            EraseIf(table->groups, [&](const NominalGroup& g) { return !usage.IsCommonLemma(g.lemma); });
    for (NameList* list : {&words.femaleNames, &words.maleNames})
        files.namesNotGiven += EraseIf(list->names, [&](const std::string& name) { return !usage.IsGivenName(name); });

    files.badWords += EraseIf(words.verbs.verbs, [&](const VerbCandidate& v) {
        return !v.Protected() && HasBadWord(usage, v.lemma, v.slots);
    });
    for (NominalTable* table : {&words.nouns, &words.adjectives})
        files.badWords +=
            EraseIf(table->groups, [&](const NominalGroup& g) { return HasBadWord(usage, g.lemma, g.slots); });
    for (NameList* list : {&words.femaleNames, &words.maleNames})
        files.badWords += EraseIf(list->names, [&](const std::string& name) { return usage.IsBadWord(name); });
}

// Leaves out the verbs, nouns and adjectives of the themes' list, counted under their theme
// and table. Only the lemma is looked up: a listed form would take ordinary lemmas along
// (croyant, croire).
void LeaveOutThemes(CollectedWords& words, const UsageLists& usage, LexiconFiles& files) {
    const auto leaves = [&](std::array<int, kThemeCount>& counts, const std::string& lemma) {
        const int theme = usage.ThemeOf(lemma);
        if (theme >= 0) ++counts[std::size_t(theme)];
        return theme >= 0;
    };
    EraseIf(words.verbs.verbs,
            [&](const VerbCandidate& v) { return !v.Protected() && leaves(files.themedWords[0], v.lemma); });
    std::size_t table = 1;
    for (NominalTable* nominal : {&words.nouns, &words.adjectives}) {
        EraseIf(nominal->groups, [&](const NominalGroup& g) { return leaves(files.themedWords[table], g.lemma); });
        ++table;
    }
    // Nor does a listed word show as a form of another lemma: croire keeps its other forms
    // without croyant, tourner without tournant (a course lesson lists forms alone).
    const auto blank = [&](std::string& form) {
        if (!form.empty() && usage.ThemeOf(form) >= 0) form.clear();
    };
    for (VerbCandidate& v : words.verbs.verbs)
        if (!v.Protected()) std::for_each(v.slots.begin(), v.slots.end(), blank);
    for (NominalTable* nominal : {&words.nouns, &words.adjectives})
        for (NominalGroup& g : nominal->groups) std::for_each(g.slots.begin(), g.slots.end(), blank);
}

// Keeps, when a table holds more lemmas than its size, the size first by their rank in
// the frequency list (avoir and être first of all), in their order; returns how many left.
template <typename T>
int KeepMostFrequent(std::vector<T>& items, int size, const UsageLists& usage) {
    if (size < 0 || items.size() <= std::size_t(size)) return 0;
    std::vector<std::pair<int, std::size_t>> ranked;  // rank, index
    ranked.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        int rank = usage.RankOf(items[i].lemma);
        if constexpr (requires { items[i].Protected(); })
            if (items[i].Protected()) rank = -1;
        ranked.emplace_back(rank == 0 ? INT_MAX : rank, i);
    }
    std::sort(ranked.begin(), ranked.end());
    std::vector<bool> kept(items.size());
    for (std::size_t i = 0; i < std::size_t(size); ++i) kept[ranked[i].second] = true;
    std::size_t i = 0;
    return EraseIf(items, [&](const T&) { return !kept[i++]; });
}

std::size_t Limit(int limit, std::size_t available) { return std::min(available, std::size_t(std::max(limit, 0))); }

// Verbs within capacity (see RanksBefore), then nouns and adjectives: the dictionary holds
// far fewer of those than the tables; beyond capacity the first in dictionary order stay.
std::vector<OutputGroup> GroupsInOutputOrder(const CollectedWords& words, const BuildLimits& limits,
                                             LexiconFiles& files) {
    const std::vector<std::size_t> keptVerbs =
        words.verbs.KeptWithin(Limit(limits.verbs, words.verbs.verbs.size()), files.verbsOverCapacity);
    const std::size_t nounLimit = Limit(limits.nouns, words.nouns.groups.size());
    const std::size_t adjectiveLimit = Limit(limits.adjectives, words.adjectives.groups.size());

    std::vector<OutputGroup> groups;
    groups.reserve(keptVerbs.size() + nounLimit + adjectiveLimit);
    for (std::size_t i : keptVerbs) {
        const VerbCandidate& verb = words.verbs.verbs[i];
        groups.push_back({WordKind::Verb, &verb.lemma, verb.slots.data()});
    }
    for (std::size_t i = 0; i < nounLimit; ++i) {
        const NominalGroup& noun = words.nouns.groups[i];
        groups.push_back({WordKind::Noun, &noun.lemma, noun.slots.data()});
    }
    for (std::size_t i = 0; i < adjectiveLimit; ++i) {
        const NominalGroup& adjective = words.adjectives.groups[i];
        groups.push_back({WordKind::Adjective, &adjective.lemma, adjective.slots.data()});
    }
    SeparateHomographs(groups);
    return groups;
}

void WriteDictionary(const std::vector<OutputGroup>& groups, LexiconFiles& files) {
    files.dictionary.reserve(groups.size() * 256);
    for (const OutputGroup& group : groups) {
        AppendGroupLines(files.dictionary, group);
        switch (group.kind) {
            case WordKind::Verb: ++files.verbCount; break;
            case WordKind::Noun: ++files.nounCount; break;
            case WordKind::Adjective: ++files.adjectiveCount; break;
        }
    }
}

void WriteNames(NameList& female, NameList& male, int limit, LexiconFiles& files) {
    const std::size_t nameLimit = std::size_t(std::max(limit, 0));
    for (NameList* list : {&female, &male})
        if (list->names.size() > nameLimit) list->names.resize(nameLimit);
    files.femaleNames = JoinLines(female.names);
    files.maleNames = JoinLines(male.names);
    files.femaleNameCount = int(female.names.size());
    files.maleNameCount = int(male.names.size());
}

}  // namespace

LexiconFiles BuildLexicon(const AffixFile& aff, const std::vector<DicEntry>& entries, const BuildLimits& limits,
                          const UsageLists* usage) {
    LexiconFiles files;
    CollectedWords words = CollectWords(aff, entries);
    if (usage) {
        KeepWordsInUse(words, *usage, files);
        LeaveOutThemes(words, *usage, files);
    }
    files.verbsWithoutDirectObject =
        EraseIf(words.verbs.verbs, [](const VerbCandidate& v) { return !v.FitsTheSentences(); });
    if (usage) {
        files.rareLemmas += KeepMostFrequent(words.verbs.verbs, usage->sizes.verbs, *usage) +
                            KeepMostFrequent(words.nouns.groups, usage->sizes.nouns, *usage) +
                            KeepMostFrequent(words.adjectives.groups, usage->sizes.adjectives, *usage);
    }
    WriteDictionary(GroupsInOutputOrder(words, limits, files), files);
    WriteNames(words.femaleNames, words.maleNames, limits.names, files);
    return files;
}

}  // namespace lexbuild
