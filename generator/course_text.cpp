// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/course_text.h"

#include <algorithm>
#include <unordered_map>

#include "common/cp1252.h"
#include "generator/course_words.h"
#include "generator/noun_phrase.h"
#include "generator/random.h"

using namespace course_words;

namespace {

bool IsVowelLetter(unsigned char c) {
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y' ||
           (c >= 0xE0 && c <= 0xFC && c != 0xE7 && c != 0xF0 && c != 0xF1 && c != 0xF7 && c != 0xF8) || c == 0x9C;
}

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
        const bool letter = index.Allows(focus) && (IsCp1252Lower(f) || IsCp1252Upper(f));
        // A lower-case letter is held by the content words; a capital (or a character
        // that no word holds) only by the sentence somewhere, if it can be.
        wordFocus_ = letter && IsCp1252Lower(f);
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

        if (index_.Capitals() && !IsCp1252Upper(static_cast<unsigned char>(s[0]))) {
            const unsigned char upper = Cp1252Upper(static_cast<unsigned char>(s[0]));
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
            if (index_.Allows(char(c)) && IsCp1252Lower(static_cast<unsigned char>(c))) return true;
        return false;
    }

    // Two to four allowed lower-case letters, consonants and vowels alternating where both
    // are allowed, one of them the focus.
    std::string InventedGroup() {
        std::vector<char> vowels;
        std::vector<char> consonants;
        for (int c = 0; c < 256; ++c) {
            const unsigned char u = static_cast<unsigned char>(c);
            if (!index_.Allows(char(c)) || !IsCp1252Lower(u)) continue;
            (IsVowelLetter(u) ? vowels : consonants).push_back(char(c));
        }
        const unsigned char f = static_cast<unsigned char>(focus_);
        const bool focusUpper = IsCp1252Upper(f);
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

}  // namespace

CourseText MakeCourseText(const CourseIndex& index, char focus, std::span<const CoursePair> slowPairs,
                          int targetLength) {
    return LessonMaker(index, focus, slowPairs, targetLength).Make();
}
