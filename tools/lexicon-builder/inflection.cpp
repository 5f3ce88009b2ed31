// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/lexicon-builder/inflection.h"

#include <algorithm>
#include <cstring>

namespace lexbuild {

namespace {

struct MoodName {
    std::string_view name;
    Mood mood;
};
constexpr MoodName kMoodNames[] = {
    {"ipre", kMoodIndicativePresent},  {"iimp", kMoodImperfect},
    {"ipsi", kMoodSimplePast},         {"ifut", kMoodFuture},
    {"spre", kMoodSubjunctivePresent}, {"simp", kMoodSubjunctiveImperfect},
    {"cond", kMoodConditional},        {"impe", kMoodImperative},
    {"ppre", kMoodPresentParticiple},  {"ppas", kMoodPastParticiple},
    {"infi", kMoodInfinitive},
};
constexpr std::string_view kPersonNames[] = {"1sg", "2sg", "3sg", "1pl", "2pl", "3pl"};

bool EndsWith(const std::string& text, const std::string& tail) {
    const std::size_t n = tail.size(), size = text.size();
    return size >= n && std::memcmp(text.data() + size - n, tail.data(), n) == 0;
}
bool StartsWith(std::string_view text, std::string_view head) {
    return text.size() >= head.size() && std::memcmp(text.data(), head.data(), head.size()) == 0;
}

}  // namespace

void MorphTags::AddField(std::string_view field) {
    if (StartsWith(field, "po:")) {
        std::string_view value = field.substr(3);
        // "po:3pl!" marks the 3rd plural forms in -ent/-ont; it is still the 3rd plural.
        if (!value.empty() && value.back() == '!') value.remove_suffix(1);
        for (const MoodName& m : kMoodNames)
            if (value == m.name) moods = static_cast<uint16_t>(moods | (1u << m.mood));
        for (int p = 0; p < 6; ++p)
            if (value == kPersonNames[p]) persons = static_cast<uint8_t>(persons | (1u << p));
    } else if (field == "is:mas") {
        genders |= kMasculine;
    } else if (field == "is:fem") {
        genders |= kFeminine;
    } else if (field == "is:epi") {
        genders |= kMasculine | kFeminine;
    } else if (field == "is:sg") {
        numbers |= kSingular;
    } else if (field == "is:pl") {
        numbers |= kPlural;
    } else if (field == "is:inv") {
        numbers |= kSingular | kPlural;
    } else if (StartsWith(field, "ds:")) {
        attachedPronoun = true;
    }
}

MorphTags MorphTags::RefinedBy(const MorphTags& affix) const {
    MorphTags out;
    out.moods = affix.moods ? affix.moods : moods;
    out.persons = affix.persons ? affix.persons : persons;
    out.genders = affix.genders ? affix.genders : genders;
    out.numbers = affix.numbers ? affix.numbers : numbers;
    out.attachedPronoun = attachedPronoun || affix.attachedPronoun;
    return out;
}

MorphTags TagsOfFields(const std::vector<std::string>& fields) {
    MorphTags tags;
    for (const std::string& field : fields) tags.AddField(field);
    return tags;
}

bool IsElisionPrefix(const AffixRule& rule) {
    return rule.add.find('\'') != std::string::npos ||
           rule.add.find("\xE2\x80\x99") != std::string::npos;  // typographic apostrophe
}

Inflector::Inflector(const AffixFile& aff) : aff_(aff) {
    for (const auto& [flag, cls] : aff.classes) {
        ClassInfo info{&cls, {}};
        info.rules.reserve(cls.rules.size());
        for (const AffixRule& rule : cls.rules) {
            if (cls.prefix && IsElisionPrefix(rule)) continue;  // never wanted
            info.rules.push_back({&rule, TagsOfFields(rule.fields), rule.HasContinuation(aff.needAffix),
                                  rule.HasContinuation(aff.circumfix)});
        }
        classes_.emplace(flag, std::move(info));
    }
}

const Inflector::ClassInfo* Inflector::Find(const Flag& flag) const {
    auto it = classes_.find(flag);
    return it == classes_.end() ? nullptr : &it->second;
}

void Inflector::Expand(const DicEntry& entry, std::vector<Inflection>& out) const {
    const std::string& root = entry.word;
    const std::u32string root32 = DecodeUtf8(root);
    const MorphTags entryTags = TagsOfFields(entry.fields);

    if (!entry.HasFlag(aff_.needAffix)) out.push_back({root, {}, entryTags});

    std::vector<const ClassInfo*> suffixes;
    std::vector<const ClassInfo*> prefixes;
    for (const Flag& flag : entry.flags)
        if (const ClassInfo* info = Find(flag)) (info->cls->prefix ? prefixes : suffixes).push_back(info);

    // Bytes that a suffix rule may strip, given what a prefix already took.
    auto suffixFits = [&](const AffixRule& rule, std::size_t prefixStrip) {
        if (!EndsWith(root, rule.strip)) return false;
        std::size_t taken = prefixStrip + rule.strip.size();
        if (aff_.fullStrip ? taken > root.size() : taken >= root.size()) return false;
        return ConditionMatches(rule.condition, root32, true);
    };

    for (const ClassInfo* sfx : suffixes) {
        for (const RuleInfo& r : sfx->rules) {
            if (r.needsAffix || r.circumfix || !suffixFits(*r.rule, 0)) continue;
            Inflection& f = out.emplace_back();
            f.form.reserve(root.size() + r.rule->add.size());
            f.form.append(root, 0, root.size() - r.rule->strip.size()).append(r.rule->add);
            f.tags = entryTags.RefinedBy(r.tags);
        }
    }

    for (const ClassInfo* pfx : prefixes) {
        for (const RuleInfo& p : pfx->rules) {
            const AffixRule& prule = *p.rule;
            if (!StartsWith(root, prule.strip)) continue;
            if (aff_.fullStrip ? prule.strip.size() > root.size() : prule.strip.size() >= root.size()) continue;
            if (!ConditionMatches(prule.condition, root32, false)) continue;
            const MorphTags prefixTags = entryTags.RefinedBy(p.tags);
            const std::string prefixed = prule.add + root.substr(prule.strip.size());
            if (!p.needsAffix && !p.circumfix) out.push_back({prefixed, prefixed, prefixTags});

            // Suffixes that combine with this prefix: the entry's own when both classes
            // allow cross products, and those that the prefix rule itself carries.
            std::vector<const ClassInfo*> partners;
            if (pfx->cls->crossProduct)
                for (const ClassInfo* sfx : suffixes)
                    if (sfx->cls->crossProduct) partners.push_back(sfx);
            for (const Flag& flag : prule.continuation) {
                const ClassInfo* info = Find(flag);
                if (info && !info->cls->prefix && std::find(partners.begin(), partners.end(), info) == partners.end())
                    partners.push_back(info);
            }
            for (const ClassInfo* sfx : partners) {
                for (const RuleInfo& s : sfx->rules) {
                    if (s.needsAffix || s.circumfix != p.circumfix) continue;
                    if (!suffixFits(*s.rule, prule.strip.size())) continue;
                    std::string middle =
                        root.substr(prule.strip.size(), root.size() - prule.strip.size() - s.rule->strip.size());
                    out.push_back({prule.add + middle + s.rule->add, prefixed, prefixTags.RefinedBy(s.tags)});
                }
            }
        }
    }
}

}  // namespace lexbuild
