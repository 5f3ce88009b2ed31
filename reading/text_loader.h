// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a text for "Vos textes": the file is read on a thread of its own, so that the
// window never waits on the disk nor on a whole book. The window polls the loader (a timer
// of a few tens of milliseconds): Progress() for its progress bar, Preview() for the
// passage to show first as soon as it is cut, Take() for the whole text once read, handed
// over in one move. Each call returns at once. Destroying the loader stops the reading.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "reading/read_text.h"
#include "reading/stand_ins.h"
#include "reading/text_builder.h"

struct ReadOptions {
    TypingRules Rules = AnyLayoutRules();
    std::size_t PassageLength = PassageLengthForSentences(3);  // characters
    uint64_t StartAt = 0;  // the place to show first: TextPlace::Character of the resume file
    ReadLimits Limits;
};

// Reads the whole file on the calling thread. `tick(shareDone, builder)` is called
// between blocks; it may throw to stop. Throws ReadFailure (whose Path is the file).
ReadText ReadTextFile(const std::string& path, const ReadOptions& options,
                      const std::function<void(double, const TextBuilder&)>& tick = nullptr);

// The passage the window shows first, and those after it, before the whole text is read.
struct TextPreview {
    std::string Title;                  // UTF-8
    int First = 0;                      // the index of Passages[0]
    std::vector<std::string> Passages;  // model texts (ReadText::Passage)
};

class TextLoader {
public:
    // The passages a preview holds at most.
    static constexpr int kPreviewPassages = 3;

    // Starts reading the file; returns at once.
    TextLoader(std::string path, const ReadOptions& options);
    // Stops the reading and waits for its thread, which gives up within a block.
    ~TextLoader();
    TextLoader(const TextLoader&) = delete;
    TextLoader& operator=(const TextLoader&) = delete;

    const std::string& Path() const { return path_; }
    // Asks the reading to stop; it ends as a failure (Cancelled).
    void Cancel() { cancel_.store(true); }
    // The share of the file read, 0 to 1.
    double Progress() const { return progress_.load(std::memory_order_relaxed); }
    // The passage holding options.StartAt and up to kPreviewPassages - 1 after it, once the
    // first is cut; nothing before (nor after a failure).
    std::optional<TextPreview> Preview() const;
    // True once Take() has something to give.
    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    // The text, or why it could not be read: once, when finished; nothing otherwise.
    std::optional<std::variant<ReadText, ReadFailure>> Take();

private:
    void Run();
    // Hands the first passages over to the window once they are cut (`finished` of them).
    void Publish(const ReadText& text, int finished);

    std::string path_;
    ReadOptions options_;
    std::atomic<bool> cancel_{false};
    std::atomic<double> progress_{0};
    std::atomic<bool> finished_{false};
    mutable std::mutex mutex_;
    std::optional<TextPreview> preview_;                         // guarded by mutex_
    std::optional<std::variant<ReadText, ReadFailure>> result_;  // guarded by mutex_
    bool previewComplete_ = false;                               // the worker's own
    std::thread worker_;
};
