// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A text read from the user's file, ready to type: its Windows-1252 text cut into passages,
// what was read (title, encoding, characters left out) and the file's identity; or, when
// it could not be read, why, in French.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "reading/file_identity.h"

enum class TextFormat : uint8_t { Plain, Epub };
enum class TextEncoding : uint8_t { Utf8, Utf8WithBom, Utf16Le, Utf16Be, Windows1252, Latin9 };

// "UTF-8", "UTF-8 avec BOM", "UTF-16", "Windows-1252", "Latin-9 (ISO 8859-15)".
std::string EncodingName(TextEncoding encoding);

// Where a passage starts: in the text, and in characters read from the file. The second
// depends only on the file, not on the layout, the typography kept or the passages'
// length, so a place kept in it is found again whatever those become.
struct PassageStart {
    uint32_t Offset = 0;
    uint64_t Source = 0;
};

// A place in a text, in characters read. In a book, also the chapter it lies in (its index
// in the reading order) and that chapter's start, so that reading the book again can read
// that chapter first.
struct TextPosition {
    uint64_t Character = 0;
    int Chapter = -1;  // -1: a plain text, or unknown
    uint64_t ChapterStart = 0;
};

struct ReadText {
    std::string Title;  // UTF-8: the book's title, else the file's name without its extension
    TextFormat Format = TextFormat::Plain;
    TextEncoding Encoding = TextEncoding::Utf8;  // of a plain text
    // The text: Windows-1252, one '\n' between paragraphs, single blanks (a space, or the
    // no-break space 0xA0 that a plain space types).
    std::string Text;
    std::vector<PassageStart> Passages;
    uint64_t SourceLength = 0;            // characters read from the file
    int64_t Dropped = 0;                  // characters that nothing stands in for, left out
    std::u32string DroppedSample;         // the first few of them, each once
    int UnreadChapters = 0;               // EPUB chapters missing or damaged (read up to the fault)
    std::vector<uint64_t> ChapterStarts;  // where each chapter of a book starts, in characters read
    FileIdentity Identity;

    int PassageCount() const { return int(Passages.size()); }
    // Passage k (from 0) as the model box takes it: CR LF between paragraphs.
    std::string Passage(int k) const;
    // The passage that starts at this place (characters read), or else the first one after
    // it; the last one past the end.
    int PassageFrom(uint64_t source) const;
    // Where passage k starts; the text's end for k = PassageCount().
    TextPosition PositionOf(int k) const;
    // French, UTF-8, for the window's information line: "EPUB, 412 passages ; 3 caractères
    // sans équivalent omis (☺ ✓)".
    std::string Summary() const;
};

// What the readers accept, so that no file can exhaust the memory or the time.
struct ReadLimits {
    uint64_t MaxTextFileBytes = uint64_t(64) << 20;  // a plain text file
    uint64_t MaxBookBytes = uint64_t(1) << 30;       // an EPUB file: its images are never decompressed
    uint64_t MaxEntryBytes = uint64_t(64) << 20;     // one decompressed entry of a book
    // An entry beyond RatioFloorBytes that decompresses to more than MaxRatio times its
    // compressed size is refused (a zip bomb): a book's pages shrink 3 to 10 times.
    uint64_t MaxRatio = 100;
    uint64_t RatioFloorBytes = uint64_t(1) << 20;
    uint64_t MaxTextBytes = uint64_t(64) << 20;  // the text to type (below 4 GiB: 32-bit offsets)
};

// Why a file could not be read.
enum class ReadProblem : uint8_t {
    Missing,
    NotRegular,   // a folder, a pipe, a device
    SystemError,  // Detail holds the system's reason (access refused...)
    TooBig,
    NotText,       // neither a text nor an EPUB book (Detail says what it seems to be)
    DamagedEpub,   // Detail says what is wrong
    EntryRefused,  // an entry of the book decompresses beyond the limits (a zip bomb)
    Protected,     // DRM
    Empty,
    Cancelled,
};

struct ReadFailure : std::runtime_error {
    ReadFailure(ReadProblem problem, std::string detail = {});
    ReadProblem Problem;
    std::string Path;    // the file, as given to the reader
    std::string Detail;  // UTF-8, French
    // "Le fichier « /chemin/livre.epub » ne peut pas être lu : le livre est protégé par des
    // verrous numériques (DRM)." (UTF-8)
    std::string Message() const;
};
