// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What a course lesson holds besides its clauses: the punctuation between and around the
// sentences, the numbers of a digit or unit lesson, and the word lists (real words, or
// invented groups for a letter that no word holds).
#include "common/cp1252.h"
#include "generator/course_lesson.h"
#include "generator/course_words.h"
#include "generator/random.h"

using namespace course_words;

namespace course_lesson {

namespace {

constexpr char kNoBreak = char(0xA0);
// A capital's word list keeps the most frequent of its words.
constexpr std::size_t kMaxCapitalWords = 400;

bool IsVowelLetter(unsigned char c) {
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y' ||
           (c >= 0xE0 && c <= 0xFC && c != 0xE7 && c != 0xF0 && c != 0xF1 && c != 0xF7 && c != 0xF8) || c == 0x9C;
}

bool IsUnit(unsigned char c) { return c == '%' || c == 0x80 || c == '$' || c == 0xA3 || c == 0xB0; }  // % € $ £ °

}  // namespace

// The sentences one after the other, each with its period; the focus
// joins two clauses (", " "\xA0; " "\xA0: "), ends a sentence (" !" " ?") or encloses one
// (« », "", (), [], {}).
std::string LessonMaker::JoinSentences(std::vector<Sentence>& sentences) {
    const unsigned char f = static_cast<unsigned char>(focus_);
    // A period ends a sentence that starts with a capital (or a lesson on the period).
    const std::string period = index_.Period() && (index_.Capitals() || focus_ == '.') ? "." : "";
    std::string open;
    std::string close;
    if (bind_ == Bind::Drill) {
        if (f == 0xAB || f == 0xBB) {
            open = "\xAB\xA0";
            close = "\xA0\xBB";
        } else if (f == '"') {
            open = close = "\"";
        } else if (f == '(' || f == ')' || f == '[' || f == ']' || f == '{' || f == '}') {
            const char pair = char(f == '(' || f == ')' ? '(' : f == '[' || f == ']' ? '[' : '{');
            open = std::string(1, pair);
            close = std::string(1, char(pair == '(' ? ')' : pair + 2));
        }
    }
    std::string text;
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        std::string piece = sentences[i].text;
        std::string end = period;
        if (bind_ == Bind::Drill && (f == ',' || f == ';' || f == ':') && i % 2 == 0 && i + 1 < sentences.size()) {
            if (f != ',') piece += kNoBreak;
            piece += char(f);
            piece += ' ';
            Sentence& next = sentences[++i];
            if (next.raised) next.text[0] = char(Cp1252Lower(static_cast<unsigned char>(next.text[0])));
            piece += next.text;
        } else if (bind_ == Bind::Drill && (f == '!' || f == '?') && (i == 0 || Random(3) != 0)) {
            end = std::string{kNoBreak, char(f)};
        } else if (!open.empty() && i % 2 == 0) {
            std::string enclosed = open;
            enclosed += piece;
            enclosed += end;
            enclosed += close;
            piece = std::move(enclosed);
            end.clear();
        }
        if (!text.empty()) text += ' ';
        text += piece;
        text += end;
    }
    return text;
}

std::string LessonMaker::SentenceNumber() const {
    const unsigned char f = static_cast<unsigned char>(focus_);
    const bool digit = f >= '0' && f <= '9';
    if (bind_ != Bind::Drill || (!digit && !IsUnit(f))) return {};
    std::string digits;
    for (char c = '0'; c <= '9'; ++c)
        if (index_.Allows(c)) digits += c;
    return CourseNumber(digit ? f : 0, digits);
}

// A digit's number stands for the determiner ("47 notes"), with % before "des" ("47 % des
// notes"); a price or an angle follows the phrase ("une note de 47 €", "de 45°").
bool LessonMaker::NumberedPhrase(std::string& determiner, std::string& after) const {
    const unsigned char f = static_cast<unsigned char>(focus_);
    if (f >= '0' && f <= '9') {
        determiner = number_ + ' ';
    } else if (f == '%') {
        if (!index_.Typable("des")) return false;
        determiner = number_ + kNoBreak + "% des ";
    } else {
        if (!index_.Typable("de")) return false;
        after = " de " + number_;
        if (f != 0xB0) after += kNoBreak;
        after += char(f);
    }
    return true;
}

// The words of a word list; true when invented groups were used.
bool LessonMaker::MakeWordList(std::string& text) {
    const bool capital = bind_ == Bind::Capital;
    std::vector<std::string> capitals;
    std::vector<CourseForm> capitalForms;
    if (capital) {
        capitals = CapitalWords();
        for (const std::string& w : capitals) capitalForms.push_back({w, int(capitalForms.size())});
    }
    const bool bound = bind_ == Bind::EveryWord || bind_ == Bind::OneWord;
    const std::vector<CourseForm>& pool = capital ? capitalForms : index_.Words();
    const std::vector<int>* indices = bound ? &words_.Of(index_.Words(), focus_) : nullptr;
    const int real = indices ? int(indices->size()) : int(pool.size());
    const unsigned char f = static_cast<unsigned char>(focus_);
    if (real == 0) {
        const bool letter = capital || (bind_ != Bind::None && IsCp1252Lower(f));
        if (!letter || !HasLetters()) return false;
        // No real word holds it: invented groups, every other one a real word when some
        // can be typed.
        const bool mix = !index_.Words().empty();
        for (int n = 0; int(text.size()) < target_; ++n) {
            if (!text.empty()) text += ' ';
            if (mix && n % 2 == 1) {
                int i = PickIndex(index_.Words(), nullptr);
                if (i < 0) {
                    used_.clear();
                    i = PickIndex(index_.Words(), nullptr);
                }
                Use(index_.Words()[std::size_t(i)].text);
                text += index_.Words()[std::size_t(i)].text;
            } else {
                text += InventedGroup();
            }
        }
        return true;
    }
    while (int(text.size()) < target_) {
        int i = PickIndex(pool, indices);
        if (i < 0) {  // every word is in the lesson already: a few words come again
            used_.clear();
            i = PickIndex(pool, indices);
        }
        const std::string_view word = pool[std::size_t(i)].text;
        used_.insert(word);
        lessonWords_.emplace_back(word);
        if (!text.empty()) text += ' ';
        text += word;
    }
    return false;
}

// A capital's real words: those that start with its letter, written as at a sentence
// start ("Œil", "École") with the first names; when they are few, the words that hold the
// letter elsewhere, in capitals ("OÙ", "NOËL").
std::vector<std::string> LessonMaker::CapitalWords() const {
    std::vector<std::string> words;
    for (const CourseForm& form : index_.Words()) {
        if (words.size() >= kMaxCapitalWords) break;
        std::string word(form.text);
        if (word[0] == lower_) word[0] = focus_;
        if (word[0] == focus_) words.push_back(std::move(word));
    }
    if (int(words.size()) >= kMinRealWords) return words;
    for (const CourseForm& form : index_.Words()) {
        if (words.size() >= kMaxCapitalWords) break;
        if (form.text[0] == lower_ || !Holds(form.text, lower_)) continue;
        std::string word(form.text);
        bool typable = true;
        for (char& c : word) {
            const unsigned char upper = Cp1252Upper(static_cast<unsigned char>(c));
            if (upper == 0 && IsCp1252Lower(static_cast<unsigned char>(c))) typable = false;
            if (upper != 0) c = char(upper);
            typable = typable && index_.Allows(c);
        }
        if (typable) words.push_back(std::move(word));
    }
    return words;
}

bool LessonMaker::HasLetters() const {
    for (int c = 0; c < 256; ++c)
        if (index_.Allows(char(c)) && IsCp1252Lower(static_cast<unsigned char>(c))) return true;
    return false;
}

// Two to four allowed lower-case letters, consonants and vowels alternating where both
// are allowed, one of them the focus.
std::string LessonMaker::InventedGroup() {
    std::vector<char> vowels;
    std::vector<char> consonants;
    for (int c = 0; c < 256; ++c) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (!index_.Allows(char(c)) || !IsCp1252Lower(u)) continue;
        (IsVowelLetter(u) ? vowels : consonants).push_back(char(c));
    }
    const unsigned char f = static_cast<unsigned char>(focus_);
    const bool focusUpper = IsCp1252Upper(f);
    const bool focusVowel = IsVowelLetter(static_cast<unsigned char>(lower_));
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

}  // namespace course_lesson
