// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// "Vos textes" without widgets: the user's text being read (on a thread of its own,
// polled) and cut into passages, the passage being typed (the run's state, its place in
// the passage, the characters that drew a wrong key), the check of each key by the rules of
// the main window, and the end of a passage (its result, its history row, the place
// reached, kept in textes.txt). The text window draws it and feeds it the keys.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "exercise/typing.h"
#include "exercise/typing_cursor.h"
#include "reading/reading_places.h"
#include "reading/text_loader.h"
#include "stats/history.h"
#include "stats/progress.h"

class TextSession {
public:
    // The record is the active layout's; the places are kept in the program's folder.
    TextSession(ProgressRecord& record, const std::string& programFolder);

    // Reads textes.txt; a French message (UTF-8) when it was damaged or cannot be read.
    std::string LoadPlaces();
    const ReadingPlaces& Places() const { return places_; }
    // Forgets a text of the list and saves the list; throws IoError naming the file.
    void Forget(const std::string& path);
    // Looks at every recent text's file on a thread of its own: RecentStatuses() gives what
    // became of each, in the list's order, once all are checked.
    void CheckRecentFiles();
    struct FileStatus {
        std::string Path;
        TextFileStatus Status = TextFileStatus::Unchanged;
    };
    std::optional<std::vector<FileStatus>> RecentStatuses();
    bool Checking() const { return checks_ != nullptr; }

    // What is typed: the layout's characters (with or without the original typography),
    // and the passages' length. Takes effect at the next opening (Reopen).
    void SetLayout(const KeyboardLayout& layout, bool keepTypography);
    bool KeepTypography() const { return rules_.KeepTypography; }

    // Starts reading a file, where the user stopped in it (a text finished starts again);
    // returns at once. What is shown stays until the first passage is read.
    void Open(const std::string& path, std::size_t passageLength);
    // The text shown, read again with the present rules from the passage being typed.
    void Reopen();

    // What the window shows after a poll of the reading.
    struct Polled {
        bool Loading = false;  // a reading is under way; Share of it is done
        double Share = 0;
        bool NewPassage = false;  // the passage changed (a text just opened)
        bool TextRead = false;    // the whole text is in: its count, its summary
        std::string Message;      // UTF-8: a failure, a text found under another name
        // The file kept at the path of a text that could not be read is gone: find it
        // again or forget it (TextPlace::StatusMessage).
        std::optional<TextPlace> Missing;
        // The file changed since the place was kept: resume there, or start again (Restart).
        bool AskChanged = false;
    };
    Polled Poll();
    bool Loading() const { return loader_ != nullptr; }
    const std::string& LoadingPath() const { return loader_ ? loader_->Path() : path_; }

    // The text shown.
    bool HasPassage() const { return !lines_.empty(); }
    const std::string& Title() const { return title_; }  // UTF-8
    const std::string& Path() const { return path_; }
    // The passage as the model holds it (Windows-1252, CR LF between paragraphs).
    const std::string& Passage() const { return passage_; }
    // Its paragraphs, the lines typed one after the other.
    const std::vector<std::string>& Lines() const { return lines_; }
    // The passage's index (from 0) and the text's count of passages; -1 while unknown (a
    // book whose chapter was read before the rest).
    int PassageIndex() const;
    int PassageCount() const { return text_ ? text_->PassageCount() : -1; }
    // French (UTF-8): the encoding or "EPUB", the passages, the characters left out.
    std::string Summary() const { return text_ ? text_->Summary() : std::string(); }
    // "Le Tour du monde — passage 13 sur 340 (3 %)" (UTF-8).
    std::string Heading() const;

    // The passage being typed.
    const TypingCursor& Cursor() const { return cursor_; }
    // Characters typed in the passage, paragraphs one after the other.
    int Typed() const;
    // The wrong keys struck at each character of the passage (paragraphs one after the other).
    const std::vector<uint8_t>& Missed() const { return missed_; }
    bool Finished() const { return finished_; }
    // The passage after this one can be shown now (read, and not the last).
    bool NextReady() const;

    void KeyDown(uint8_t virtualKey) { run_.KeyDown(virtualKey); }
    struct KeyOutcome {
        bool Correct = false;
        bool Finished = false;          // the passage's last character
        std::optional<HistoryRow> Row;  // the finished passage, for the history
        std::string Result;             // UTF-8: its speed, its errors and the verdict, a line each
        std::string PlaceError;         // UTF-8: the place could not be kept
    };
    // A typed character (Windows-1252), or nothing for one the model cannot hold.
    KeyOutcome KeyPress(std::optional<unsigned char> typed, KeyTime at);
    // Escape: the passage starts again. Also what a change of layout does to it (no row).
    void Restart();
    // The next passage, kept as the place (a passage may be passed over); false when it is
    // not read yet or there is none. A French message (UTF-8) when the place could not be kept.
    bool Next(std::string& failed);
    // The text starts again at its first passage (a changed file); the place is kept. A
    // French message (UTF-8) when it could not be.
    std::string StartOver();

private:
    void ShowPassage(std::string passage);
    // The reading under way has its first passages: they replace those shown.
    void Replace(const std::string& title, int first, Polled& polled);
    // The whole text is in: its passages, the place found for it, the passages finished
    // before.
    void TextTaken(ReadText text, Polled& polled);
    // Keeps where the user stands: the next passage to type, and the speed of the one just
    // typed. A French message (UTF-8) when it could not be, said once until a save succeeds.
    std::string KeepPlace(int next, std::optional<double> wpm);

    ProgressRecord& record_;
    ReadingPlaces places_;
    std::unique_ptr<FileChecks> checks_;
    std::vector<std::string> checked_;  // the paths being checked, in order
    bool placeErrorSaid_ = false;
    TypingRules rules_ = AnyLayoutRules();
    std::string layoutName_;

    std::unique_ptr<TextLoader> loader_;
    ReadOptions options_;        // of the latest reading
    bool opening_ = false;       // the reading is of a text just opened, not of the one shown again
    bool previewShown_ = false;  // its first passages replaced those shown
    bool startedAgain_ = false;  // a text typed to its end, opened at its start

    std::optional<ReadText> text_;
    std::string path_;
    std::string title_;
    std::vector<std::string> preview_;  // passages read before the whole text
    int first_ = 0;                     // the index of the first passage shown; -1 while unknown
    int advanced_ = 0;                  // passages moved on since
    // Passages finished before the whole text was in: how far after the first shown, and
    // their speed when they had one.
    std::vector<std::pair<int, std::optional<double>>> unrecorded_;

    std::string passage_;
    std::vector<std::string> lines_;
    TypingCursor cursor_;
    RunState run_;
    std::vector<uint8_t> missed_;
    bool finished_ = false;
};

// The result of a passage, French (UTF-8), a line each: "Passage 3 sur 12 terminé :
// 42 mots/min, 2,1 % d'erreurs." (the count left out while unknown), then the verdict.
std::string PassageResultText(int index, int count, int32_t speed, double errorPercent, const std::string& passage);
