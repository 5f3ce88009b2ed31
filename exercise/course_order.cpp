// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The course's order of keys on a layout, the order of former versions (to read their
// files), and the names a course's files and history rows take.
#include <algorithm>

#include "common/cp1252.h"
#include "exercise/course.h"
#include "stats/history.h"

namespace {

// Share of each letter among the letters of French running text, in percent, accented
// letters counted apart; the table runs from the most frequent.
struct LetterShare {
    std::string_view Letter;  // one Windows-1252 byte
    double Percent;
};
constexpr LetterShare kLetterShares[] = {
    {"e", 14.72},   {"s", 7.95},    {"a", 7.64},    {"i", 7.53},    {"t", 7.24},    {"n", 7.10},    {"r", 6.69},
    {"u", 6.31},    {"o", 5.80},    {"l", 5.46},    {"d", 3.67},    {"c", 3.26},    {"p", 3.02},    {"m", 2.97},
    {"é"_cp, 1.90}, {"v", 1.84},    {"q", 1.36},    {"f", 1.07},    {"b", 0.90},    {"g", 0.87},    {"h", 0.74},
    {"j", 0.55},    {"à"_cp, 0.49}, {"x", 0.39},    {"z", 0.33},    {"è"_cp, 0.27}, {"ê"_cp, 0.22}, {"y", 0.13},
    {"ç"_cp, 0.09}, {"ù"_cp, 0.06}, {"û"_cp, 0.06}, {"â"_cp, 0.05}, {"k", 0.05},    {"w", 0.04},    {"î"_cp, 0.04},
    {"ô"_cp, 0.02}, {"œ"_cp, 0.02}, {"ë"_cp, 0.01}, {"ï"_cp, 0.01}, {"ü"_cp, 0.01},
};
constexpr std::string_view kVowels = "aeiouyéèêàùûâîôœëïü"_cp;

// How near the home row a key is: the home row, then the top row (stronger fingers reach
// up), the bottom row, the digit row; the index fingers' inner column costs a stretch.
constexpr double kRowNearness[kKeyboardRows] = {0.2, 0.55, 1.0, 0.45, 0.0};
constexpr double kStretchNearness = 0.85;
constexpr int kHomeRow = 2;

// After the letters: the capitals of A to Z as one step, É, the other accented capitals
// as one step; then French punctuation, the digits from the index fingers outwards, and
// the symbols. A group of two characters (brackets, guillemets) is one step. The course
// takes the period and the capitals early (CourseOrder); former versions took them here.
struct StepSpec {
    StepKind Kind;
    std::string_view Chars;
    const char* Name;  // nullptr: the characters themselves
    StepSpacing Spacing = StepSpacing::None;
};
constexpr std::string_view kPlainCapitals = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kAccentedCapitals = "ÀÈÙÇÊÂÎÔÛËÏŒÜ"_cp;
constexpr StepSpec kCapitalsStep = {StepKind::Capitals, kPlainCapitals, "majuscules"};
constexpr StepSpec kPeriodStep = {StepKind::Punctuation, ".", nullptr};
constexpr StepSpec kLaterSteps[] = {
    kCapitalsStep,
    {StepKind::Capitals, "É"_cp, nullptr},
    {StepKind::Capitals, kAccentedCapitals, "majuscules accentuées"},
    kPeriodStep,
    {StepKind::Punctuation, ",", nullptr},
    {StepKind::Punctuation, "'", nullptr},
    {StepKind::Punctuation, "-", nullptr},
    {StepKind::Punctuation, ";", nullptr, StepSpacing::NoBreakBefore},
    {StepKind::Punctuation, ":", nullptr, StepSpacing::NoBreakBefore},
    {StepKind::Punctuation, "!", nullptr, StepSpacing::NoBreakBefore},
    {StepKind::Punctuation, "?", nullptr, StepSpacing::NoBreakBefore},
    {StepKind::Punctuation, "«»"_cp, "« »", StepSpacing::NoBreakInside},
    {StepKind::Punctuation, "\"", nullptr},
    {StepKind::Digit, "4", nullptr},
    {StepKind::Digit, "7", nullptr},
    {StepKind::Digit, "5", nullptr},
    {StepKind::Digit, "6", nullptr},
    {StepKind::Digit, "3", nullptr},
    {StepKind::Digit, "8", nullptr},
    {StepKind::Digit, "2", nullptr},
    {StepKind::Digit, "9", nullptr},
    {StepKind::Digit, "1", nullptr},
    {StepKind::Digit, "0", nullptr},
    {StepKind::Symbol, "()", "( )"},
    {StepKind::Symbol, "/", nullptr},
    {StepKind::Symbol, "%", nullptr},
    {StepKind::Symbol, "€"_cp, nullptr},
    {StepKind::Symbol, "&", nullptr},
    {StepKind::Symbol, "+", nullptr},
    {StepKind::Symbol, "=", nullptr},
    {StepKind::Symbol, "*", nullptr},
    {StepKind::Symbol, "_", nullptr},
    {StepKind::Symbol, "@", nullptr},
    {StepKind::Symbol, "#", nullptr},
    {StepKind::Symbol, "°"_cp, nullptr},
    {StepKind::Symbol, "§"_cp, nullptr},
    {StepKind::Symbol, "$", nullptr},
    {StepKind::Symbol, "£"_cp, nullptr},
    {StepKind::Symbol, "[]", "[ ]"},
    {StepKind::Symbol, "{}", "{ }"},
    {StepKind::Symbol, "<>", "< >"},
    {StepKind::Symbol, "|", nullptr},
    {StepKind::Symbol, "\\", nullptr},
    {StepKind::Symbol, "~", nullptr},
    {StepKind::Symbol, "`", nullptr},
    {StepKind::Symbol, "^", nullptr},
    {StepKind::Symbol, "²"_cp, nullptr},
    {StepKind::Symbol, "µ"_cp, nullptr},
};

unsigned char Byte(std::string_view oneChar) { return static_cast<unsigned char>(oneChar.front()); }

bool IsVowel(unsigned char letter) { return kVowels.find(char(letter)) != std::string_view::npos; }

const PhysicalKey* PlainKey(const KeyboardLayout& layout, unsigned char letter) {
    if (!layout.IsPlain(letter)) return nullptr;
    return &PhysicalKeys()[std::size_t(layout.Strokes(letter).front().Place)];
}

bool OnHomeRow(const KeyboardLayout& layout, unsigned char letter) {
    const PhysicalKey* key = PlainKey(layout, letter);
    return key && key->Row == kHomeRow;
}

double Nearness(const KeyboardLayout& layout, unsigned char letter) {
    const PhysicalKey* key = PlainKey(layout, letter);
    if (!key) return 0;  // a letter that takes a dead key or a modifier comes last
    const std::string_view name = key->XkbName;
    const bool stretch = key->Row >= 1 && key->Row <= 3 && (name.ends_with("05") || name.ends_with("06"));
    return kRowNearness[key->Row] * (stretch ? kStretchNearness : 1.0);
}

bool Typable(const KeyboardLayout& layout, std::string_view chars) {
    return std::all_of(chars.begin(), chars.end(), [&](char c) { return !layout.Strokes(uint8_t(c)).empty(); });
}

struct Candidate {
    unsigned char Letter;
    double Score;
};

// The layout's typable letters, the plain ones best first by frequency times nearness,
// then the others by frequency.
std::vector<Candidate> RankedLetters(const KeyboardLayout& layout) {
    std::vector<Candidate> letters;
    for (const LetterShare& share : kLetterShares)
        if (Typable(layout, share.Letter))
            letters.push_back({Byte(share.Letter), share.Percent * Nearness(layout, Byte(share.Letter))});
    std::stable_sort(letters.begin(), letters.end(),
                     [](const Candidate& a, const Candidate& b) { return a.Score > b.Score; });
    return letters;
}

bool Holds(const std::vector<unsigned char>& letters, unsigned char letter) {
    return std::find(letters.begin(), letters.end(), letter) != letters.end();
}

// The start: the letters of the keys with the bumps, the vowels nearest to the home row,
// then the best letters of the home row (others only when it has too few).
std::vector<unsigned char> StartLetters(const KeyboardLayout& layout, const std::vector<Candidate>& ranked) {
    std::vector<unsigned char> start;
    for (const PhysicalKey& key : PhysicalKeys()) {
        const unsigned char letter = static_cast<unsigned char>(layout.ByteAt(int(&key - PhysicalKeys().data()), 0));
        const bool known = std::any_of(ranked.begin(), ranked.end(),
                                       [&](const Candidate& c) { return c.Letter == letter && c.Score > 0; });
        if (key.HomeBump && known && !Holds(start, letter)) start.push_back(letter);
    }
    auto add = [&](auto&& fits) {
        for (const Candidate& c : ranked) {
            if (c.Score <= 0 || Holds(start, c.Letter) || !fits(c.Letter)) continue;
            start.push_back(c.Letter);
            return true;
        }
        return false;
    };
    while (std::count_if(start.begin(), start.end(), IsVowel) < kStartVowels && add(IsVowel)) {}
    while (int(start.size()) < kStartLetters &&
           (add([&](unsigned char c) { return OnHomeRow(layout, c); }) || add([](unsigned char) { return true; }))) {}
    return start;
}

// The six start letters of former versions: the best by frequency times nearness, with at
// least two vowels and two consonants.
std::vector<unsigned char> FormerStartLetters(const std::vector<Candidate>& ranked) {
    constexpr int kFormerStart = 6;
    std::vector<Candidate> chosen;
    for (const Candidate& c : ranked)
        if (c.Score > 0 && int(chosen.size()) < kFormerStart) chosen.push_back(c);
    for (const bool vowel : {true, false}) {
        auto ofKind = [vowel](const Candidate& c) { return IsVowel(c.Letter) == vowel; };
        for (const Candidate& extra : ranked) {
            const auto have = std::count_if(chosen.begin(), chosen.end(), ofKind);
            if (extra.Score <= 0 || have >= 2 || std::ptrdiff_t(chosen.size()) - have <= 2) break;
            if (!ofKind(extra) ||
                std::any_of(chosen.begin(), chosen.end(), [&](const Candidate& c) { return c.Letter == extra.Letter; }))
                continue;
            *std::find_if(chosen.rbegin(), chosen.rend(), [&](const Candidate& c) { return !ofKind(c); }) = extra;
            std::stable_sort(chosen.begin(), chosen.end(),
                             [](const Candidate& a, const Candidate& b) { return a.Score > b.Score; });
        }
    }
    std::vector<unsigned char> letters;
    letters.reserve(chosen.size());
    for (const Candidate& c : chosen) letters.push_back(c.Letter);
    return letters;
}

CourseStep MakeStep(StepKind kind, std::string chars, const char* name = nullptr,
                    StepSpacing spacing = StepSpacing::None) {
    CourseStep step{kind, std::move(chars), {}, spacing};
    step.Name = name ? std::string(name) : Cp1252ToUtf8(step.Chars);
    return step;
}

void AddLetter(std::vector<CourseStep>& order, unsigned char letter) {
    order.push_back(MakeStep(StepKind::Letter, std::string(1, char(letter))));
}

// A step of the table as the layout types it: a group of capitals keeps those of the
// letters the layout types; nothing when the layout cannot type it.
void AddSpec(std::vector<CourseStep>& order, const KeyboardLayout& layout, const StepSpec& spec) {
    std::string chars;
    if (spec.Kind == StepKind::Capitals && spec.Chars.size() > 1) {
        for (const char capital : spec.Chars) {
            const unsigned char small = static_cast<unsigned char>(capital) == 0x8C
                                            ? 0x9C  // Œ œ
                                            : static_cast<unsigned char>(capital) | 0x20;
            if (Typable(layout, std::string_view(reinterpret_cast<const char*>(&small), 1)) &&
                Typable(layout, std::string_view(&capital, 1)))
                chars += capital;
        }
    } else if (Typable(layout, spec.Chars)) {
        chars = spec.Chars;
    }
    if (!chars.empty()) order.push_back(MakeStep(spec.Kind, std::move(chars), spec.Name, spec.Spacing));
}

// The start, the other letters in the ranking, the steps after the letters; the period
// and the capitals after `sentencesAfter` letters (never, for a negative count).
std::vector<CourseStep> MakeOrder(const KeyboardLayout& layout, const std::vector<unsigned char>& start,
                                  const std::vector<Candidate>& ranked, int sentencesAfter) {
    std::vector<CourseStep> order;
    order.reserve(ranked.size() + std::size(kLaterSteps));
    for (const unsigned char letter : start) AddLetter(order, letter);
    auto sentences = [&] {
        if (int(order.size()) != sentencesAfter) return;
        AddSpec(order, layout, kPeriodStep);
        AddSpec(order, layout, kCapitalsStep);
    };
    sentences();
    for (const Candidate& c : ranked) {
        if (Holds(start, c.Letter)) continue;
        AddLetter(order, c.Letter);
        sentences();
    }
    for (const StepSpec& spec : kLaterSteps) {
        const bool taken = sentencesAfter >= 0 && (spec.Chars == kPlainCapitals || spec.Chars == kPeriodStep.Chars);
        if (!taken || int(order.size()) <= sentencesAfter) AddSpec(order, layout, spec);
    }
    return order;
}

}  // namespace

std::vector<CourseStep> CourseOrder(const KeyboardLayout& layout) {
    const std::vector<Candidate> ranked = RankedLetters(layout);
    return MakeOrder(layout, StartLetters(layout, ranked), ranked, kLettersBeforeSentences);
}

std::vector<CourseStep> FormerCourseOrder(const KeyboardLayout& layout) {
    std::vector<Candidate> ranked = RankedLetters(layout);
    const std::vector<unsigned char> start = FormerStartLetters(ranked);
    // After the start, former versions took the letters by frequency alone.
    std::stable_sort(ranked.begin(), ranked.end(), [](const Candidate& a, const Candidate& b) {
        auto rank = [](const Candidate& c) {
            return std::find_if(std::begin(kLetterShares), std::end(kLetterShares),
                                [&](const LetterShare& s) { return Byte(s.Letter) == c.Letter; }) -
                   std::begin(kLetterShares);
        };
        return rank(a) < rank(b);
    });
    return MakeOrder(layout, start, ranked, -1);
}

std::string LessonLevel(const CourseStep& step) { return LessonLevelText(step.Name); }

std::string CourseFileName(const LayoutName& name) {
    // The record's name with its layout part kept: "progression1_9-bepo.dat" -> "cours-bepo.txt".
    constexpr std::string_view kRecordStem = "progression1_9";
    constexpr std::string_view kRecordExtension = ".dat";
    const std::string record = RecordFileName(name);
    const std::string layoutPart =
        record.substr(kRecordStem.size(), record.size() - kRecordStem.size() - kRecordExtension.size());
    return "cours" + layoutPart + ".txt";
}
