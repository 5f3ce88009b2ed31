// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Expansion of a dictionary entry into its inflected forms, each with the grammatical
// features that the entry and its affixes give it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tools/lexicon-builder/affix_file.h"
#include "tools/lexicon-builder/dic_file.h"

namespace lexbuild {

// Moods and tenses, in the order of the verb slot blocks.
enum Mood : int {
    kMoodIndicativePresent,     // po:ipre
    kMoodImperfect,             // po:iimp
    kMoodSimplePast,            // po:ipsi
    kMoodFuture,                // po:ifut
    kMoodSubjunctivePresent,    // po:spre
    kMoodSubjunctiveImperfect,  // po:simp
    kMoodConditional,           // po:cond
    kMoodImperative,            // po:impe
    kMoodPresentParticiple,     // po:ppre
    kMoodPastParticiple,        // po:ppas
    kMoodInfinitive,            // po:infi
    kMoodCount
};

enum Gender : int { kMasculine = 1, kFeminine = 2 };
enum Number : int { kSingular = 1, kPlural = 2 };

// The grammatical features of a form, as bit sets. An epicene word (is:epi) has both
// genders, an invariable one (is:inv) both numbers.
struct MorphTags {
    uint16_t moods = 0;            // bit per Mood
    uint8_t persons = 0;           // bit per person 0..5: 1sg 2sg 3sg 1pl 2pl 3pl
    uint8_t genders = 0;           // Gender bits
    uint8_t numbers = 0;           // Number bits
    bool attachedPronoun = false;  // ds: fields: a pronoun is glued to the form (vas-y)

    bool HasMood(Mood m) const { return (moods >> m) & 1u; }
    bool HasPerson(int p) const { return (persons >> p) & 1u; }

    // Adds the features of one field ("po:ipre", "po:3pl", "is:epi", ...); others are ignored.
    void AddField(std::string_view field);
    // The features of this form refined by an affix: each feature that the affix gives
    // replaces the one of the stem.
    MorphTags RefinedBy(const MorphTags& affix) const;
};

MorphTags TagsOfFields(const std::vector<std::string>& fields);

struct Inflection {
    std::string form;  // UTF-8
    std::string stem;  // the prefixed word the form inflects; empty for the entry's own word
    MorphTags tags;
};

// Expands entries with the rules of an affix file, which must outlive it. The rules'
// features are read once, here, rather than for every entry.
class Inflector {
public:
    explicit Inflector(const AffixFile& aff);

    // Appends every form that the entry stands for, in a fixed order: the word itself
    // (unless it needs an affix), then the suffix rules of its flags in file order, then
    // the prefix rules and their combinations with suffixes. Forms built with an elision
    // prefix (l', d', qu', ...) and forms that still need an affix are left out. The
    // continuation flags of a suffix rule are not followed (in the French dictionary they
    // only add elided variants); those of a prefix rule are.
    void Expand(const DicEntry& entry, std::vector<Inflection>& out) const;

private:
    struct RuleInfo {
        const AffixRule* rule;
        MorphTags tags;
        bool needsAffix;
        bool circumfix;
    };
    struct ClassInfo {
        const AffixClass* cls;
        std::vector<RuleInfo> rules;
    };
    const ClassInfo* Find(const Flag& flag) const;

    const AffixFile& aff_;
    std::unordered_map<Flag, ClassInfo> classes_;
};

// True for a prefix rule that elides an article, pronoun or conjunction ("l'", "qu'").
bool IsElisionPrefix(const AffixRule& rule);

}  // namespace lexbuild
