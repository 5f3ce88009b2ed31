// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a text for "Vos textes": the file is read on a thread of its own, so that the
// window never waits on the disk nor on a whole book. The window polls the loader (a timer
// of a few tens of milliseconds): Progress() for its progress bar, Preview() for the
// passage to show first as soon as it is cut, Take() for the whole text once read, handed
// over in one move. Each call returns at once. Destroying the loader stops the reading.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "reading/background.h"
#include "reading/read_text.h"
#include "reading/stand_ins.h"
#include "reading/text_builder.h"

struct ReadOptions {
    TypingRules Rules = AnyLayoutRules();
    std::size_t PassageLength = PassageLengthForSentences(3);  // characters
    // Where to resume (TextPlace::Position of the resume file): a passage starts there, and
    // it is the one shown first.
    TextPosition Start;
    ReadLimits Limits;
};

// Reads the whole file on the calling thread. `tick(shareDone, builder)` is called
// between blocks; it may throw to stop. `early(builder)` gets the chapter of
// options.Start read ahead of the rest of a book (epub_reader.h). Throws ReadFailure
// (whose Path is the file).
ReadText ReadTextFile(const std::string& path, const ReadOptions& options,
                      const std::function<void(double, const TextBuilder&)>& tick = nullptr,
                      const std::function<void(const TextBuilder&)>& early = nullptr);

// The passage the window shows first, and those after it, before the whole text is read.
struct TextPreview {
    std::string Title;  // UTF-8
    // The index of Passages[0]; -1 while unknown, when a book's chapter was read ahead of
    // the rest: once the text is taken, ReadText::PassageFrom(options.Start.Character).
    int First = 0;
    std::vector<std::string> Passages;  // model texts (ReadText::Passage)
};

class TextLoader {
public:
    // The passages a preview holds at most.
    static constexpr int kPreviewPassages = 3;

    // Starts reading the file; returns at once.
    TextLoader(std::string path, const ReadOptions& options);
    // Stops the reading, which gives up within a block (background.h).
    ~TextLoader() = default;
    TextLoader(const TextLoader&) = delete;
    TextLoader& operator=(const TextLoader&) = delete;

    const std::string& Path() const { return path_; }
    // Asks the reading to stop; it ends as a failure (Cancelled).
    void Cancel();
    // The share of the file read, 0 to 1.
    double Progress() const;
    // The passage that starts at options.Start and up to kPreviewPassages - 1 after it, once
    // the first is cut; nothing before (nor after a failure).
    std::optional<TextPreview> Preview() const;
    // True once Take() has something to give.
    bool Finished() const;
    // The text, or why it could not be read: once, when finished; nothing otherwise.
    std::optional<std::variant<ReadText, ReadFailure>> Take();

private:
    struct Shared;  // what the window and the reading share, kept by both

    std::string path_;
    std::shared_ptr<Shared> shared_;
    Background reading_;
};
