// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The sentences of a course lesson: subject, verb, object, sometimes a second object or a
// prepositional phrase, with the word that holds the focus where it binds one.
#include <algorithm>

#include "common/cp1252.h"
#include "generator/course_lesson.h"
#include "generator/course_words.h"
#include "generator/noun_phrase.h"
#include "generator/random.h"

using namespace course_words;

namespace course_lesson {

namespace {

// A letter that at least this many typable words hold binds every content word.
constexpr int kEveryWordFocus = 300;
constexpr int kSentenceTries = 40;
// Kinds of subject: a noun phrase (5 draws in 9), a pronoun (2) or a first name (2, when
// one can be typed).
enum class Subject { NounPhrase, Pronoun, Name };

}  // namespace

LessonMaker::LessonMaker(const CourseIndex& index, char focus, std::span<const CoursePair> pairs, int targetLength,
                         CourseVariety* variety)
    : index_(index),
      focus_(focus),
      lower_(char(Cp1252Lower(static_cast<unsigned char>(focus)))),
      pairs_(pairs),
      target_(std::max(targetLength, 1)),
      variety_(variety) {
    // "ça" comes only in lessons on ç, which no other closed word holds.
    const auto holds = [&](const Closed& c) { return Holds(c.text, lower_); };
    rareClosed_ = std::any_of(std::begin(kPronouns), std::end(kPronouns),
                              [&](const Closed& c) { return c.focusOnly && holds(c); }) &&
                  std::none_of(std::begin(kPronouns), std::end(kPronouns),
                               [&](const Closed& c) { return !c.focusOnly && holds(c); }) &&
                  std::none_of(std::begin(kDeterminers), std::end(kDeterminers), holds);
    const unsigned char f = static_cast<unsigned char>(focus);
    if (!index.Allows(focus) || focus == ' ')
        bind_ = Bind::None;
    else if (IsCp1252Upper(f))
        bind_ = CapitalSentences() || !InCapitals() ? Bind::Capital : Bind::OneWord;
    else if (IsCp1252Lower(f))
        bind_ = index.HasWordsWith(focus, kEveryWordFocus) ? Bind::EveryWord : Bind::OneWord;
    else if (focus == '\'' || (focus != '.' && index.HasWordsWith(focus, 1)))
        bind_ = Bind::OneWord;
    else
        bind_ = Bind::Drill;
}

CourseText LessonMaker::Make() {
    ChooseRoles();
    CourseText result;
    std::vector<Sentence> sentences;
    const bool listOnly = (bind_ == Bind::Capital || bind_ == Bind::OneWord) && roles_.empty() && focus_ != '\'';
    if (!listOnly && MakeSentences(sentences)) {
        result.text = JoinSentences(sentences);
        result.sentences = true;
    } else {
        used_.clear();
        lessonWords_.clear();
        if (upper_) {  // the capital's own words, then
            upper_ = false;
            focus_ = shown_;
            bind_ = Bind::Capital;
        }
        result.invented = MakeWordList(result.text);
    }
    if (variety_) variety_->Remember(std::move(lessonWords_));
    return result;
}

bool LessonMaker::HasVerbsWithFocus() {
    for (int tense = 0; tense < kCourseTenseKinds; ++tense)
        for (int person = 0; person < 6; ++person)
            if (!VerbIndices(tense, person, true)->empty()) return true;
    return false;
}

void LessonMaker::ChooseRoles() {
    const auto closedRole = [&](Role role, std::string_view word) {
        if (Holds(word, focus_) && index_.Typable(word)) roles_.push_back(role);
    };
    if (bind_ == Bind::OneWord) {
        if (!NounIndices(true)->empty()) roles_.push_back(Role::Noun);
        if (HasVerbsWithFocus()) roles_.push_back(Role::Verb);
        for (int slot = 0; slot < 6; ++slot)
            if (!AdjectiveIndices(slot, true)->empty()) {
                roles_.push_back(Role::Adjective);
                break;
            }
        if (!NameIndices(true)->empty()) roles_.push_back(Role::Name);
        closedRole(Role::To, kTo);
        closedRole(Role::Where, kWhere);
        closedRole(Role::Already, kAlready);
        closedRole(Role::Here, kHere);
        if (rareClosed_) roles_.push_back(Role::Any);  // "ça" comes as any pronoun
    } else if (bind_ == Bind::Capital) {
        if (!NameIndices(true)->empty()) roles_.push_back(Role::Name);
        if (ClosedWordStarts()) roles_.push_back(Role::Start);
        if (static_cast<unsigned char>(focus_) == 0xC0) roles_.push_back(Role::Fronted);  // À
    }
}

// Whether a typable pronoun or determiner starts with the focus's small letter.
bool LessonMaker::ClosedWordStarts() const {
    const auto starts = [&](const Closed& c) { return c.text[0] == lower_ && index_.Typable(c.text) && Allowed(c); };
    return std::any_of(std::begin(kPronouns), std::end(kPronouns), starts) ||
           std::any_of(std::begin(kDeterminers), std::end(kDeterminers), starts);
}

// Whether a sentence can start with the capital or hold a first name with it.
bool LessonMaker::CapitalSentences() const {
    return static_cast<unsigned char>(focus_) == 0xC0 ||  // À
           ClosedWordStarts() || std::any_of(index_.Names().begin(), index_.Names().end(), [&](const CourseForm& name) {
               return Holds(name.text, focus_);
           });
}

// A capital that no sentence can start with and that starts too few words for a list
// ("Œuvre", no "Œil"), is practised in sentences written in capitals ("SA SŒUR LIT LÀ
// OÙ IL DORT."): the lesson is then one on its small letter, in capitals.
bool LessonMaker::InCapitals() {
    int starting = 0;
    for (const CourseForm& form : index_.Words())
        if (form.text[0] == lower_ && ++starting >= kMinRealWords) return false;
    if (!index_.Allows(lower_) || lower_ == focus_) return false;
    upper_ = true;
    shown_ = focus_;
    focus_ = lower_;
    return true;
}

// Sentences until the text is long enough; false when they stop short of a third of the
// length (the few words that fit are then better practised as a list). Two clauses at
// least when the focus joins two.
bool LessonMaker::MakeSentences(std::vector<Sentence>& sentences) {
    const bool joins = bind_ == Bind::Drill && (focus_ == ',' || focus_ == ';' || focus_ == ':');
    int length = 0;
    while (length < target_ || (joins && sentences.size() < 2)) {
        Sentence sentence;
        bool made = false;
        for (int tries = 0; tries < kSentenceTries && !made; ++tries) {
            role_ = roles_.empty() ? Role::Any : roles_[std::size_t(Random(int(roles_.size())))];
            pending_ = (bind_ == Bind::OneWord || bind_ == Bind::Capital) && role_ != Role::Any;
            sentenceWords_.clear();
            made = BuildSentence(sentence);
            if (!made)
                for (const std::string_view w : sentenceWords_) used_.erase(w);
        }
        if (!made) return 3 * length >= target_ && (!joins || sentences.size() >= 2);
        for (const std::string_view w : sentenceWords_) lessonWords_.emplace_back(w);
        length += int(sentence.text.size()) + 2;
        sentences.push_back(std::move(sentence));
    }
    return true;
}

bool LessonMaker::BuildSentence(Sentence& sentence) {
    std::string& s = sentence.text;
    s.clear();
    number_ = SentenceNumber();
    if (Forced(Role::Here)) {
        // "voilà une note"
        s = kHere;
        s += ' ';
        Bound(Role::Here);
        bool plural = false;
        if (!AppendNounPhrase(s, plural, true)) return false;
    } else if (Forced(Role::Fronted)) {
        // "À sa table, il lit une note."
        s = kTo;
        s += ' ';
        Bound(Role::Fronted);
        bool plural = false;
        afterTo_ = true;
        const bool phrase = AppendNounPhrase(s, plural);
        afterTo_ = false;
        if (!phrase) return false;
        if (index_.Allows(',')) s += ',';
        s += ' ';
        if (!AppendClause(s, false)) return false;
    } else {
        if (!AppendClause(s, true)) return false;
        if (Forced(Role::Where)) {
            // "il lit une note là où elle a vu un rat"
            s += index_.Typable(kThere) && Random(2) == 0 ? " l\xE0 " : " ";
            s += kWhere;
            s += ' ';
            Bound(Role::Where);
            if (!AppendClause(s, false)) return false;
        }
    }
    sentence.raised = false;
    if (upper_) {
        for (char& c : s) {
            const unsigned char upper = Cp1252Upper(static_cast<unsigned char>(c));
            if (upper == 0) continue;
            if (!index_.Allows(char(upper))) return false;
            c = char(upper);
        }
    } else if (index_.Capitals() && !IsCp1252Upper(static_cast<unsigned char>(s[0]))) {
        const unsigned char upper = Cp1252Upper(static_cast<unsigned char>(s[0]));
        if (upper == 0 || !index_.Allows(char(upper))) return false;
        s[0] = char(upper);
        sentence.raised = true;
    }
    if (pending_) return false;
    return bind_ != Bind::OneWord && bind_ != Bind::Capital ? true : Holds(s, upper_ ? shown_ : focus_);
}

// The subject, the verb (with "déjà" where it is due) and the object, then sometimes a
// second object or a prepositional phrase.
bool LessonMaker::AppendClause(std::string& s, bool extras) {
    const bool names = !index_.Names().empty();

    // The subject, whose person the verb takes; a capital focus may ask for its first letter.
    initial_ = s.empty() && Forced(Role::Start) ? lower_ : 0;
    std::string head;
    int person = 2;
    Subject subject = Subject::NounPhrase;
    if (initial_) {
        std::vector<int> persons;
        for (const Closed& c : kPronouns)
            if (c.text[0] == initial_ && index_.Typable(c.text) && Allowed(c) && ChooseTense(c.use) >= 0)
                persons.push_back(c.use);
        const bool determiner = std::any_of(std::begin(kDeterminers), std::end(kDeterminers), [&](const Closed& c) {
            return c.text[0] == initial_ && index_.Typable(c.text);
        });
        const bool name = !NameIndices(true)->empty();
        const int kinds = int(!persons.empty()) + int(determiner) + int(name);
        if (kinds == 0) return false;
        int k = Random(kinds);
        if (!persons.empty() && k-- == 0) {
            subject = Subject::Pronoun;
            person = persons[std::size_t(Random(int(persons.size())))];
        } else if (determiner && k-- == 0) {
            subject = Subject::NounPhrase;
        } else {
            subject = Subject::Name;
        }
        Bound(Role::Start);
    } else if (Forced(Role::Name) && Random(2) == 0) {
        subject = Subject::Name;
    } else {
        const int kind = Random(names ? 9 : 7);
        subject = kind < 5 ? Subject::NounPhrase : kind < 7 ? Subject::Pronoun : Subject::Name;
        if (subject == Subject::Pronoun) {
            person = PronounPerson();
            if (person < 0) return false;
        }
    }
    if (subject == Subject::NounPhrase) {
        // Only a number that has verbs (no "ils" form types without n and t).
        const int numbers = (ChooseTense(2) >= 0 ? kSingular : 0) | (ChooseTense(5) >= 0 ? kPlural : 0);
        const std::size_t before = sentenceWords_.size();
        const bool wasPending = pending_;
        bool plural = false;
        const bool phrase = numbers != 0 && AppendNounPhrase(head, plural, false, numbers);
        if (!phrase) return false;
        person = plural ? 5 : 2;
        // A noun of a recent lesson gives way to a pronoun, where one can be the subject.
        const int pronoun = !initial_ && variety_ && variety_->Recent(sentenceWords_[before]) ? PronounPerson() : -1;
        initial_ = 0;
        if (pronoun >= 0) {
            for (std::size_t w = before; w < sentenceWords_.size(); ++w) used_.erase(sentenceWords_[w]);
            sentenceWords_.resize(before);
            pending_ = wasPending;
            head.clear();
            subject = Subject::Pronoun;
            person = pronoun;
        }
    } else if (subject == Subject::Name) {
        const bool bound = Binds(Role::Name) || initial_;
        const std::string_view name = Pick(index_.Names(), NameIndices(bound));
        initial_ = 0;
        if (name.empty()) return false;
        Use(name);
        head = name;
        if (bound) Bound(Role::Name);
    }

    const int tense = ChooseTense(person);
    if (tense < 0) return false;
    const bool boundVerb = Binds(Role::Verb);
    const std::vector<int>* verbs = VerbIndices(tense, person, boundVerb);
    const std::string_view verb = Pick(index_.VerbForms(tense, person), verbs);
    if (verb.empty()) return false;
    Use(verb);
    if (boundVerb) Bound(Role::Verb);
    const bool compound = tense == kCourseCompoundPast;
    const std::string_view firstVerbWord = compound ? kHave[person] : verb;
    if (subject == Subject::Pronoun) {
        const Closed* pronoun = ChooseClosed(kPronouns, uint8_t(person), firstVerbWord);
        initial_ = 0;
        if (!pronoun) return false;
        head = pronoun->text;
        if (!pronoun->elided) head += ' ';
    } else {
        head += ' ';
    }
    s += head;
    s += firstVerbWord;
    if (Forced(Role::Already)) {
        s += ' ';
        s += kAlready;
        Bound(Role::Already);
    }
    if (compound) {
        s += ' ';
        s += verb;
    }

    // The object: a noun phrase or a first name.
    s += ' ';
    const bool nameObject = Forced(Role::Name) ||
                            (Binds(Role::Name) && !NameIndices(true)->empty() && Random(5) == 0) ||
                            (bind_ != Bind::EveryWord && names && Random(5) == 0);
    if (nameObject && number_.empty()) {
        const bool bound = Binds(Role::Name);
        const std::string_view name = Pick(index_.Names(), NameIndices(bound));
        if (name.empty()) return false;
        Use(name);
        if (bound) Bound(Role::Name);
        s += name;
    } else {
        bool plural = false;
        if (!AppendNounPhrase(s, plural, true)) return false;
    }
    if (!extras) return true;
    const int more = Random(6);
    if (Forced(Role::To) || more == 1) {
        const std::string_view preposition = Forced(Role::To) ? kTo : ChoosePreposition();
        if (preposition.empty()) return true;
        std::string extra = " ";
        extra += preposition;
        extra += ' ';
        bool plural = false;
        afterTo_ = preposition == kTo;
        const bool phrase = AppendNounPhrase(extra, plural);
        afterTo_ = false;
        if (phrase) {
            s += extra;
            if (preposition == kTo) Bound(Role::To);
        }
    } else if (more == 0 && index_.Typable(kAnd)) {
        std::string extra = " ";
        extra += kAnd;
        extra += ' ';
        bool plural = false;
        if (AppendNounPhrase(extra, plural)) s += extra;
    }
    return true;
}

// A person that some typable pronoun and some verb have, at random; -1 for none.
int LessonMaker::PronounPerson() {
    int persons[6];
    int count = 0;
    for (int p = 0; p < 6; ++p)
        if (ChooseTense(p) >= 0 && std::any_of(std::begin(kPronouns), std::end(kPronouns), [&](const Closed& c) {
                return c.use == p && index_.Typable(c.text) && Allowed(c);
            }))
            persons[count++] = p;
    return count == 0 ? -1 : persons[Random(count)];
}

// A tense with a verb for the person (holding the focus when the verb binds it), at
// random, a tense of few verbs less often (they would come back from lesson to lesson);
// -1 for none. Not the future before "déjà" ("il lira déjà").
int LessonMaker::ChooseTense(int person) {
    constexpr int kManyVerbs = 40;
    int weights[kCourseTenseKinds] = {};
    int total = 0;
    const bool bound = Binds(Role::Verb);
    for (int tense = 0; tense < kCourseTenseKinds; ++tense) {
        if (Forced(Role::Already) && tense == 2) continue;
        const std::vector<int>* verbs = VerbIndices(tense, person, bound);
        const int count = verbs ? int(verbs->size()) : int(index_.VerbForms(tense, person).size());
        weights[tense] = std::min(count, kManyVerbs);
        total += weights[tense];
    }
    if (total == 0) return -1;
    int draw = Random(total);
    int tense = 0;
    while (draw >= weights[tense]) draw -= weights[tense++];
    return tense;
}

}  // namespace course_lesson
