// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Where the user stands in each text, kept in "textes.txt" in the program's folder, so
// that the next opening resumes there: one line per text of tab-separated name=value
// fields (UTF-8, numbers written without the locale), saved whole and crash-safely. A
// damaged file, or one written by another version, is read as far as it can be, and set
// aside under another name before anything is saved over it. The file is small and the
// program's own: the window loads and saves it on its thread, as it does its settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reading/file_identity.h"
#include "reading/read_text.h"

inline constexpr const char* kPlacesFileName = "textes.txt";

struct TextPlace {
    FileIdentity Identity;
    std::string Title;      // UTF-8
    int Passage = 0;        // the next passage to type, from 0
    TextPosition Position;  // where it starts (ReadText::PositionOf): ReadOptions::Start
    int PassageCount = 0;   // as the text was last cut
    std::string LastDate;   // "2026-03-01", the day of the latest passage typed
    double MeanWpm = 0;     // mean speed of the passages typed, words per minute
    int Typed = 0;          // passages typed

    // The share of the text behind, in percent (0 to 100).
    int Percent() const;
    // French, UTF-8, for the list of recent texts: "Le Tour du monde — passage 13 sur 340
    // (3 %) — 01/03/2026 — 41 mots/min".
    std::string Summary() const;
    // French, UTF-8: what became of the file (CheckTextFile) and what the user may do;
    // empty when it is unchanged.
    std::string StatusMessage(TextFileStatus status) const;
};

// What reading the file found.
struct PlacesLoad {
    enum class Status : uint8_t {
        Missing,     // no file yet
        Read,        // read in full
        SetAside,    // damaged or from another version: what could be read is kept, the
                     // file renamed to AsidePath
        Unreadable,  // it cannot be read (nor set aside): it is never overwritten
    };
    Status State = Status::Missing;
    int SkippedLines = 0;
    bool OtherVersion = false;
    std::string Path;
    std::string AsidePath;
    // A French sentence for the user naming the file (UTF-8); empty when all went well.
    std::string Message() const;
};

// The place found for a text just read.
struct PlaceFound {
    const TextPlace* Place = nullptr;  // nothing for a text never opened; valid until the places change
    FileMatch Match = FileMatch::Unrelated;
    // French, UTF-8, for a file changed since or found under another name; empty otherwise.
    std::string Message() const;
};

class ReadingPlaces {
public:
    static constexpr int kFormatVersion = 1;
    static constexpr std::size_t kMaxTexts = 200;  // the most recent ones are kept

    explicit ReadingPlaces(std::string folder) : path_(std::move(folder) + "/" + kPlacesFileName) {}

    // Reads the file, removing the temporary files a crash left beside it.
    PlacesLoad Load();
    // Writes every place; throws IoError naming the file, also while an unreadable file
    // stands at its name.
    void Save() const;

    // The place kept for a path, to resume there (ReadOptions::Start); nothing for a text
    // never opened. Valid until the places change.
    const TextPlace* AtPath(const std::string& path) const;
    // The place of a text just read: by its path, else by its content (a moved file).
    PlaceFound Find(const FileIdentity& identity) const;
    // Records where the user stands in the text: the next passage to type and, when a
    // passage was just typed, its speed (added into the mean) and the day (`today`,
    // "AAAA-MM-JJ"). The place moves to the text's present identity (a moved or changed
    // file) and to the top of the recent texts.
    void Record(const ReadText& text, int nextPassage, std::optional<double> typedWpm, const std::string& today);
    // Forgets a text (one the user removes from the list).
    void Forget(const std::string& path);
    // The texts, the most recent first.
    const std::vector<TextPlace>& Recent() const { return places_; }

    // The file's text, and its reading (which replaces every place; returns the lines
    // that could not be read in full).
    std::string FileText() const;
    int ReadFileText(std::string_view text, bool& otherVersion);
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::vector<TextPlace> places_;
    std::optional<int> refusedCode_;  // the file cannot be read: saving would lose it
};

// Today's local date, "AAAA-MM-JJ".
std::string TodayText();
