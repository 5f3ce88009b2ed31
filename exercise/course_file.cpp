// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The course's state file: its text, its reading (the files of former versions too), and
// its loading and saving by the rules of the program's other files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>

#include "common/cp1252.h"
#include "common/file_descriptor.h"
#include "common/file_io.h"
#include "common/io_error.h"
#include "common/rounding.h"
#include "common/safe_file.h"
#include "common/text_lines.h"
#include "exercise/course.h"

namespace {

constexpr std::size_t kMaxStateBytes = 1 << 20;
constexpr int kMaxLessonWpm = 1000;

// A whole number of the file: digits only, within the type.
template <class Int>
std::optional<Int> ParseNumber(std::string_view text) {
    Int value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || text.front() == '-')
        return std::nullopt;
    return value;
}

// The first blank-separated word of `rest`, taken off it.
std::string_view NextWord(std::string_view& rest) {
    const std::size_t blank = rest.find(' ');
    const std::string_view word = rest.substr(0, blank);
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    return word;
}

// The Windows-1252 characters of a word of the file (UTF-8), none of them a blank or a
// control character; nothing when it has another.
std::optional<std::string> Characters(std::string_view utf8) {
    if (utf8.empty() || !FitsCp1252(utf8)) return std::nullopt;
    std::string chars = Utf8ToCp1252(utf8);
    if (std::any_of(chars.begin(), chars.end(), [](char c) { return uint8_t(c) <= 0x20 || uint8_t(c) == 0x7F; }))
        return std::nullopt;
    return chars;
}

const char* const kNbsp = "\u00A0";

std::string Quoted(const std::string& path) { return std::string("«") + kNbsp + path + kNbsp + "»"; }

}  // namespace

std::string CourseLoadResult::Message() const {
    const std::string file = "Le fichier du cours " + Quoted(Path);
    const std::string semicolon = std::string(kNbsp) + "; ";
    const std::string notKept = semicolon + "il n'a pas pu être mis de côté (" + IoErrorText(AsideError) + ")" + kNbsp +
                                ": il est laissé tel quel et le cours ne sera pas enregistré tant qu'il sera là.";
    switch (State) {
        case Status::PartlyRead:
            return file + " était en partie endommagé" + kNbsp + ": " + std::to_string(SkippedLines) +
                   (SkippedLines > 1 ? " lignes illisibles ont été ignorées" : " ligne illisible a été ignorée") +
                   ", le reste du cours a été repris" +
                   (AsideError ? notKept
                               : semicolon + "une copie du fichier est conservée sous le nom " + Quoted(Aside) + ".");
        case Status::TooBig:
            return file + " est trop gros pour être un fichier du cours (plus de 1" + kNbsp + "Mo)" +
                   (AsideError ? notKept
                               : semicolon + "il a été mis de côté, sans être effacé, sous le nom " + Quoted(Aside) +
                                     ", et le cours reprend au début.");
        case Status::Unreadable:
            return file + " ne peut pas être lu" + kNbsp +
                   ": il est laissé tel quel et le cours ne sera pas enregistré tant qu'il ne pourra pas être lu.";
        default: return {};
    }
}

std::string Course::Path(const std::string& folder) const { return folder + "/" + CourseFileName(layout_); }

std::string Course::StateText() const {
    std::string text =
        "# Cours de Clavelle : disposition du clavier, objectif (mots de 6 caractères par minute), leçons faites,\n"
        "# touches apprises (leurs caractères), vitesse (mots par minute) et part des caractères justes du premier\n"
        "# coup (%) de la dernière leçon, puis les dernières frappes de chaque touche : l'intervalle en ms depuis le\n"
        "# caractère précédent (0 : aucun), suivi de * quand une faute l'a précédée.\n";
    text += "disposition=" + layout_.Text() + "\n";
    text += "objectif=" + std::to_string(target_) + "\n";
    text += "leçons=" + std::to_string(lessons_) + "\n";
    // The characters of each step learned, then those this variant of the layout lacks.
    std::string learned;
    for (std::size_t i = 0; i < order_.size(); ++i)
        if (unlocked_[i]) learned.append(learned.empty() ? "" : " ").append(order_[i].Chars);
    for (const char c : foreignUnlocked_) learned.append(learned.empty() ? "" : " ").append(1, c);
    text.append("apprises=").append(Cp1252ToUtf8(learned)).append("\n");
    if (previous_) {
        text.append("précédente=")
            .append(std::to_string(previous_->Wpm))
            .append(" ")
            .append(OneDecimalText(previous_->FirstAttemptPercent));
        text += '\n';
    }
    auto keyLine = [&](char ch, const std::vector<Sample>& recent) {
        text.append("touche=").append(Cp1252ToUtf8(std::string(1, ch)));
        for (const Sample& k : recent)
            text.append(" ").append(std::to_string(k.IntervalMs)).append(k.FirstAttempt ? "" : "*");
        text += '\n';
    };
    // The keystrokes of a lesson under way as a cut would keep them: a save (the window
    // closed mid-lesson) loses nothing typed.
    std::vector<std::vector<Sample>> kept = recent_;
    for (const Keystroke& k : pending_)
        if (StepOf(k.Char) >= 0) AddSample(kept[std::size_t(StepOf(k.Char))], k.Stroke);
    for (std::size_t i = 0; i < order_.size(); ++i)
        if (!kept[i].empty()) keyLine(order_[i].Chars[0], kept[i]);
    for (const auto& [ch, recent] : foreignRecent_) keyLine(char(ch), recent);
    return text;
}

bool Course::ReadUnlocked(std::string_view value) {
    while (!value.empty()) {
        const std::optional<std::string> chars = Characters(NextWord(value));
        if (!chars) return false;
        for (const char c : *chars) {
            const int step = StepOf(uint8_t(c));
            if (step >= 0) {
                SetUnlocked(step, true);
            } else if (foreignUnlocked_.find(c) == std::string::npos) {
                foreignUnlocked_ += c;  // a character this variant of the layout lacks
            }
        }
    }
    return true;
}

bool Course::ReadPrevious(std::string_view value) {
    const std::optional<int> wpm = ParseNumber<int>(NextWord(value));
    double percent = -1;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), percent);
    if (!wpm || error != std::errc() || end != value.data() + value.size() || !(percent >= 0 && percent <= 100))
        return false;
    previous_ = LessonFigures{0, std::min(*wpm, kMaxLessonWpm), percent};
    return true;
}

bool Course::ReadSamples(std::string_view value) {
    const std::optional<std::string> key = Characters(NextWord(value));
    if (!key || key->size() != 1) return false;
    const int step = StepOf(uint8_t((*key)[0]));
    // A key this variant of the layout cannot type keeps its keystrokes for the others.
    std::vector<Sample>& recent = step >= 0 ? recent_[std::size_t(step)] : foreignRecent_[uint8_t((*key)[0])];
    recent.clear();
    while (!value.empty()) {
        std::string_view token = NextWord(value);
        const bool afterError = !token.empty() && token.back() == '*';
        if (afterError) token.remove_suffix(1);
        const std::optional<uint16_t> interval = ParseNumber<uint16_t>(token);
        if (!interval) return false;
        AddSample(recent, {*interval, !afterError});
    }
    return true;
}

int Course::ReadStateText(std::string_view text) {
    ResetState();
    int skipped = 0;
    while (!text.empty()) {
        const std::string_view line = TakeLine(text);
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
                // Former versions counted the steps of their order, on this layout.
                for (int i = 0; i < std::min(*number, int(formerChars_.size())); ++i)
                    for (const char c : formerChars_[std::size_t(i)])
                        if (StepOf(uint8_t(c)) >= 0) SetUnlocked(StepOf(uint8_t(c)), true);
            }
        } else if (name == "apprises") {
            valid = ReadUnlocked(value);
        } else if (name == "précédente") {
            valid = ReadPrevious(value);
        } else if (name == "touche") {
            valid = ReadSamples(value);
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
    // Through a symbolic link, the file it leads to is the course's, as for the record.
    const std::string target = ResolveLinks(result.Path);
    RemoveLeftTemporaries(target);
    const std::optional<std::string> text = ReadSmallFile(result.Path, kMaxStateBytes);
    if (text) {
        result.SkippedLines = ReadStateText(*text);
        result.State = result.SkippedLines ? CourseLoadResult::Status::PartlyRead : CourseLoadResult::Status::Read;
        if (!result.SkippedLines) return result;
        // The next save drops what could not be read: a copy of the file is kept first.
        try {
            result.Aside = AsideName(target);
            SaveFileSafely(result.Aside, text->data(), text->size());
        } catch (const IoError& error) {
            result.Aside.clear();
            result.AsideError = refusedCode_ = error.code();
            saveRefused_ = true;
        }
        return result;
    }
    struct stat info {};
    if (::stat(result.Path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) return result;
    if (S_ISREG(info.st_mode) && std::size_t(info.st_size) > kMaxStateBytes) {
        // Far larger than any course: not a course file. It is kept aside, a new course begins.
        result.State = CourseLoadResult::Status::TooBig;
        ResetState();
        try {
            result.Aside = SetFileAside(target);
        } catch (const IoError& error) {
            result.AsideError = refusedCode_ = error.code();
            saveRefused_ = true;
        }
        return result;
    }
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
