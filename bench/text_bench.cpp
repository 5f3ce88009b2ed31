// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// "Vos textes" on whole books: a 10 MB plain text and a 5 MB EPUB, made here in a
// temporary folder, opened as the window opens them (a TextLoader polled every
// millisecond). Prints the time to the first passage, the longest time a call of the
// window thread takes, the whole reading's time and the memory it takes at its peak over
// the size of the text to type.
#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "bench/timing.h"
#include "reading/reading_places.h"
#include "reading/reading_support.h"  // tests/reading: the EPUB writer
#include "reading/text_loader.h"

namespace {

using bench::Clock;
using bench::MillisecondsSince;

// Pseudo-French prose: sentences of words drawn from a list, with the typography of a
// printed book (’ « » … —), deterministic.
class Prose {
public:
    std::string Sentence() {
        static const char* const kWords[] = {
            "le",      "la",       "les",       "un",       "une",       "des",     "maison",    "été",      "hiver",
            "forêt",   "rivière",  "enfant",    "œuvre",    "cœur",      "très",    "où",        "déjà",     "après",
            "château", "fenêtre",  "lumière",   "chemin",   "voyageur",  "ancien",  "première",  "dernière", "entendit",
            "regarda", "marchait", "pensait",   "répondit", "attendait", "soudain", "doucement", "jamais",   "toujours",
            "dans",    "sur",      "avec",      "pour",     "sans",      "vers",    "derrière",  "devant",   "Paris",
            "Marie",   "Jean",     "capitaine", "lettre",   "journée",   "silence", "ville",     "mer",      "ciel"};
        const int count = 6 + int(Next() % 14);
        std::string sentence;
        const bool quoted = Next() % 8 == 0;
        if (quoted) sentence += "« ";
        for (int i = 0; i < count; ++i) {
            std::string word = kWords[Next() % std::size(kWords)];
            if (i == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = char(word[0] - 'a' + 'A');
            if (i > 0) sentence += Next() % 11 == 0 ? ", " : " ";
            if (Next() % 13 == 0) word = "l’" + word;
            sentence += word;
        }
        const unsigned end = Next() % 10;
        sentence += end == 0 ? "\u00A0!" : end == 1 ? "\u00A0?" : end == 2 ? "…" : ".";
        if (quoted) sentence += "\u00A0»";
        if (Next() % 15 == 0) sentence += " — dit-il.";
        return sentence;
    }

private:
    unsigned Next() {
        state_ = state_ * 1103515245u + 12345u;
        return state_ >> 8;
    }
    unsigned state_ = 42;
};

// Paragraphs of 3 to 8 sentences, wrapped at 72 characters, a blank line between them.
std::size_t MakePlainText(const std::string& path, std::size_t bytes) {
    Prose prose;
    std::string text;
    while (text.size() < bytes) {
        std::string line;
        for (int s = 0; s < 5; ++s) {
            std::string sentence = prose.Sentence();
            std::size_t start = 0;
            while (start < sentence.size()) {
                const std::size_t blank = sentence.find(' ', start);
                const std::string word =
                    sentence.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
                if (line.size() + word.size() > 72) {
                    text += line + "\r\n";
                    line.clear();
                }
                line += word + " ";
                start = blank == std::string::npos ? sentence.size() : blank + 1;
            }
        }
        text += line + "\r\n\r\n";
    }
    test_support::WriteBytes(path, text);
    return text.size();
}

// Chapters of about 300 KB of XHTML, as many as make a book of that size.
std::size_t MakeEpub(const std::string& path, std::size_t bytes) {
    Prose prose;
    std::vector<reading_test::ZipEntry> chapters;
    std::size_t chapterBytes = 0;
    while (chapters.empty() || chapters.size() * chapterBytes < bytes) {
        std::string body = "<h1>Chapitre " + std::to_string(chapters.size() + 1) + "</h1>";
        while (body.size() < 300'000) {
            body += "<p>";
            for (int s = 0; s < 5; ++s) body += prose.Sentence() + " ";
            body += "</p>\n";
        }
        chapters.push_back({"chapitre" + std::to_string(chapters.size() + 1) + ".xhtml", reading_test::Xhtml(body)});
        if (chapters.size() == 1) {
            reading_test::WriteZip(path, reading_test::EpubBook("Le livre", chapters));
            chapterBytes = test_support::ReadBytes(path).size();
        }
    }
    reading_test::WriteZip(path, reading_test::EpubBook("Le livre", chapters));
    return test_support::ReadBytes(path).size();
}

long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    return 0;
}

struct Opening {
    double FirstPassageMs = -1;
    double LoadMs = 0;
    double LongestCallMs = 0;
    double MemoryRatio = 0;
    std::size_t TextBytes = 0;
    TextPosition Late;  // the place of the passage at nine tenths of the text
};

// Opens the file as the window does, timing every call the window makes.
Opening Open(const std::string& path, const TextPosition& start) {
    ::malloc_trim(0);
    const long baseKb = StatusKb("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
    Opening result;
    const auto timed = [&](auto&& call) {
        const Clock::time_point start = Clock::now();
        call();
        result.LongestCallMs = std::max(result.LongestCallMs, MillisecondsSince(start));
    };
    ReadOptions options;
    options.Start = start;
    const Clock::time_point opened = Clock::now();
    std::unique_ptr<TextLoader> loader;
    timed([&] { loader = std::make_unique<TextLoader>(path, options); });
    std::optional<std::variant<ReadText, ReadFailure>> taken;
    while (!taken) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        timed([&] { (void)loader->Progress(); });
        if (result.FirstPassageMs < 0)
            timed([&] {
                if (loader->Preview()) result.FirstPassageMs = MillisecondsSince(opened);
            });
        timed([&] { taken = loader->Take(); });
    }
    result.LoadMs = MillisecondsSince(opened);
    const ReadText* text = std::get_if<ReadText>(&*taken);
    if (text == nullptr) {
        std::fprintf(stderr, "%s\n", std::get<ReadFailure>(*taken).Message().c_str());
        std::exit(1);
    }
    result.TextBytes = text->Text.size();
    result.Late = text->PositionOf(text->PassageCount() * 9 / 10);
    result.MemoryRatio = double(StatusKb("VmHWM:") - baseKb) * 1024.0 / double(result.TextBytes);
    timed([&] { (void)text->Passage(text->PassageCount() / 2); });
    timed([&] { loader.reset(); });
    timed([&] { taken.reset(); });
    return result;
}

}  // namespace

int main() {
    // Large blocks come from the system and go back to it when freed, so that the peak
    // measured is the reading's own.
    ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    const reading_test::ScratchFolder folder;
    const std::size_t plainBytes = MakePlainText(folder / "texte.txt", 10'000'000);
    const std::size_t epubBytes = MakeEpub(folder / "livre.epub", 5'250'000);

    const Opening plain = Open(folder / "texte.txt", {});
    const Opening epub = Open(folder / "livre.epub", {});
    // Both resumed near their end, where the place kept in the resume file says.
    const Opening plainResumed = Open(folder / "texte.txt", plain.Late);
    const Opening epubResumed = Open(folder / "livre.epub", epub.Late);

    ReadingPlaces places(folder.Path());
    places.Load();
    const ReadText book = ReadTextFile(folder / "livre.epub", {});
    places.Record(book, book.PassageCount() / 2, 40.0, TodayText());
    const Clock::time_point saving = Clock::now();
    places.Save();
    const double saveMs = MillisecondsSince(saving);

    const Opening* all[] = {&plain, &epub, &plainResumed, &epubResumed};
    double first = 0;
    double stall = 0;
    for (const Opening* opening : all) {
        first = std::max(first, opening->FirstPassageMs);
        stall = std::max(stall, opening->LongestCallMs);
    }
    std::printf("text_first_passage_ms %.1f ms\n", first);
    std::printf("text_longest_stall_ms %.2f ms\n", stall);
    std::printf("text_memory_ratio %.2f x\n", std::max(plain.MemoryRatio, epub.MemoryRatio));
    std::printf("text_plain_bytes %zu bytes\n", plainBytes);
    std::printf("text_plain_first_passage_ms %.1f ms\n", plain.FirstPassageMs);
    std::printf("text_plain_resumed_first_passage_ms %.1f ms\n", plainResumed.FirstPassageMs);
    std::printf("text_plain_load_ms %.1f ms\n", plain.LoadMs);
    std::printf("text_plain_memory_ratio %.2f x\n", plain.MemoryRatio);
    std::printf("text_epub_bytes %zu bytes\n", epubBytes);
    std::printf("text_epub_text_bytes %zu bytes\n", epub.TextBytes);
    std::printf("text_epub_first_passage_ms %.1f ms\n", epub.FirstPassageMs);
    std::printf("text_epub_resumed_first_passage_ms %.1f ms\n", epubResumed.FirstPassageMs);
    std::printf("text_epub_load_ms %.1f ms\n", epub.LoadMs);
    std::printf("text_epub_memory_ratio %.2f x\n", epub.MemoryRatio);
    std::printf("text_place_save_ms %.2f ms\n", saveMs);
    return 0;
}
