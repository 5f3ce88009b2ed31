// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/course_text.h"

#include <algorithm>
#include <unordered_map>

#include "common/cp1252.h"
#include "generator/noun_phrase.h"
#include "generator/random.h"

namespace {

// How a word starts, for the choice of determiner or subject pronoun: a consonant, a
// vowel (le and je elide), or h or y, where French goes both ways (l'homme, le héros):
// only the forms that never change are used there.
enum Initial : uint8_t { kConsonant = 1, kVowel = 2, kHOrY = 4, kAnyInitial = 7 };

Initial InitialOf(std::string_view word) {
    const char c = word.empty() ? ' ' : word[0];
    if (c == 'h' || c == 'y') return kHOrY;
    const unsigned char u = static_cast<unsigned char>(c);
    if (IsElisionLetter(c) || u == 0x9C || u == 0xE6 || u == 0xE4 || u == 0xEB) return kVowel;  // œ æ ä ë
    return kConsonant;
}

// Determiners and subject pronouns: the agreement or person they serve, the initials of
// the next word they go before, and whether they are glued to it (l', j').
struct Closed {
    std::string_view text;
    uint8_t use;  // determiners: 0 masculine singular, 1 feminine singular, 2 plural; pronouns: the person
    uint8_t initials;
    bool elided = false;
};

constexpr uint8_t kPluralUse = 2;

constexpr Closed kDeterminers[] = {
    {"le", 0, kConsonant},
    {"l'", 0, kVowel, true},
    {"un", 0, kAnyInitial},
    {"ce", 0, kConsonant},
    {"cet", 0, kVowel},
    {"mon", 0, kConsonant | kVowel},
    {"ton", 0, kConsonant | kVowel},
    {"son", 0, kConsonant | kVowel},
    {"notre", 0, kAnyInitial},
    {"votre", 0, kAnyInitial},
    {"leur", 0, kAnyInitial},
    {"la", 1, kConsonant},
    {"l'", 1, kVowel, true},
    {"une", 1, kAnyInitial},
    {"cette", 1, kAnyInitial},
    {"ma", 1, kConsonant},
    {"ta", 1, kConsonant},
    {"sa", 1, kConsonant},
    {"mon", 1, kVowel},
    {"ton", 1, kVowel},
    {"son", 1, kVowel},
    {"notre", 1, kAnyInitial},
    {"votre", 1, kAnyInitial},
    {"leur", 1, kAnyInitial},
    {"les", 2, kAnyInitial},
    {"des", 2, kAnyInitial},
    {"ces", 2, kAnyInitial},
    {"mes", 2, kAnyInitial},
    {"tes", 2, kAnyInitial},
    {"ses", 2, kAnyInitial},
    {"nos", 2, kAnyInitial},
    {"vos", 2, kAnyInitial},
    {"leurs", 2, kAnyInitial},
};

constexpr Closed kPronouns[] = {
    {"je", 0, kConsonant},    {"j'", 0, kVowel, true},   {"tu", 1, kAnyInitial},   {"il", 2, kAnyInitial},
    {"elle", 2, kAnyInitial}, {"on", 2, kAnyInitial},    {"nous", 3, kAnyInitial}, {"vous", 4, kAnyInitial},
    {"ils", 5, kAnyInitial},  {"elles", 5, kAnyInitial},
};

// The present of avoir, by person, for the compound past.
constexpr std::string_view kHave[6] = {"ai", "as", "a", "avons", "avez", "ont"};

// Prepositions before a second noun phrase, and the conjunction of two objects.
constexpr std::string_view kPrepositions[] = {"dans", "sur", "sous", "avec", "pour", "vers", "par", "contre", "chez"};
constexpr std::string_view kAnd = "et";

// Nouns of the lexicon that French uses mostly as something else (adverbs, pronouns,
// verbs): "ton dessus", "leur leur" and "notre dire" are French but read like errors, so
// sentences leave them out (word lists keep them).
const std::string_view kOddNounLemmas[] = {
    "amen",    "après"_cp,    "assez",   "autre",  "avant",  "avoir",    "comment",  "dedans",  "dehors",
    "demain",  "derrière"_cp, "dessous", "dessus", "devant", "dire",     "ensemble", "hier",    "leur",
    "même"_cp, "merci",       "mien",    "moins",  "non",    "nôtre"_cp, "oui",      "pendant", "peu",
    "plus",    "pourquoi",    "rien",    "sien",   "tien",   "tout",     "trop",     "vôtre"_cp};
// Adjectives that go before the noun or stand for a determiner or a pronoun ("une
// vérité petite", "ma maladie mienne"): sentences, which put the adjective after the
// noun, leave them out.
const std::string_view kOddAdjectiveLemmas[] = {
    "aise",    "autre", "beau",  "bon",     "certain", "chaque", "divers", "grand",    "gros",  "jeune",
    "joli",    "leur",  "maint", "mauvais", "même"_cp, "mien",   "nul",    "nôtre"_cp, "petit", "plusieurs",
    "premier", "quel",  "sien",  "tel",     "tien",    "tout",   "vieux",  "vôtre"_cp};

template <std::size_t N>
bool IsAmong(std::string_view word, const std::string_view (&list)[N]) {
    return std::find(std::begin(list), std::end(list), word) != std::end(list);
}

// The closed words, each once.
const std::vector<std::string_view>& ClosedWordList() {
    static const std::vector<std::string_view> words = [] {
        std::vector<std::string_view> all;
        for (const Closed& d : kDeterminers) all.push_back(d.text);
        for (const Closed& p : kPronouns) all.push_back(p.text);
        for (std::string_view h : kHave) all.push_back(h);
        for (std::string_view p : kPrepositions) all.push_back(p);
        all.push_back(kAnd);
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        return all;
    }();
    return words;
}

bool IsLowerLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 0xDF && c != 0xF7) || c == 0x9C || c == 0x9A || c == 0x9E;
}
bool IsUpperLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0x8C || c == 0x8A || c == 0x8E ||
           c == 0x9F;
}
// The capital of a lower-case letter (0 when it has none).
unsigned char UpperOf(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    if (c == 0x9C || c == 0x9A || c == 0x9E) return static_cast<unsigned char>(c - 0x10);  // œ š ž
    if (c == 0xFF) return 0x9F;                                                            // ÿ
    return 0;
}
bool IsVowelLetter(unsigned char c) {
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y' ||
           (c >= 0xE0 && c <= 0xFC && c != 0xE7 && c != 0xF0 && c != 0xF1 && c != 0xF7 && c != 0xF8) || c == 0x9C;
}

bool Holds(std::string_view word, char c) { return word.find(c) != std::string_view::npos; }

// A draw in 0..n-1 that favours the start of a list sorted most frequent first: the cube of
// a uniform draw puts about half of the draws in the first tenth of the list.
int DrawFrequent(int n) {
    if (n <= 1) return 0;
    const double u = double(Random(1 << 20)) / double(1 << 20);
    const int i = int(double(n) * u * u * u);
    return i < n ? i : n - 1;
}

// Filters a pool of the index to the entries that hold the focus, once per text.
template <class Entry>
class Filtered {
public:
    const std::vector<int>& Of(const std::vector<Entry>& pool, char focus, bool constrained) {
        if (!done_) {
            done_ = true;
            for (int i = 0; i < int(pool.size()); ++i)
                if (!constrained || Holds(pool[std::size_t(i)].text, focus)) indices_.push_back(i);
        }
        return indices_;
    }

private:
    bool done_ = false;
    std::vector<int> indices_;
};

// Kinds of subject: a noun phrase (4 draws in 9), a pronoun (3) or a first name (2, when
// one can be typed).
enum class Subject { NounPhrase, Pronoun, Name };
constexpr int kSentenceTries = 40;
constexpr int kWordTries = 8;   // draws before a repeated word is accepted
constexpr int kCandidates = 3;  // words drawn; the one richest in slow pairs is kept

class LessonMaker {
public:
    LessonMaker(const CourseIndex& index, char focus, std::span<const CoursePair> pairs, int targetLength)
        : index_(index), focus_(focus), pairs_(pairs), target_(std::max(targetLength, 1)) {
        const unsigned char f = static_cast<unsigned char>(focus);
        const bool letter = index.Allows(focus) && (IsLowerLetter(f) || IsUpperLetter(f));
        // A lower-case letter is held by the content words; a capital (or a character
        // that no word holds) only by the sentence somewhere, if it can be.
        wordFocus_ = letter && IsLowerLetter(f);
        sentenceFocus_ = index.Allows(focus) && focus != ' ' && !wordFocus_;
        listFocus_ = letter;
    }

    CourseText Make() {
        CourseText result;
        // Too few words for sentences that do not repeat themselves ("ta tata a ta tata").
        const bool enoughWords = !listFocus_ || index_.HasWordsWith(focus_, kMinRealWords);
        if (enoughWords && MakeSentences(result.text)) {
            result.sentences = true;
            return result;
        }
        result.text.clear();
        used_.clear();
        result.invented = MakeWordList(result.text);
        return result;
    }

private:
    // Sentences until the text is long enough; false when they stop short of half the
    // length (the few words that fit are then better practised as a list).
    bool MakeSentences(std::string& text) {
        std::string sentence;
        while (int(text.size()) < target_) {
            bool made = false;
            for (int tries = 0; tries < kSentenceTries && !made; ++tries) made = TrySentence(sentence);
            if (!made) return 2 * int(text.size()) >= target_;
            if (!text.empty()) text += ' ';
            text += sentence;
        }
        return true;
    }

    bool TrySentence(std::string& s) {
        s.clear();
        const std::size_t usedBefore = used_.size();
        if (!BuildSentence(s)) {
            used_.resize(usedBefore);
            return false;
        }
        return true;
    }

    bool BuildSentence(std::string& s) {
        const bool names = !NameIndices().empty();
        const int kind = Random(names ? 9 : 7);
        const Subject subject = kind < 4 ? Subject::NounPhrase : kind < 7 ? Subject::Pronoun : Subject::Name;
        const int tense = Random(kCourseTenseKinds);

        // The subject, whose person the verb takes.
        std::string head;
        int person = 2;
        if (subject == Subject::NounPhrase) {
            bool plural = false;
            if (!AppendNounPhrase(head, plural)) return false;
            person = plural ? 5 : 2;
        } else if (subject == Subject::Pronoun) {
            person = Random(6);
        } else {
            head = Pick(index_.Names(), NameIndices());
        }

        const std::vector<int>& verbs = VerbIndices(tense, person);
        if (verbs.empty()) return false;
        const std::string_view verb = Pick(index_.VerbForms(tense, person), verbs);
        const bool compound = tense == kCourseCompoundPast;
        const std::string_view firstVerbWord = compound ? kHave[person] : verb;
        if (subject == Subject::Pronoun) {
            const Closed* pronoun = ChooseClosed(kPronouns, uint8_t(person), firstVerbWord);
            if (!pronoun) return false;
            head = pronoun->text;
            if (!pronoun->elided) head += ' ';
        } else {
            head += ' ';
        }
        s = head;
        s += firstVerbWord;
        if (compound) {
            s += ' ';
            s += verb;
        }

        // The object: a noun phrase or a first name, then sometimes a second object or a
        // prepositional phrase.
        s += ' ';
        if (!NameIndices().empty() && Random(5) == 0) {
            s += Pick(index_.Names(), NameIndices());
        } else {
            bool plural = false;
            if (!AppendNounPhrase(s, plural)) return false;
        }
        const int more = Random(6);
        if (more == 0 && index_.Typable(kAnd)) {
            std::string extra = " ";
            extra += kAnd;
            extra += ' ';
            bool plural = false;
            if (AppendNounPhrase(extra, plural)) s += extra;
        } else if (more == 1) {
            std::string extra = " ";
            const std::string_view preposition = ChooseWord(kPrepositions);
            bool plural = false;
            if (!preposition.empty()) {
                extra += preposition;
                extra += ' ';
                if (AppendNounPhrase(extra, plural)) s += extra;
            }
        }

        if (index_.Capitals() && !IsUpperLetter(static_cast<unsigned char>(s[0]))) {
            const unsigned char upper = UpperOf(static_cast<unsigned char>(s[0]));
            if (upper == 0 || !index_.Allows(char(upper))) return false;
            s[0] = char(upper);
        }
        if (index_.Period()) s += '.';
        if (sentenceFocus_ && !Holds(s, focus_)) return false;
        return true;
    }

    // Determiner, noun and sometimes an adjective, appended to out; plural tells the
    // number. False when no noun holding the focus has a typable determiner.
    bool AppendNounPhrase(std::string& out, bool& plural) {
        const std::vector<int>& nouns = NounIndices();
        if (nouns.empty()) return false;
        for (int tries = 0; tries < kWordTries; ++tries) {
            const CourseNounForm& noun = index_.NounForms()[std::size_t(PickIndex(index_.NounForms(), nouns))];
            const PhraseAgreement agreement = AgreementOfSlot(noun.slot);
            const uint8_t use = agreement.plural ? kPluralUse : agreement.gender == Gender::Feminine ? 1 : 0;
            const Closed* determiner = ChooseClosed(kDeterminers, use, noun.text);
            if (!determiner) continue;
            plural = agreement.plural;
            out += determiner->text;
            if (!determiner->elided) out += ' ';
            out += noun.text;
            const std::vector<int>& adjectives = AdjectiveIndices(noun.slot);
            if (!adjectives.empty() && Random(3) == 0) {
                out += ' ';
                out += Pick(index_.AdjectiveForms(noun.slot), adjectives);
            }
            return true;
        }
        return false;
    }

    static PhraseAgreement AgreementOfSlot(int slot) {
        return {slot == kFemSg || slot == kFemPl ? Gender::Feminine : Gender::Masculine, slot >= kFemPl};
    }

    // A determiner or pronoun of that use that goes before the word and can be typed, one
    // holding the focus when there is one; null when none fits.
    template <std::size_t N>
    const Closed* ChooseClosed(const Closed (&table)[N], uint8_t use, std::string_view next) {
        const Initial initial = InitialOf(next);
        const Closed* fitting[N];
        int count = 0;
        int holding = 0;
        for (const Closed& c : table) {
            if (c.use != use || !(c.initials & initial) || !index_.Typable(c.text)) continue;
            AddFitting(fitting, count, holding, &c, c.text);
        }
        if (count == 0) return nullptr;
        return fitting[Random(holding > 0 ? holding : count)];
    }

    template <std::size_t N>
    std::string_view ChooseWord(const std::string_view (&words)[N]) {
        std::string_view fitting[N];
        int count = 0;
        int holding = 0;
        for (std::string_view w : words)
            if (index_.Typable(w)) AddFitting(fitting, count, holding, w, w);
        if (count == 0) return {};
        return fitting[Random(holding > 0 ? holding : count)];
    }

    // Adds a fitting closed word to the list; those holding the focus are kept at the
    // front, and only they are drawn from when there are some.
    template <class Item>
    void AddFitting(Item* fitting, int& count, int& holding, Item item, std::string_view text) const {
        if (wordFocus_ && Holds(text, focus_)) {
            if (holding < count) fitting[count] = fitting[holding];
            ++count;
            fitting[holding++] = item;
        } else {
            fitting[count++] = item;
        }
    }

    // The words of a word list; true when invented groups were used.
    bool MakeWordList(std::string& text) {
        const std::vector<int>& words = words_.Of(index_.Words(), focus_, listFocus_);
        const int real = int(words.size());
        const bool invent = listFocus_ && real < kMinRealWords;
        if (real == 0 && !invent) return false;
        if (invent && !HasLetters()) return false;
        while (int(text.size()) < target_) {
            if (!text.empty()) text += ' ';
            if (invent && Random(kMinRealWords) >= real) {
                text += InventedGroup();
            } else {
                text += Pick(index_.Words(), words);
            }
        }
        return invent;
    }

    bool HasLetters() const {
        for (int c = 0; c < 256; ++c)
            if (index_.Allows(char(c)) && IsLowerLetter(static_cast<unsigned char>(c))) return true;
        return false;
    }

    // Two to four allowed lower-case letters, consonants and vowels alternating where both
    // are allowed, one of them the focus.
    std::string InventedGroup() {
        std::vector<char> vowels;
        std::vector<char> consonants;
        for (int c = 0; c < 256; ++c) {
            const unsigned char u = static_cast<unsigned char>(c);
            if (!index_.Allows(char(c)) || !IsLowerLetter(u)) continue;
            (IsVowelLetter(u) ? vowels : consonants).push_back(char(c));
        }
        const unsigned char f = static_cast<unsigned char>(focus_);
        const bool focusUpper = IsUpperLetter(f);
        const bool focusVowel = IsVowelLetter(focusUpper ? static_cast<unsigned char>(f + 0x20) : f);
        const int length = 2 + Random(3);
        bool vowel = Random(2) == 0;
        std::string group;
        for (int i = 0; i < length; ++i, vowel = !vowel) {
            const std::vector<char>& from = (vowel && !vowels.empty()) || consonants.empty() ? vowels : consonants;
            group += from[std::size_t(Random(int(from.size())))];
        }
        // The focus: a capital opens the group; a letter takes a place of its kind.
        if (focusUpper) {
            group[0] = focus_;
        } else if (!Holds(group, focus_)) {
            int place = Random(length);
            for (int i = 0; i < length; ++i) {
                const int at = (place + i) % length;
                if (IsVowelLetter(static_cast<unsigned char>(group[std::size_t(at)])) == focusVowel) {
                    place = at;
                    break;
                }
            }
            group[std::size_t(place)] = focus_;
        }
        return group;
    }

    // The score of a word: the weights of the slow pairs it holds, its boundaries included.
    double PairScore(std::string_view word) const {
        double score = 0;
        char previous = ' ';
        for (std::size_t i = 0; i <= word.size(); ++i) {
            const char c = i < word.size() ? word[i] : ' ';
            for (const CoursePair& pair : pairs_)
                if (pair.first == previous && pair.second == c) score += pair.weight;
            previous = c;
        }
        return score;
    }

    // Index into the pool of a word drawn from the filtered indices: frequent words
    // first, the richest in slow pairs of a few draws, a word not used yet in the
    // text when one comes within a few draws.
    template <class Entry>
    int PickIndex(const std::vector<Entry>& pool, const std::vector<int>& indices) {
        int best = -1;
        for (int tries = 0; tries < kWordTries; ++tries) {
            double bestScore = 0;
            for (int k = 0; k < (pairs_.empty() ? 1 : kCandidates); ++k) {
                const int i = indices[std::size_t(DrawFrequent(int(indices.size())))];
                const double score = pairs_.empty() ? 0 : PairScore(pool[std::size_t(i)].text);
                if (k == 0 || score > bestScore) {
                    best = i;
                    bestScore = score;
                }
            }
            const std::string_view text = pool[std::size_t(best)].text;
            if (std::find(used_.begin(), used_.end(), text.data()) == used_.end()) break;
        }
        used_.push_back(pool[std::size_t(best)].text.data());
        return best;
    }
    template <class Entry>
    std::string_view Pick(const std::vector<Entry>& pool, const std::vector<int>& indices) {
        return pool[std::size_t(PickIndex(pool, indices))].text;
    }

    const std::vector<int>& NounIndices() { return nouns_.Of(index_.NounForms(), focus_, wordFocus_); }
    const std::vector<int>& AdjectiveIndices(int slot) {
        return adjectives_[std::size_t(slot)].Of(index_.AdjectiveForms(slot), focus_, wordFocus_);
    }
    const std::vector<int>& VerbIndices(int tense, int person) {
        return verbs_[std::size_t(tense)][std::size_t(person)].Of(index_.VerbForms(tense, person), focus_, wordFocus_);
    }
    const std::vector<int>& NameIndices() { return names_.Of(index_.Names(), focus_, wordFocus_); }

    const CourseIndex& index_;
    char focus_;
    std::span<const CoursePair> pairs_;
    int target_;
    bool wordFocus_ = false;      // every content word holds the focus
    bool sentenceFocus_ = false;  // every sentence holds it somewhere
    bool listFocus_ = false;      // every word of a word list holds it
    Filtered<CourseForm> words_;
    Filtered<CourseNounForm> nouns_;
    std::array<Filtered<CourseForm>, 4> adjectives_;
    std::array<std::array<Filtered<CourseForm>, 6>, kCourseTenseKinds> verbs_;
    Filtered<CourseForm> names_;
    std::vector<const char*> used_;  // words already in the text, by their storage
};

template <class Entry>
void SortByFrequency(std::vector<Entry>& pool) {
    std::stable_sort(pool.begin(), pool.end(), [](const Entry& a, const Entry& b) {
        if (a.rank != b.rank) return a.rank < b.rank;
        return a.text.size() < b.text.size();
    });
}

}  // namespace

std::span<const std::string_view> CourseClosedWords() { return ClosedWordList(); }

bool CourseIndex::Typable(std::string_view word) const {
    if (word.empty()) return false;
    for (char c : word)
        if (!Allows(c)) return false;
    return true;
}

bool CourseIndex::HasWordsWith(char c, int count) const {
    for (const CourseForm& word : pools_.words)
        if (Holds(word.text, c) && --count <= 0) return true;
    return count <= 0;
}

int CourseIndex::WordsWith(char c) const {
    const auto& words = pools_.words;
    return int(std::count_if(words.begin(), words.end(), [c](const CourseForm& w) { return Holds(w.text, c); }));
}

CourseWords::CourseWords(const Lexicon& lexicon, const WordRanking& ranking) {
    CoursePools& p = pools_;
    // The rank of a form (looked up as rankedAs); the first time, the form joins the
    // word list.
    std::unordered_map<std::string_view, int> seen;
    seen.reserve(std::size_t(lexicon.VerbCount) * kVerbSlotCount +
                 4 * std::size_t(lexicon.NounCount + lexicon.AdjectiveCount));
    const auto take = [&](std::string_view form, std::string_view rankedAs) {
        const auto [entry, fresh] = seen.try_emplace(form, 0);
        if (fresh) {
            entry->second = ranking.Rank(rankedAs);
            p.words.push_back({form, entry->second});
        }
        return entry->second;
    };
    // Forms with a blank would make two words of the text.
    const auto usable = [](std::string_view form) { return !form.empty() && !Holds(form, ' '); };

    for (int v = 1; v <= lexicon.VerbCount; ++v) {
        const VerbEntry& entry = lexicon.Verb(v);
        for (int slot = 0; slot < kVerbSlotCount; ++slot) {
            const std::string_view form = entry.Slots[slot].View();
            if (!usable(form)) continue;
            const int rank = take(form, form);
            if (slot >= kIndicativePresentSlot && slot < kIndicativePresentSlot + 6)
                p.verbs[0][std::size_t(slot - kIndicativePresentSlot)].push_back({form, rank});
            else if (slot >= kImperfectSlot && slot < kImperfectSlot + 6)
                p.verbs[1][std::size_t(slot - kImperfectSlot)].push_back({form, rank});
            else if (slot >= kFutureSlot && slot < kFutureSlot + 6)
                p.verbs[2][std::size_t(slot - kFutureSlot)].push_back({form, rank});
            else if (slot == kPastParticipleMasSgSlot)
                for (auto& pool : p.verbs[kCourseCompoundPast]) pool.push_back({form, rank});
        }
    }
    for (int n = 1; n <= lexicon.NounCount; ++n) {
        const NominalEntry& entry = lexicon.Noun(n);
        const bool odd = IsAmong(entry.Slots[kNominalLemma].View(), kOddNounLemmas);
        for (int slot = kFemSg; slot <= kMasPl; ++slot) {
            const std::string_view form = entry.Slots[slot].View();
            if (!usable(form)) continue;
            const int rank = take(form, form);
            if (!odd) p.nouns.push_back({form, rank, uint8_t(slot)});
        }
    }
    for (int a = 1; a <= lexicon.AdjectiveCount; ++a) {
        const NominalEntry& entry = lexicon.Adjective(a);
        const bool odd = IsAmong(entry.Slots[kNominalLemma].View(), kOddAdjectiveLemmas);
        for (int slot = kFemSg; slot <= kMasPl; ++slot) {
            const std::string_view form = entry.Slots[slot].View();
            if (!usable(form)) continue;
            const int rank = take(form, form);
            if (!odd) p.adjectives[std::size_t(slot)].push_back({form, rank});
        }
    }
    // First names are ranked as the word they spell (the list is in lower case).
    for (const Gender gender : {Gender::Feminine, Gender::Masculine})
        for (int i = 1; i <= lexicon.NameCount(gender); ++i) {
            const std::string_view name = lexicon.Name(gender, i).View();
            if (!usable(name)) continue;
            std::string lower(name);
            if (lower[0] >= 'A' && lower[0] <= 'Z') lower[0] = char(lower[0] - 'A' + 'a');
            p.names.push_back({name, take(name, lower)});
        }
    for (std::string_view word : ClosedWordList())
        if (word.back() != '\'') take(word, word);

    SortByFrequency(p.words);
    SortByFrequency(p.nouns);
    for (auto& pool : p.adjectives) SortByFrequency(pool);
    for (auto& tense : p.verbs)
        for (auto& pool : tense) SortByFrequency(pool);
    SortByFrequency(p.names);
}

CourseIndex::CourseIndex(const CourseWords& words, std::string_view allowed) {
    for (char c : allowed) allowed_[static_cast<unsigned char>(c)] = true;
    allowed_[' '] = true;
    for (int c = 0; c < 256; ++c)
        if (allowed_[std::size_t(c)] && IsUpperLetter(static_cast<unsigned char>(c))) capitals_ = true;

    // The pools keep their order: a filter, no sort.
    const auto keep = [this](const auto& from, auto& to) {
        for (const auto& form : from)
            if (Typable(form.text)) to.push_back(form);
    };
    const CoursePools& all = words.Pools();
    keep(all.words, pools_.words);
    keep(all.nouns, pools_.nouns);
    for (std::size_t slot = 0; slot < 4; ++slot) keep(all.adjectives[slot], pools_.adjectives[slot]);
    for (std::size_t tense = 0; tense < std::size_t(kCourseTenseKinds); ++tense)
        for (std::size_t person = 0; person < 6; ++person)
            if (tense != std::size_t(kCourseCompoundPast) || Typable(kHave[person]))
                keep(all.verbs[tense][person], pools_.verbs[tense][person]);
    keep(all.names, pools_.names);
}

CourseText MakeCourseText(const CourseIndex& index, char focus, std::span<const CoursePair> slowPairs,
                          int targetLength) {
    return LessonMaker(index, focus, slowPairs, targetLength).Make();
}

namespace {

bool IsLetterByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7) || c == 0x8C ||
           c == 0x9C;
}

// A number of one to three allowed digits holding the digit, with no leading zero.
std::string DrillNumber(unsigned char digit, std::string_view allowed) {
    std::string digits;
    for (char c : allowed)
        if (c >= '1' && c <= '9') digits += c;
    std::string number(1, char(digit));
    for (int extra = Random(3); extra > 0 && !digits.empty(); --extra) {
        const char d = digits[std::size_t(Random(int(digits.size())))];
        if (Random(2) == 0)
            number += d;
        else
            number.insert(number.begin(), d);
    }
    if (number.size() > 1 && number[0] == '0') std::swap(number[0], number[1]);
    return number;
}

std::string Enclosed(const std::string& word, std::string_view open, std::string_view close) {
    std::string out(open);
    out += word;
    out += close;
    return out;
}

}  // namespace

std::string AddDrillCharacter(std::string text, unsigned char focus, std::string_view allowed) {
    if (IsLetterByte(focus) || focus == ' ' || text.empty() || text.find(char(focus)) != std::string::npos) return text;
    constexpr char kNoBreak = char(0xA0);
    const bool hasDigits = std::any_of(allowed.begin(), allowed.end(), [](char c) { return c >= '0' && c <= '9'; });
    std::vector<std::string> words;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t blank = text.find(' ', start);
        words.push_back(text.substr(start, blank == std::string::npos ? std::string::npos : blank - start));
        start = blank == std::string::npos ? text.size() : blank + 1;
    }
    const std::string mark(1, char(focus));
    std::string out;
    int untilNext = 1 + Random(2);
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        const bool drill = --untilNext == 0 || (i + 1 == words.size() && out.find(char(focus)) == std::string::npos);
        if (drill) {
            untilNext = 2 + Random(3);
            switch (focus) {
                case ',': word += ","; break;
                case ';':
                case ':':
                case '!':
                case '?':
                    word += kNoBreak;
                    word += mark;
                    break;
                case '-': word += " -"; break;
                case 0xAB:  // « »
                case 0xBB: word = Enclosed(word, "\xAB\xA0", "\xA0\xBB"); break;
                case '"': word = Enclosed(word, "\"", "\""); break;
                case '(':
                case ')': word = Enclosed(word, "(", ")"); break;
                case '[':
                case ']': word = Enclosed(word, "[", "]"); break;
                case '{':
                case '}': word = Enclosed(word, "{", "}"); break;
                default: {
                    // A number before the word; a unit or currency after a number; other signs
                    // on their own between words.
                    const bool unit = focus == '%' || focus == 0x80 || focus == '$' || focus == 0xA3 || focus == 0xB0 ||
                                      focus == 0xB5;
                    std::string before;
                    if (focus >= '0' && focus <= '9') {
                        before = DrillNumber(focus, allowed);
                    } else {
                        if (unit && hasDigits) {
                            before = DrillNumber('1', allowed);
                            before += kNoBreak;
                        }
                        before += mark;
                    }
                    before += ' ';
                    word.insert(0, before);
                }
            }
        }
        if (!out.empty()) out += ' ';
        out += word;
    }
    return out;
}
