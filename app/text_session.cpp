// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/text_session.h"

#include <algorithm>
#include <climits>

#include "common/cp1252.h"
#include "common/io_error.h"
#include "common/rounding.h"
#include "keyboard/layout.h"
#include "stats/verdict.h"

namespace {

const std::string kNbsp = "\u00A0";

std::vector<std::string> Paragraphs(const std::string& passage) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = passage.find("\r\n", start);
        lines.push_back(passage.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return lines;
}

// The passage that holds this place (characters read): the one starting there, else the
// one before, so that nothing is passed over.
int PassageHolding(const ReadText& text, uint64_t source) {
    const int k = text.PassageFrom(source);
    return k > 0 && text.Passages[std::size_t(k)].Source > source ? k - 1 : k;
}

}  // namespace

std::string PassageResultText(int index, int count, int32_t speed, double errorPercent, const std::string& passage) {
    std::string text = "Passage";
    if (index >= 0) text += " " + std::to_string(index + 1);
    if (index >= 0 && count > 0) text += " sur " + std::to_string(count);
    text += " terminé" + kNbsp + ": " + std::to_string(speed) + kNbsp + "mots/min, " +
            OneDecimalText(errorPercent, ',') + kNbsp + "% d'erreurs.\n";
    std::string verdict = Cp1252ToUtf8(EndOfRunVerdict(speed, errorPercent, passage));
    std::erase(verdict, '\r');
    return text + verdict;
}

TextSession::TextSession(ProgressRecord& record, const std::string& programFolder)
    : record_(record), places_(programFolder) {}

std::string TextSession::LoadPlaces() { return places_.Load().Message(); }

void TextSession::Forget(const std::string& path) {
    places_.Forget(path);
    places_.Save();
}

void TextSession::CheckRecentFiles() {
    std::vector<FileIdentity> files;
    checked_.clear();
    for (const TextPlace& place : places_.Recent()) {
        files.push_back(place.Identity);
        checked_.push_back(place.Identity.Path);
    }
    checks_ = std::make_unique<FileChecks>(std::move(files));
}

std::optional<std::vector<TextSession::FileStatus>> TextSession::RecentStatuses() {
    if (!checks_) return std::nullopt;
    const std::optional<std::vector<TextFileStatus>> statuses = checks_->Take();
    if (!statuses) return std::nullopt;
    checks_.reset();
    std::vector<FileStatus> found;
    for (std::size_t i = 0; i < statuses->size() && i < checked_.size(); ++i)
        found.push_back({checked_[i], (*statuses)[i]});
    return found;
}

void TextSession::SetLayout(const KeyboardLayout& layout, bool keepTypography) {
    rules_.Typable = TypableBytes([&](unsigned char b) { return !layout.Strokes(b).empty(); });
    rules_.KeepTypography = keepTypography;
    layoutName_ = layout.Name().Text();
}

void TextSession::Open(const std::string& path, std::size_t passageLength) {
    options_ = ReadOptions();
    options_.Rules = rules_;
    options_.PassageLength = passageLength;
    startedAgain_ = false;
    // Where the user stopped; a text typed to its end starts again.
    if (const TextPlace* place = places_.AtPath(path)) {
        if (place->PassageCount > 0 && place->Passage >= place->PassageCount)
            startedAgain_ = true;
        else
            options_.Start = place->Position;
    }
    loader_ = std::make_unique<TextLoader>(path, options_);
    opening_ = true;
    previewShown_ = false;
}

void TextSession::Reopen() {
    if (!loader_ && !text_) return;
    options_.Rules = rules_;
    if (text_ && !opening_) {
        // From the passage being typed, which a passage of the new reading starts at.
        options_.Start = text_->PositionOf(std::max(0, PassageIndex()));
        advanced_ = 0;
    }
    const std::string path = loader_ ? loader_->Path() : path_;
    loader_ = std::make_unique<TextLoader>(path, options_);
    previewShown_ = false;
}

TextSession::Polled TextSession::Poll() {
    Polled polled;
    if (!loader_) return polled;
    polled.Loading = true;
    polled.Share = loader_->Progress();
    if (std::optional<TextPreview> preview = loader_->Preview()) {
        if (!previewShown_ || preview->Passages.size() > preview_.size()) preview_ = std::move(preview->Passages);
        if (!previewShown_) {
            Replace(preview->Title, preview->First, polled);
            advanced_ = std::min(advanced_, int(preview_.size()) - 1);
            ShowPassage(preview_[std::size_t(advanced_)]);
            polled.NewPassage = true;
        }
    }
    std::optional<std::variant<ReadText, ReadFailure>> taken = loader_->Take();
    if (!taken) return polled;
    polled.Loading = false;
    if (ReadText* text = std::get_if<ReadText>(&*taken)) {
        TextTaken(std::move(*text), polled);
        loader_.reset();
        return polled;
    }
    const std::string path = loader_->Path();
    loader_.reset();
    const ReadFailure& failure = std::get<ReadFailure>(*taken);
    if (failure.Problem == ReadProblem::Cancelled) return polled;
    const TextPlace* place = places_.AtPath(path);
    if (failure.Problem == ReadProblem::Missing && place)
        polled.Missing = *place;
    else
        polled.Message = failure.Message();
    opening_ = false;
    return polled;
}

void TextSession::Replace(const std::string& title, int first, Polled& polled) {
    previewShown_ = true;
    text_.reset();
    if (opening_) {
        path_ = loader_->Path();
        advanced_ = 0;
        unrecorded_.clear();
        if (startedAgain_) polled.Message = "Vous aviez terminé ce texte" + kNbsp + ": il reprend au début.";
    }
    title_ = title;
    first_ = first;
}

void TextSession::TextTaken(ReadText text, Polled& polled) {
    // Read before any of its passages was shown (a short text): shown now.
    const bool shown = previewShown_;
    const int first = text.PassageFrom(options_.Start.Character);
    if (!shown) Replace(text.Title, first, polled);
    if (first_ < 0) first_ = first;
    text_ = std::move(text);
    path_ = text_->Identity.Path;
    const int before = shown ? PassageIndex() : -1;
    if (opening_) {
        const PlaceFound found = places_.Find(text_->Identity);
        if (found.Place && found.Match == FileMatch::Changed) {
            polled.AskChanged = true;
            polled.Message = found.Message();
        } else if (found.Place && found.Match == FileMatch::Moved && advanced_ == 0 && run_.CorrectCount == 0) {
            // Found again under another name: back to where the user stood in it.
            first_ = PassageHolding(*text_, found.Place->Position.Character);
            polled.Message = found.Message();
        }
        opening_ = false;
    }
    if (PassageIndex() != before) {
        ShowPassage(text_->Passage(PassageIndex()));
        polled.NewPassage = true;
    }
    polled.TextRead = true;
    // The passages typed before the whole text was in, then the passage shown.
    std::string failed;
    for (const auto& [advanced, wpm] : unrecorded_) failed += KeepPlace(first_ + advanced + 1, wpm);
    unrecorded_.clear();
    failed += KeepPlace(PassageIndex() + (finished_ ? 1 : 0), std::nullopt);
    if (!failed.empty()) polled.Message += (polled.Message.empty() ? "" : "\n") + failed;
}

std::string TextSession::KeepPlace(int next, std::optional<double> wpm) {
    places_.Record(*text_, next, wpm, TodayText());
    try {
        places_.Save();
        placeErrorSaid_ = false;
    } catch (const IoError& error) {
        if (placeErrorSaid_) return {};
        placeErrorSaid_ = true;
        return IoErrorMessage(error);
    }
    return {};
}

std::string TextSession::StartOver() {
    if (!text_) return {};
    first_ = 0;
    advanced_ = 0;
    ShowPassage(text_->Passage(0));
    return KeepPlace(0, std::nullopt);
}

int TextSession::PassageIndex() const { return first_ < 0 ? -1 : first_ + advanced_; }

std::string TextSession::Heading() const {
    std::string heading = title_;
    const int index = PassageIndex(), count = PassageCount();
    if (index >= 0) heading += " — passage " + std::to_string(index + 1);
    if (index >= 0 && count > 0)
        heading += " sur " + std::to_string(count) + " (" + std::to_string(int64_t(index) * 100 / count) + kNbsp + "%)";
    return heading;
}

bool TextSession::NextReady() const {
    // A new reading of the text shown puts its own passages in place first.
    if (loader_ && !previewShown_) return false;
    if (text_) return PassageIndex() + 1 < text_->PassageCount();
    return std::size_t(advanced_) + 1 < preview_.size();
}

bool TextSession::Next(std::string& failed) {
    if (!NextReady()) return false;
    ++advanced_;
    ShowPassage(text_ ? text_->Passage(PassageIndex()) : preview_[std::size_t(advanced_)]);
    if (text_) failed = KeepPlace(PassageIndex(), std::nullopt);
    return true;
}

void TextSession::ShowPassage(std::string passage) {
    passage_ = std::move(passage);
    lines_ = Paragraphs(passage_);
    cursor_.SetLines(lines_);
    Restart();
}

void TextSession::Restart() {
    run_.ClearCounters();
    cursor_.MoveTo(0, 0);
    finished_ = false;
    std::size_t characters = 0;
    for (const std::string& line : lines_) characters += line.size();
    missed_.assign(characters, 0);
}

int TextSession::Typed() const {
    int typed = cursor_.Typed();
    for (int line = 0; line < cursor_.CurrentLine(); ++line) typed += int(lines_[std::size_t(line)].size());
    return typed;
}

TextSession::KeyOutcome TextSession::KeyPress(std::optional<unsigned char> typed, KeyTime at) {
    KeyOutcome outcome;
    if (finished_ || lines_.empty()) return outcome;
    const KeyPressOutcome checked = CheckKeyPress(run_, record_, typed, cursor_.Expected(), false, false, at);
    if (!checked.Correct) {
        if (const std::size_t here = std::size_t(Typed()); here < missed_.size() && missed_[here] < UINT8_MAX)
            ++missed_[here];
        return outcome;
    }
    outcome.Correct = true;
    cursor_.MoveTo(cursor_.CurrentLine(), cursor_.Typed() + 1);
    if (cursor_.Expected()) return outcome;
    // A paragraph ends: the next one follows at once, as a line of the main window's model.
    if (cursor_.CurrentLine() + 1 < int(lines_.size())) {
        cursor_.MoveTo(cursor_.CurrentLine() + 1, 0);
        return outcome;
    }
    outcome.Finished = finished_ = true;
    const int64_t duration = RunKeyDuration(run_);
    const int32_t elapsed = duration > 0 && duration < INT32_MAX ? int32_t(duration) : 0;
    const int32_t speed = WordsPerMinute(run_.CorrectCount, elapsed);
    const double errors = ErrorPercent(run_.ErrorCount, run_.CorrectCount);
    outcome.Result = PassageResultText(PassageIndex(), PassageCount(), speed, errors, passage_);
    std::optional<double> wpm;
    // A passage of a single key has no duration to judge.
    if (elapsed > 0) {
        HistoryRow row = HistoryRowNow(run_.CorrectCount, run_.ErrorCount, elapsed, speed, errors, false, false);
        row.Layout = layoutName_;
        row.OwnText = true;
        outcome.Row = row;
        wpm = speed;
    }
    if (text_)
        outcome.PlaceError = KeepPlace(PassageIndex() + 1, wpm);
    else
        unrecorded_.emplace_back(advanced_, wpm);
    return outcome;
}
