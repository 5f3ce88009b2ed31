// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/lexicon-builder/lexicon_builder.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <numeric>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "common/cp1252.h"

namespace lexbuild {

namespace {

constexpr int kMaxTagsPerLine = 20;
constexpr std::size_t kMinLemmaLength = 4;  // the loader skips shorter lemmas

// ---- Words -------------------------------------------------------------------------

bool IsLowerLetter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= 0xDF && c <= 0xFF && c != 0xF7) || c == 0x153 || c == 0x161 ||
           c == 0x17E;  // œ š ž
}

bool IsUpperLetter(char32_t c) {
    return (c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0x152 || c == 0x160 ||
           c == 0x17D || c == 0x178;  // Œ Š Ž Ÿ
}

bool IsLetter(char32_t c) { return IsLowerLetter(c) || IsUpperLetter(c); }

// A word decoded into at most 50 characters.
struct ShortWord {
    char32_t chars[kShortStringCapacity];
    std::size_t size = 0;

    // False when the text has more than 50 characters.
    bool Decode(std::string_view utf8) {
        size = 0;
        std::size_t i = 0;
        while (i < utf8.size()) {
            if (size == std::size_t(kShortStringCapacity)) return false;
            chars[size++] = cp1252_detail::DecodeUtf8(utf8.data(), utf8.size(), i);
        }
        return size > 0;
    }
    // Every character is a letter (all of them exist in Windows-1252) or a hyphen or
    // apostrophe, so nothing turns into '?'.
    void To1252(std::string& out) const {
        char bytes[kShortStringCapacity];
        for (std::size_t k = 0; k < size; ++k) bytes[k] = static_cast<char>(UnicodeToCp1252(chars[k]));
        out.assign(bytes, size);
    }
    // Hyphens and apostrophes stand only between letters.
    bool JoinersBetweenLetters(bool allowApostrophe) const {
        for (std::size_t k = 0; k < size; ++k) {
            char32_t c = chars[k];
            if (IsLetter(c)) continue;
            if (c != U'-' && !(allowApostrophe && c == U'\'')) return false;
            if (k == 0 || k + 1 == size || !IsLetter(chars[k - 1]) || !IsLetter(chars[k + 1])) return false;
        }
        return true;
    }
};

// True when the word starts with an elided word: one letter, or que, jusque, lorsque,
// puisque or quoique, before its first apostrophe. The dictionary lists a few such words
// (p'tit, m'sieur, qu'en-dira-t-on, jusqu'au-boutiste) that would read like "l'arbre"
// in a sentence; presqu'île stays.
bool LooksElided(std::string_view word) {
    std::size_t apostrophe = word.find('\'');
    if (apostrophe == std::string_view::npos) return false;
    std::string_view head = word.substr(0, apostrophe);
    return head.size() == 1 || head == "qu" || head == "jusqu" || head == "lorsqu" || head == "puisqu" ||
           head == "quoiqu";
}

// A common noun, adjective or verb form of at most 50 characters: lower-case letters, with
// hyphens and apostrophes between letters (arc-en-ciel, presqu'île). Sets its
// Windows-1252 spelling.
bool CommonWordTo1252(std::string_view utf8, std::string& out) {
    ShortWord w;
    if (!w.Decode(utf8) || !w.JoinersBetweenLetters(true)) return false;
    for (std::size_t k = 0; k < w.size; ++k)
        if (IsUpperLetter(w.chars[k])) return false;
    w.To1252(out);
    return !LooksElided(out);
}

// A first name of at most 50 characters: a capital, then letters with hyphens between
// them (Jean-Luc); no apostrophe, and some lower-case letter (no initials or acronyms).
bool FirstNameTo1252(std::string_view utf8, std::string& out) {
    ShortWord w;
    if (!w.Decode(utf8) || !IsUpperLetter(w.chars[0]) || !w.JoinersBetweenLetters(false)) return false;
    if (std::none_of(w.chars, w.chars + w.size, IsLowerLetter)) return false;
    w.To1252(out);
    return FitsCp1252(utf8);
}

// The lemma of an entry's forms, checked and converted once per entry.
class LemmaCache {
public:
    // The Windows-1252 lemma, or nullptr when it is not usable (not a common word, or
    // shorter than the loader accepts).
    const std::string* Get(std::string_view utf8) {
        if (!valid_ || utf8 != utf8_) {
            valid_ = true;
            utf8_.assign(utf8);
            ok_ = CommonWordTo1252(utf8, cp1252_) && cp1252_.size() >= kMinLemmaLength;
        }
        return ok_ ? &cp1252_ : nullptr;
    }

private:
    bool valid_ = false;
    bool ok_ = false;
    std::string utf8_;
    std::string cp1252_;
};

// The lemma of a form: the entry's "st:" field, else the (prefixed) word it inflects.
std::string_view LemmaOf(const Inflection& f, const DicEntry& entry, std::string_view stemOverride) {
    if (!stemOverride.empty()) return stemOverride;
    return f.stem.empty() ? std::string_view(entry.word) : std::string_view(f.stem);
}

// ---- Verbs -------------------------------------------------------------------------

// The slots that the sentence generator reads: simple tenses of the indicative, the
// conditional, the three imperative forms and the masculine singular past participle.
bool GeneratorReads(int slot) {
    return (slot >= 1 && slot <= 24) || (slot >= 37 && slot <= 45) || slot == kPastParticipleMasSgSlot;
}

struct VerbCandidate {
    std::string lemma;                              // Windows-1252, as the forms
    std::array<std::string, kVerbSlotCount> slots;  // slot 0 unused
    std::string code;                               // e.g. "v1_it_q__a"
    std::size_t order = 0;                          // first entry of the lemma
    int generatorSlots = 0;
    int filledSlots = 0;

    void Count() {
        generatorSlots = filledSlots = 0;
        for (int s = 1; s < kVerbSlotCount; ++s) {
            if (slots[s].empty()) continue;
            ++filledSlots;
            if (GeneratorReads(s)) ++generatorSlots;
        }
    }
    // The code ends with the auxiliaries checked by the dictionary's authors ("a", "e"),
    // or "zz" when they were not checked: those verbs are on the whole the rarer ones.
    bool AuxiliaryChecked() const {
        std::string_view tail = std::string_view(code).substr(code.size() < 2 ? 0 : code.size() - 2);
        return tail.find_first_of("ae") != std::string_view::npos;
    }
    char Group() const { return code.size() > 1 ? code[1] : '?'; }
    bool Protected() const { return lemma == "avoir" || lemma == "être"_cp; }
};

// The code's 7th character is 'p' (pronominal only) or 'r' (reciprocal only), and then
// no intransitive, transitive or indirect use ('i', 't', 'n') is listed.
bool IsPronominalOnly(std::string_view code) {
    return code.size() > 6 && (code[6] == 'p' || code[6] == 'r') && code.substr(3, 3) == "___";
}

// ChooseHomograph: true when the candidate should replace the verb of the same infinitive
// kept so far. Preferred, in order: auxiliaries checked; for an -ir verb listed in both
// the 2nd and 3rd groups, the 3rd (the everyday sortir, repartir, ressortir, fuir, whose
// 2nd-group twins are technical); more of the generator's forms; more forms in all.
// Otherwise the first one stays.
bool ChooseHomograph(const VerbCandidate& candidate, const VerbCandidate& kept) {
    if (candidate.AuxiliaryChecked() != kept.AuxiliaryChecked()) return candidate.AuxiliaryChecked();
    if (candidate.Group() != kept.Group() && (candidate.Group() == '3' || kept.Group() == '3') &&
        (candidate.Group() == '2' || kept.Group() == '2'))
        return candidate.Group() == '3';
    if (candidate.generatorSlots != kept.generatorSlots) return candidate.generatorSlots > kept.generatorSlots;
    return candidate.filledSlots > kept.filledSlots;
}

// Capacity rule: when there are more usable verbs than the table holds, those kept are,
// in order of preference: "avoir" and "être"; the verbs with the most of the forms that
// the generator reads (so defective verbs go first); those whose auxiliaries the
// dictionary's authors checked (the unchecked "zz" ones are on the whole the rare ones);
// those with the most forms in all; the first in dictionary order.
bool RanksBefore(const VerbCandidate& a, const VerbCandidate& b) {
    if (a.Protected() != b.Protected()) return a.Protected();
    if (a.generatorSlots != b.generatorSlots) return a.generatorSlots > b.generatorSlots;
    if (a.AuxiliaryChecked() != b.AuxiliaryChecked()) return a.AuxiliaryChecked();
    if (a.filledSlots != b.filledSlots) return a.filledSlots > b.filledSlots;
    return a.order < b.order;
}

// ---- Nouns and adjectives ----------------------------------------------------------

struct NominalGroup {
    std::string lemma;                 // Windows-1252
    std::array<std::string, 4> slots;  // Fem+SG, Mas+SG, Fem+PL, Mas+PL (Windows-1252)
};

struct NominalTable {
    std::vector<NominalGroup> groups;
    std::unordered_map<std::string, std::size_t> index;
    LemmaCache lemmas;
    std::string form;
    std::vector<int> slots;
    std::string lastLemma;
    std::size_t lastGroup = 0;

    // Fills the empty slots of the lemma's group with the entry's forms (the first form
    // found for a slot stays); homographs of one kind thus share one group.
    void Add(const DicEntry& entry, const std::vector<Inflection>& forms, std::string_view stemOverride) {
        for (const Inflection& f : forms) {
            if (f.tags.attachedPronoun) continue;
            NominalSlotsOf(f.tags, slots);
            if (slots.empty()) continue;
            const std::string* lemma = lemmas.Get(LemmaOf(f, entry, stemOverride));
            if (!lemma || !CommonWordTo1252(f.form, form)) continue;
            if (*lemma != lastLemma) {  // the forms of one entry mostly share their lemma
                auto [it, added] = index.try_emplace(*lemma, groups.size());
                if (added) groups.push_back({*lemma, {}});
                lastLemma = *lemma;
                lastGroup = it->second;
            }
            NominalGroup& group = groups[lastGroup];
            for (int s : slots)
                if (group.slots[std::size_t(s)].empty()) group.slots[std::size_t(s)] = form;
        }
    }
};

// ---- Names -------------------------------------------------------------------------

struct NameList {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;

    void Add(const std::string& name) {
        if (seen.insert(name).second) names.push_back(name);
    }
};

// ---- Output ------------------------------------------------------------------------

enum class Kind { Verb, Noun, Adjective };

struct OutputGroup {
    Kind kind;
    std::size_t index;
    const std::string* lemma;
};

// Puts groups of one lemma but different kinds apart: the loader would take a group that
// directly follows one with the same lemma for the same entry. Groups are moved, never
// split; a group that cannot be placed anywhere (a lexicon of one lemma) is dropped.
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

std::string JoinLines(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) {
        out += name;
        out += "\r\n";
    }
    return out;
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

void NominalSlotsOf(const MorphTags& tags, std::vector<int>& slots) {
    slots.clear();
    const bool mas = tags.genders & kMasculine, fem = tags.genders & kFeminine;
    const bool sg = tags.numbers & kSingular, pl = tags.numbers & kPlural;
    if (fem && sg) slots.push_back(kFemSg);
    if (mas && sg) slots.push_back(kMasSg);
    if (fem && pl) slots.push_back(kFemPl);
    if (mas && pl) slots.push_back(kMasPl);
}

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

}  // namespace

LexiconFiles BuildLexicon(const AffixFile& aff, const std::vector<DicEntry>& entries, const BuildLimits& limits) {
    const Inflector inflector(aff);
    std::vector<VerbCandidate> verbs;
    std::unordered_map<std::string, std::size_t> verbIndex;
    NominalTable nouns, adjectives;
    {
        std::size_t verbEntries = 0, nounEntries = 0, adjectiveEntries = 0;
        for (const DicEntry& entry : entries) {
            const EntryKinds kinds = KindsOf(entry);
            verbEntries += !kinds.verbCode.empty();
            nounEntries += kinds.noun;
            adjectiveEntries += kinds.adjective;
        }
        verbs.reserve(verbEntries);
        verbIndex.reserve(verbEntries);
        nouns.groups.reserve(nounEntries);
        nouns.index.reserve(nounEntries);
        adjectives.groups.reserve(adjectiveEntries);
        adjectives.index.reserve(adjectiveEntries);
    }
    NameList femaleNames, maleNames;
    std::vector<Inflection> forms;
    std::vector<VerbCandidate> entryVerbs;
    LemmaCache verbLemmas;
    std::string form;
    std::vector<int> slots;

    for (std::size_t order = 0; order < entries.size(); ++order) {
        const DicEntry& entry = entries[order];
        if (entry.HasFlag(aff.noSuggest) || entry.HasFlag(aff.keepCase) || entry.HasFlag(aff.forbiddenWord))
            continue;  // symbols, abbreviations, misspellings
        const auto [verbCode, noun, adjective, name] = KindsOf(entry);

        if (name && !entry.HasFlag(aff.needAffix) && FirstNameTo1252(entry.word, form)) {
            const MorphTags tags = TagsOfFields(entry.fields);
            if (tags.genders & kFeminine) femaleNames.Add(form);
            if (tags.genders & kMasculine) maleNames.Add(form);
        }
        if (verbCode.empty() && !noun && !adjective) continue;

        forms.clear();
        inflector.Expand(entry, forms);
        const std::string_view stemOverride = entry.Field("st");
        if (noun) nouns.Add(entry, forms, stemOverride);
        if (adjective) adjectives.Add(entry, forms, stemOverride);
        if (verbCode.empty() || IsPronominalOnly(verbCode)) continue;

        // One candidate per infinitive that the entry yields (one, without prefixes).
        entryVerbs.clear();
        for (const Inflection& f : forms) {
            if (f.tags.attachedPronoun) continue;
            VerbSlotsOf(f.tags, slots);
            if (slots.empty()) continue;
            const std::string* lemma = verbLemmas.Get(LemmaOf(f, entry, stemOverride));
            if (!lemma || !CommonWordTo1252(f.form, form)) continue;
            auto it = std::find_if(entryVerbs.begin(), entryVerbs.end(),
                                   [&](const VerbCandidate& v) { return v.lemma == *lemma; });
            if (it == entryVerbs.end()) {
                entryVerbs.emplace_back();
                it = entryVerbs.end() - 1;
                it->lemma = *lemma;
                it->code = std::string(verbCode);
                it->order = order;
            }
            for (int s : slots)
                if (it->slots[std::size_t(s)].empty()) it->slots[std::size_t(s)] = form;  // the first variant stays
        }
        for (VerbCandidate& candidate : entryVerbs) {
            candidate.Count();
            if (candidate.generatorSlots == 0) continue;  // infinitive or participles only
            auto [it, added] = verbIndex.try_emplace(candidate.lemma, verbs.size());
            if (added) {
                verbs.push_back(std::move(candidate));
            } else if (ChooseHomograph(candidate, verbs[it->second])) {
                candidate.order = verbs[it->second].order;
                verbs[it->second] = std::move(candidate);
            }
        }
    }

    LexiconFiles files;

    // Verbs within capacity, kept in dictionary order.
    std::vector<std::size_t> keptVerbs(verbs.size());
    std::iota(keptVerbs.begin(), keptVerbs.end(), std::size_t(0));
    const std::size_t verbLimit = std::size_t(std::max(limits.verbs, 0));
    if (keptVerbs.size() > verbLimit) {
        std::sort(keptVerbs.begin(), keptVerbs.end(),
                  [&](std::size_t a, std::size_t b) { return RanksBefore(verbs[a], verbs[b]); });
        files.verbsOverCapacity = int(keptVerbs.size() - verbLimit);
        keptVerbs.resize(verbLimit);
        std::sort(keptVerbs.begin(), keptVerbs.end());
    }
    // Nouns and adjectives: the dictionary holds far fewer than the tables; beyond
    // capacity the first in dictionary order stay.
    const std::size_t nounLimit = std::min(nouns.groups.size(), std::size_t(std::max(limits.nouns, 0)));
    const std::size_t adjectiveLimit = std::min(adjectives.groups.size(), std::size_t(std::max(limits.adjectives, 0)));

    std::vector<OutputGroup> groups;
    groups.reserve(keptVerbs.size() + nounLimit + adjectiveLimit);
    for (std::size_t i : keptVerbs) groups.push_back({Kind::Verb, i, &verbs[i].lemma});
    for (std::size_t i = 0; i < nounLimit; ++i) groups.push_back({Kind::Noun, i, &nouns.groups[i].lemma});
    for (std::size_t i = 0; i < adjectiveLimit; ++i)
        groups.push_back({Kind::Adjective, i, &adjectives.groups[i].lemma});
    SeparateHomographs(groups);

    files.dictionary.reserve(groups.size() * 256);
    for (const OutputGroup& g : groups) {
        switch (g.kind) {
            case Kind::Verb:
                AppendLines(files.dictionary, "Ver", verbs[g.index].lemma, verbs[g.index].slots.data(), kVerbSlotCodes,
                            1, kVerbSlotCount - 1);
                ++files.verbCount;
                break;
            case Kind::Noun:
                AppendLines(files.dictionary, "Nom", nouns.groups[g.index].lemma, nouns.groups[g.index].slots.data(),
                            kNominalSlotCodes, 0, 3);
                ++files.nounCount;
                break;
            case Kind::Adjective:
                AppendLines(files.dictionary, "Adj", adjectives.groups[g.index].lemma,
                            adjectives.groups[g.index].slots.data(), kNominalSlotCodes, 0, 3);
                ++files.adjectiveCount;
                break;
        }
    }

    const std::size_t nameLimit = std::size_t(std::max(limits.names, 0));
    if (femaleNames.names.size() > nameLimit) femaleNames.names.resize(nameLimit);
    if (maleNames.names.size() > nameLimit) maleNames.names.resize(nameLimit);
    files.femaleNames = JoinLines(femaleNames.names);
    files.maleNames = JoinLines(maleNames.names);
    files.femaleNameCount = int(femaleNames.names.size());
    files.maleNameCount = int(maleNames.names.size());
    return files;
}

namespace {

void WriteFileReplacing(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) out.write(bytes.data(), std::streamsize(bytes.size()));
        if (out) out.close();
        if (!out) {
            int err = errno;
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw BuildError("impossible d'écrire « " + path.string() + " » : " + std::strerror(err));
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) throw BuildError("impossible de créer « " + path.string() + " » : " + ec.message());
}

}  // namespace

void WriteLexiconFiles(const LexiconFiles& files, const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw BuildError("impossible de créer le dossier « " + folder.string() + " » : " + ec.message());
    WriteFileReplacing(folder / "dictionnaire.txt", files.dictionary);
    WriteFileReplacing(folder / "prénomsf.txt", files.femaleNames);
    WriteFileReplacing(folder / "prénomsg.txt", files.maleNames);
}

}  // namespace lexbuild
