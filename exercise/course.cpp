// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/course.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <limits>

#include "common/cp1252.h"
#include "common/file_descriptor.h"
#include "common/io_error.h"
#include "common/rounding.h"
#include "common/safe_file.h"
#include "common/text_lines.h"
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

// How near the home row a key is, for choosing the start letters: the home row, then the
// top row (stronger fingers reach up), the bottom row, the digit row; the index fingers'
// inner column costs a stretch.
constexpr double kRowNearness[kKeyboardRows] = {0.2, 0.55, 1.0, 0.45, 0.0};
constexpr double kStretchNearness = 0.85;

// After the letters: the capitals of A to Z as one step, É, the other accented capitals
// as one step; then French punctuation, the digits from the index fingers outwards, and
// the symbols. A group of two characters (brackets, guillemets) is one step.
struct StepSpec {
    StepKind Kind;
    std::string_view Chars;
    const char* Name;  // nullptr: the characters themselves
    StepSpacing Spacing = StepSpacing::None;
};
constexpr std::string_view kPlainCapitals = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kAccentedCapitals = "ÀÈÙÇÊÂÎÔÛËÏŒÜ"_cp;
constexpr StepSpec kLaterSteps[] = {
    {StepKind::Capitals, kPlainCapitals, "majuscules"},
    {StepKind::Capitals, "É"_cp, nullptr},
    {StepKind::Capitals, kAccentedCapitals, "majuscules accentuées"},
    {StepKind::Punctuation, ".", nullptr},
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

// Words of 6 characters, as WordsPerMinute counts them.
constexpr double kCharactersPerWord = 6;
constexpr double kMsPerMinute = 60000;
constexpr std::size_t kMaxStateBytes = 1 << 20;

unsigned char Byte(std::string_view oneChar) { return static_cast<unsigned char>(oneChar.front()); }

double Nearness(const KeyboardLayout& layout, unsigned char letter) {
    if (!layout.IsPlain(letter)) return 0;  // a start letter is one plain key
    const PhysicalKey& key = PhysicalKeys()[std::size_t(layout.Strokes(letter).front().Place)];
    const std::string_view name = key.XkbName;
    const bool stretch = key.Row >= 1 && key.Row <= 3 && (name.ends_with("05") || name.ends_with("06"));
    return kRowNearness[key.Row] * (stretch ? kStretchNearness : 1.0);
}

bool IsVowel(unsigned char letter) { return kVowels.find(char(letter)) != std::string_view::npos; }

// The start letters: the best by frequency times nearness, with at least two vowels and
// two consonants so that words can be made; best first.
std::vector<unsigned char> StartLetters(const KeyboardLayout& layout) {
    struct Candidate {
        unsigned char Letter;
        double Score;
    };
    std::vector<Candidate> candidates;
    for (const LetterShare& share : kLetterShares) {
        const double score = share.Percent * Nearness(layout, Byte(share.Letter));
        if (score > 0) candidates.push_back({Byte(share.Letter), score});
    }
    auto byScore = [](const Candidate& a, const Candidate& b) { return a.Score > b.Score; };
    std::stable_sort(candidates.begin(), candidates.end(), byScore);
    const std::size_t count = std::min<std::size_t>(kStartLetters, candidates.size());
    std::vector<Candidate> chosen(candidates.begin(), candidates.begin() + std::ptrdiff_t(count));
    for (const bool vowel : {true, false}) {
        auto ofKind = [vowel](const Candidate& c) { return IsVowel(c.Letter) == vowel; };
        for (const Candidate& extra : candidates) {
            const auto have = std::count_if(chosen.begin(), chosen.end(), ofKind);
            if (have >= 2 || std::ptrdiff_t(chosen.size()) - have <= 2) break;
            if (!ofKind(extra) ||
                std::any_of(chosen.begin(), chosen.end(), [&](const Candidate& c) { return c.Letter == extra.Letter; }))
                continue;
            // The weakest letter of the other kind makes room.
            *std::find_if(chosen.rbegin(), chosen.rend(), [&](const Candidate& c) { return !ofKind(c); }) = extra;
            std::stable_sort(chosen.begin(), chosen.end(), byScore);
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

bool Typable(const KeyboardLayout& layout, std::string_view chars) {
    return std::all_of(chars.begin(), chars.end(), [&](char c) { return !layout.Strokes(uint8_t(c)).empty(); });
}

// A whole number of the file: digits only, within the type.
template <class Int>
std::optional<Int> ParseNumber(std::string_view text) {
    Int value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || text.front() == '-')
        return std::nullopt;
    return value;
}

}  // namespace

std::vector<CourseStep> CourseOrder(const KeyboardLayout& layout) {
    std::vector<CourseStep> order;
    order.reserve(std::size(kLetterShares) + std::size(kLaterSteps));
    const std::vector<unsigned char> start = StartLetters(layout);
    for (const unsigned char letter : start) order.push_back(MakeStep(StepKind::Letter, std::string(1, char(letter))));
    for (const LetterShare& share : kLetterShares)
        if (std::find(start.begin(), start.end(), Byte(share.Letter)) == start.end() && Typable(layout, share.Letter))
            order.push_back(MakeStep(StepKind::Letter, std::string(share.Letter)));
    for (const StepSpec& spec : kLaterSteps) {
        std::string chars;
        if (spec.Kind == StepKind::Capitals && spec.Chars.size() > 1) {
            // A group of capitals: those of the letters learned that the layout types.
            for (const char capital : spec.Chars) {
                const unsigned char small = static_cast<unsigned char>(capital) == 0x8C
                                                ? 0x9C  // Œ œ
                                                : static_cast<unsigned char>(capital) | 0x20;
                const bool learned = std::any_of(order.begin(), order.end(), [&](const CourseStep& s) {
                    return s.Kind == StepKind::Letter && Byte(s.Chars) == small;
                });
                if (learned && Typable(layout, std::string_view(&capital, 1))) chars += capital;
            }
        } else if (Typable(layout, spec.Chars)) {
            chars = spec.Chars;
        }
        if (!chars.empty()) order.push_back(MakeStep(spec.Kind, std::move(chars), spec.Name, spec.Spacing));
    }
    return order;
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

std::string CourseLoadResult::Message() const {
    switch (State) {
        case Status::PartlyRead:
            return "Le fichier du cours « " + Path + " » était en partie endommagé : " + std::to_string(SkippedLines) +
                   (SkippedLines > 1 ? " lignes illisibles ont été ignorées" : " ligne illisible a été ignorée") +
                   ", le reste du cours a été repris.";
        case Status::Unreadable:
            return "Le fichier du cours « " + Path +
                   " » ne peut pas être lu : il est laissé tel quel et le cours ne sera pas enregistré tant qu'il ne "
                   "pourra pas être lu.";
        default: return {};
    }
}

Course::Course(const KeyboardLayout& layout) : layout_(layout.Name()), order_(CourseOrder(layout)) {
    stepOfChar_.fill(-1);
    for (std::size_t i = 0; i < order_.size(); ++i)
        for (const char c : order_[i].Chars) stepOfChar_[uint8_t(c)] = int16_t(i);
    startCount_ = int(
        std::count_if(order_.begin(), order_.end(), [](const CourseStep& s) { return s.Kind == StepKind::Letter; }));
    startCount_ = std::min(startCount_, kStartLetters);
    unlocked_ = startCount_;
    recent_.resize(order_.size());
}

std::array<bool, 256> Course::Unlocked() const {
    std::array<bool, 256> allowed{};
    allowed[' '] = true;
    allowed[0xA0] = true;
    for (int i = 0; i < unlocked_; ++i)
        for (const char c : order_[std::size_t(i)].Chars) allowed[uint8_t(c)] = true;
    return allowed;
}

int Course::Focus() const {
    int focus = -1;
    CourseKeyFigures focusFigures;
    for (int i = 0; i < unlocked_; ++i) {
        const CourseKeyFigures figures = Figures(i);
        // Later steps win ties: the last learned needs the practice most.
        auto before = [](const CourseKeyFigures& a, const CourseKeyFigures& b) {
            if (a.Ready() != b.Ready()) return !a.Ready();
            if ((a.MedianMs > 0) != (b.MedianMs > 0)) return a.MedianMs <= 0;
            if (a.MedianMs != b.MedianMs) return a.MedianMs > b.MedianMs;
            return a.Samples <= b.Samples;
        };
        if (focus < 0 || before(figures, focusFigures)) {
            focus = i;
            focusFigures = figures;
        }
    }
    return focus;
}

void Course::AddSample(int step, Sample sample) {
    std::vector<Sample>& recent = recent_[std::size_t(step)];
    if (recent.size() >= std::size_t(kRecentKeystrokes)) recent.erase(recent.begin());
    recent.push_back(sample);
}

void Course::Record(unsigned char ch, int32_t intervalMs, bool firstAttempt) {
    const int step = StepOf(ch);
    if (step < 0) return;
    AddSample(step, {uint16_t(std::clamp<int32_t>(intervalMs, 0, std::numeric_limits<uint16_t>::max())), firstAttempt});
}

std::optional<int> Course::EndLesson() {
    if (lessons_ < std::numeric_limits<int>::max()) ++lessons_;
    if (NextToUnlock() < 0) return std::nullopt;
    for (int i = 0; i < unlocked_; ++i)
        if (!Figures(i).Ready()) return std::nullopt;
    return unlocked_++;
}

bool Course::UnlockNext() {
    if (NextToUnlock() < 0) return false;
    ++unlocked_;
    return true;
}

bool Course::GoBack() {
    if (unlocked_ <= startCount_) return false;
    --unlocked_;
    return true;
}

void Course::SetTarget(int wpm) { target_ = std::clamp(wpm, kMinTargetWpm, kMaxTargetWpm); }

double Course::TargetIntervalMs() const { return kMsPerMinute / (kCharactersPerWord * target_); }

CourseKeyFigures Course::Figures(int step) const {
    CourseKeyFigures figures;
    if (step < 0 || step >= int(recent_.size())) return figures;
    const std::vector<Sample>& recent = recent_[std::size_t(step)];
    std::vector<uint16_t> intervals;
    int first = 0;
    for (const Sample& k : recent) {
        if (k.IntervalMs > 0) intervals.push_back(k.IntervalMs);
        first += k.FirstAttempt ? 1 : 0;
    }
    figures.Samples = int(recent.size());
    if (!intervals.empty()) {
        std::sort(intervals.begin(), intervals.end());
        const std::size_t middle = intervals.size() / 2;
        figures.MedianMs = intervals.size() % 2 ? intervals[middle] : (intervals[middle - 1] + intervals[middle]) / 2.0;
        figures.Wpm = RoundHalfEven(kMsPerMinute / (kCharactersPerWord * figures.MedianMs));
    }
    if (!recent.empty()) figures.AccuracyPercent = 100.0 * first / double(recent.size());
    figures.Enough = figures.Samples >= kMinKeystrokes;
    figures.Fast = figures.MedianMs > 0 && figures.MedianMs <= TargetIntervalMs() + 1e-9;
    figures.Accurate = figures.AccuracyPercent >= kMinAccuracyPercent - 1e-9;
    return figures;
}

std::string Course::Path(const std::string& folder) const { return folder + "/" + CourseFileName(layout_); }

std::string Course::StateText() const {
    std::string text =
        "# Cours de Clavelle : disposition du clavier, objectif (mots de 6 caractères par minute), leçons faites,\n"
        "# touches débloquées, puis les dernières frappes de chaque touche : l'intervalle en ms depuis le caractère\n"
        "# précédent (0 : aucun), suivi de * quand une faute l'a précédée.\n";
    text += "disposition=" + layout_.Text() + "\n";
    text += "objectif=" + std::to_string(target_) + "\n";
    text += "leçons=" + std::to_string(lessons_) + "\n";
    text += "débloquées=" + std::to_string(unlocked_) + "\n";
    for (std::size_t i = 0; i < order_.size(); ++i) {
        if (recent_[i].empty()) continue;
        text += "touche=" + Cp1252ToUtf8(order_[i].Chars.substr(0, 1));
        for (const Sample& k : recent_[i]) text += " " + std::to_string(k.IntervalMs) + (k.FirstAttempt ? "" : "*");
        text += "\n";
    }
    return text;
}

int Course::ReadStateText(std::string_view text) {
    unlocked_ = startCount_;
    target_ = kDefaultTargetWpm;
    lessons_ = 0;
    for (std::vector<Sample>& recent : recent_) recent.clear();
    int skipped = 0;
    while (!text.empty()) {
        std::string_view line = TakeLine(text);
        if (line.empty() || line.front() == '#') continue;
        const std::size_t equals = line.find('=');
        const std::string_view name = line.substr(0, equals);
        const std::string_view value = equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
        bool valid = equals != std::string_view::npos;
        if (!valid) {
        } else if (name == "disposition") {
            // Informative: the file's name already tells the layout.
        } else if (name == "objectif" || name == "leçons" || name == "débloquées") {
            const std::optional<int> number = ParseNumber<int>(value);
            valid = number.has_value();
            if (!valid) {
            } else if (name == "objectif") {
                SetTarget(*number);
            } else if (name == "leçons") {
                lessons_ = *number;
            } else {
                unlocked_ = std::clamp(*number, startCount_, int(order_.size()));
            }
        } else if (name == "touche") {
            const std::size_t blank = value.find(' ');
            const std::string_view key = value.substr(0, blank);
            const std::string ch = FitsCp1252(key) ? Utf8ToCp1252(key) : std::string();
            const int step = ch.size() == 1 ? StepOf(uint8_t(ch[0])) : -1;
            valid = step >= 0;
            if (valid) recent_[std::size_t(step)].clear();
            std::string_view rest = blank == std::string_view::npos ? std::string_view() : value.substr(blank + 1);
            while (valid && !rest.empty()) {
                const std::size_t next = rest.find(' ');
                std::string_view token = rest.substr(0, next);
                rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
                const bool afterError = !token.empty() && token.back() == '*';
                if (afterError) token.remove_suffix(1);
                const std::optional<uint16_t> interval = ParseNumber<uint16_t>(token);
                valid = interval.has_value();
                if (valid) AddSample(step, {*interval, !afterError});
            }
        } else {
            valid = false;
        }
        skipped += valid ? 0 : 1;
    }
    return skipped;
}

CourseLoadResult Course::Load(const std::string& folder) {
    CourseLoadResult result;
    result.Path = Path(folder);
    saveRefused_ = false;
    const std::optional<std::string> text = ReadSmallFile(result.Path, kMaxStateBytes);
    if (text) {
        result.SkippedLines = ReadStateText(*text);
        result.State = result.SkippedLines ? CourseLoadResult::Status::PartlyRead : CourseLoadResult::Status::Read;
        return result;
    }
    struct stat info {};
    if (::stat(result.Path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) return result;
    // Something stands at the file's name that cannot be read: never replace it.
    FileDescriptor file(::open(result.Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    refusedCode_ = file.get() < 0 ? IoCodeFromErrno(errno) : S_ISREG(info.st_mode) ? EIO : kIoNotRegularFile;
    saveRefused_ = true;
    result.State = CourseLoadResult::Status::Unreadable;
    return result;
}

void Course::Save(const std::string& folder) const {
    const std::string path = Path(folder);
    if (saveRefused_) throw IoError(refusedCode_, path);
    const std::string text = StateText();
    NamingFile(path, [&] { SaveFileSafely(path, text.data(), text.size()); });
}
