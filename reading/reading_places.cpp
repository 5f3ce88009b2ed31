// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/reading_places.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <ctime>
#include <string_view>

#include "common/file_io.h"
#include "common/io_error.h"
#include "common/rounding.h"
#include "common/safe_file.h"
#include "common/text_lines.h"

namespace {

constexpr std::size_t kMaxFileBytes = 8 << 20;
constexpr std::string_view kHeader =
    "# Vos textes de Clavelle : une ligne par texte, ses champs nom=valeur séparés par des tabulations.\n";

std::string Escaped(std::string_view value) {
    std::string out;
    for (const char c : value) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Unescaped(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

template <class Number>
bool Parse(std::string_view text, Number& out, int base = 10) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out, base);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseSpeed(std::string_view text, double& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(out) && out >= 0 && out < 10000;
}

bool IsDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return c == '-' || (c >= '0' && c <= '9'); });
}

template <class Number>
std::string NumberText(Number value, int base = 10) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, base).ptr);
}

std::string SpeedText(double wpm) { return OneDecimalText(wpm); }

// One field of a line into the place; false when its value cannot be read or its name is
// unknown.
bool ReadField(std::string_view name, const std::string& value, TextPlace& place) {
    FileIdentity& id = place.Identity;
    if (name == "chemin") {
        id.Path = value;
    } else if (name == "titre") {
        place.Title = value;
    } else if (name == "date") {
        if (!value.empty() && !IsDate(value)) return false;
        place.LastDate = value;
    } else if (name == "taille") {
        return Parse(value, id.Size);
    } else if (name == "modifié") {
        return Parse(value, id.ModifiedNs);
    } else if (name == "empreinte") {
        return value.size() == 16 && Parse(value, id.Hash, 16);
    } else if (name == "passage") {
        return Parse(value, place.Passage) && place.Passage >= 0;
    } else if (name == "caractère") {
        return Parse(value, place.Position.Character);
    } else if (name == "chapitre") {
        return Parse(value, place.Position.Chapter) && place.Position.Chapter >= 0;
    } else if (name == "début-chapitre") {
        return Parse(value, place.Position.ChapterStart);
    } else if (name == "passages") {
        return Parse(value, place.PassageCount) && place.PassageCount >= 0;
    } else if (name == "vitesse") {
        return ParseSpeed(value, place.MeanWpm);
    } else if (name == "tapés") {
        return Parse(value, place.Typed) && place.Typed >= 0;
    } else {
        return false;
    }
    return true;
}

std::string Quoted(const std::string& text) { return "«\u00A0" + text + "\u00A0»"; }

}  // namespace

int TextPlace::Percent() const {
    if (PassageCount <= 0) return 0;
    return int(std::min<int64_t>(100, int64_t(Passage) * 100 / PassageCount));
}

std::string TextPlace::Summary() const {
    std::string line = Title;
    if (PassageCount > 0) {
        line += Passage >= PassageCount
                    ? " — terminé"
                    : " — passage " + std::to_string(Passage + 1) + " sur " + std::to_string(PassageCount);
        line += " (" + std::to_string(Percent()) + "\u00A0%)";
    }
    if (IsDate(LastDate))
        line += " — " + LastDate.substr(8, 2) + "/" + LastDate.substr(5, 2) + "/" + LastDate.substr(0, 4);
    if (Typed > 0) line += " — " + std::to_string(std::lround(MeanWpm)) + "\u00A0mots/min";
    return line;
}

std::string TextPlace::StatusMessage(TextFileStatus status) const {
    const std::string where = "passage " + std::to_string(Passage + 1);
    switch (status) {
        case TextFileStatus::Unchanged: return {};
        case TextFileStatus::Changed:
            return "Le fichier " + Quoted(Identity.Path) + " a changé depuis votre dernière séance\u00A0: le " + where +
                   ", où vous en étiez, ne tombe peut-être plus au même endroit du texte. Reprenez-y, ou recommencez "
                   "au "
                   "début.";
        case TextFileStatus::Missing:
            return "Le fichier de " + Quoted(Title) + " est introuvable (" + Identity.Path +
                   ")\u00A0: il a été déplacé, renommé ou supprimé. Choisissez-le là où il se trouve pour reprendre "
                   "au " +
                   where + ", ou retirez-le de la liste.";
        case TextFileStatus::Unreadable:
            return "Le fichier de " + Quoted(Title) + " ne peut pas être lu (" + Identity.Path +
                   ")\u00A0: vérifiez qu'il est accessible, ou retirez-le de la liste.";
    }
    return {};
}

std::string PlacesLoad::Message() const {
    const std::string file = "Le fichier de vos textes " + Quoted(Path);
    const std::string aside = "Il a été mis de côté, sans être effacé, sous le nom " + Quoted(AsidePath);
    switch (State) {
        case Status::SetAside:
            if (OtherVersion)
                return file + " vient d'une autre version du programme. " + aside +
                       "\u00A0; ce qui a pu en être lu a été repris.";
            return file + " était en partie endommagé\u00A0: " + std::to_string(SkippedLines) +
                   (SkippedLines > 1 ? " lignes illisibles ont été ignorées. " : " ligne illisible a été ignorée. ") +
                   aside + "\u00A0; le reste de vos textes a été repris.";
        case Status::Unreadable:
            return file +
                   " ne peut pas être lu\u00A0: il est laissé tel quel, et vos places dans les textes ne seront pas "
                   "enregistrées tant qu'il ne pourra pas être lu.";
        default: return {};
    }
}

std::string PlaceFound::Message() const {
    if (Place == nullptr) return {};
    if (Match == FileMatch::Changed) return Place->StatusMessage(TextFileStatus::Changed);
    if (Match == FileMatch::Moved)
        return Quoted(Place->Title) + " a été retrouvé sous un autre nom\u00A0: la lecture reprend au passage " +
               std::to_string(Place->Passage + 1) + ".";
    return {};
}

PlacesLoad ReadingPlaces::Load() {
    RemoveLeftTemporaries(ResolveLinks(path_));
    places_.clear();
    refusedCode_.reset();
    PlacesLoad result;
    result.Path = path_;
    const std::optional<std::string> text = ReadSmallFile(path_, kMaxFileBytes);
    if (!text) {
        struct stat info {};
        if (::stat(path_.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) return result;
        refusedCode_ = S_ISREG(info.st_mode) ? EIO : kIoNotRegularFile;
        result.State = PlacesLoad::Status::Unreadable;
        return result;
    }
    result.SkippedLines = ReadFileText(*text, result.OtherVersion);
    if (result.SkippedLines == 0 && !result.OtherVersion) {
        result.State = PlacesLoad::Status::Read;
        return result;
    }
    try {
        result.AsidePath = SetFileAside(ResolveLinks(path_), result.OtherVersion ? "autre-version" : "endommagé");
        result.State = PlacesLoad::Status::SetAside;
    } catch (const IoError& error) {
        refusedCode_ = error.code();
        result.State = PlacesLoad::Status::Unreadable;
    }
    return result;
}

void ReadingPlaces::Save() const {
    if (refusedCode_) throw IoError(*refusedCode_, path_);
    const std::string text = FileText();
    NamingFile(path_, [&] { SaveFileSafely(path_, text.data(), text.size()); });
}

const TextPlace* ReadingPlaces::AtPath(const std::string& path) const {
    const auto found = std::find_if(places_.begin(), places_.end(),
                                    [&](const TextPlace& place) { return place.Identity.Path == path; });
    return found != places_.end() ? &*found : nullptr;
}

PlaceFound ReadingPlaces::Find(const FileIdentity& identity) const {
    if (const TextPlace* place = AtPath(identity.Path)) return {place, CompareIdentity(place->Identity, identity)};
    for (const TextPlace& place : places_)
        if (CompareIdentity(place.Identity, identity) == FileMatch::Moved) return {&place, FileMatch::Moved};
    return {};
}

void ReadingPlaces::Record(const ReadText& text, int nextPassage, std::optional<double> typedWpm,
                           const std::string& today) {
    const PlaceFound found = Find(text.Identity);
    TextPlace place = found.Place ? *found.Place : TextPlace{};
    if (found.Place) places_.erase(places_.begin() + (found.Place - places_.data()));
    const int count = text.PassageCount();
    place.Identity = text.Identity;
    place.Title = text.Title;
    place.Passage = std::clamp(nextPassage, 0, count);
    place.Position = text.PositionOf(place.Passage);
    place.PassageCount = count;
    place.LastDate = today;
    if (typedWpm && std::isfinite(*typedWpm) && *typedWpm >= 0) {
        place.MeanWpm = (place.MeanWpm * place.Typed + *typedWpm) / (place.Typed + 1);
        ++place.Typed;
    }
    places_.insert(places_.begin(), std::move(place));
    if (places_.size() > kMaxTexts) places_.resize(kMaxTexts);
}

void ReadingPlaces::Forget(const std::string& path) {
    std::erase_if(places_, [&](const TextPlace& place) { return place.Identity.Path == path; });
}

std::string ReadingPlaces::FileText() const {
    std::string text(kHeader);
    text += "version=" + std::to_string(kFormatVersion) + "\n";
    for (const TextPlace& place : places_) {
        const FileIdentity& id = place.Identity;
        std::string hash = NumberText(id.Hash, 16);
        hash.insert(0, 16 - hash.size(), '0');
        text += "chemin=" + Escaped(id.Path) + "\ttaille=" + NumberText(id.Size) +
                "\tmodifié=" + NumberText(id.ModifiedNs) + "\tempreinte=" + hash + "\ttitre=" + Escaped(place.Title) +
                "\tpassage=" + NumberText(place.Passage) + "\tcaractère=" + NumberText(place.Position.Character) +
                "\tpassages=" + NumberText(place.PassageCount) + "\tdate=" + Escaped(place.LastDate) +
                "\tvitesse=" + SpeedText(place.MeanWpm) + "\ttapés=" + NumberText(place.Typed);
        if (place.Position.Chapter >= 0)
            text += "\tchapitre=" + NumberText(place.Position.Chapter) +
                    "\tdébut-chapitre=" + NumberText(place.Position.ChapterStart);
        text += "\n";
    }
    return text;
}

int ReadingPlaces::ReadFileText(std::string_view text, bool& otherVersion) {
    places_.clear();
    otherVersion = false;
    bool versionSeen = false;
    int skipped = 0;
    while (!text.empty()) {
        std::string_view line = TakeLine(text);
        if (line.empty() || line.front() == '#') continue;
        if (line.starts_with("version=")) {
            int version = 0;
            versionSeen = true;
            otherVersion = !Parse(line.substr(8), version) || version != kFormatVersion;
            continue;
        }
        TextPlace place;
        bool whole = true;
        while (!line.empty()) {
            const std::size_t tab = line.find('\t');
            const std::string_view field = line.substr(0, tab);
            line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
            const std::size_t equals = field.find('=');
            const bool read = equals != std::string_view::npos &&
                              ReadField(field.substr(0, equals), Unescaped(field.substr(equals + 1)), place);
            // A field that another version added is expected there, not damage.
            whole = whole && (read || otherVersion);
        }
        const bool duplicate = std::any_of(places_.begin(), places_.end(), [&](const TextPlace& other) {
            return other.Identity.Path == place.Identity.Path;
        });
        if (place.Identity.Path.empty() || duplicate || !whole) ++skipped;
        if (!place.Identity.Path.empty() && !duplicate) places_.push_back(std::move(place));
    }
    if (!versionSeen && !places_.empty()) ++skipped;
    if (places_.size() > kMaxTexts) places_.resize(kMaxTexts);
    return skipped;
}

std::string TodayText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}
