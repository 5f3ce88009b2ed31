// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/text_loader.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <new>

#include "common/cp1252.h"
#include "common/file_descriptor.h"
#include "common/file_io.h"
#include "common/io_error.h"
#include "reading/epub_reader.h"
#include "reading/plain_text.h"

namespace {

constexpr std::size_t kBlockBytes = 256 * 1024;

// "64 Mo", "512 Ko".
std::string SizeText(uint64_t bytes) {
    return bytes >= (uint64_t(1) << 20) ? std::to_string(bytes >> 20) + "\u00A0Mo"
                                        : std::to_string(bytes >> 10) + "\u00A0Ko";
}

ReadFailure TooBig(uint64_t limit, const char* what) {
    return ReadFailure(ReadProblem::TooBig, std::string(what) + " plus de " + SizeText(limit));
}

ReadFailure FailureOf(const IoError& error) {
    switch (error.code()) {
        case kIoFileNotFound: return ReadFailure(ReadProblem::Missing);
        case kIoNotRegularFile: return ReadFailure(ReadProblem::NotRegular);
        case kIoReadPastEnd:
        case kIoDiskFull: return ReadFailure(ReadProblem::SystemError, IoErrorText(error.code()));
        default: return ReadFailure(ReadProblem::SystemError, IoReasonText(error.code()));
    }
}

// The file's name without its folder and extension, in UTF-8.
std::string TitleFromName(const std::string& path) {
    std::string name = path.substr(path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return IsValidUtf8(name, true) ? name : Cp1252ToUtf8(name);
}

bool NamesEpub(const std::string& path) {
    if (path.size() < 5) return false;
    std::string extension = path.substr(path.size() - 5);
    for (char& c : extension) c = char(Cp1252Lower(static_cast<unsigned char>(c)));
    return extension == ".epub";
}

// Fills the block from the file; fewer bytes only at its end.
std::size_t ReadBlock(int fd, char* block, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const std::size_t got = ReadSome(fd, block + done, size - done);
        if (got == 0) break;
        done += got;
    }
    return done;
}

void ReadPlain(int fd, uint64_t size, uint64_t limit, TextBuilder& out, const std::function<void(double)>& step) {
    out.Anticipate(std::size_t(size), 0);
    PlainTextReader reader(out);
    std::string block(kBlockBytes, '\0');
    uint64_t done = 0;
    for (;;) {
        const std::size_t got = ReadBlock(fd, block.data(), block.size());
        done += got;
        if (done > limit) throw TooBig(limit, "le fichier fait");  // it grew while read
        const bool last = got < block.size();
        reader.Feed(std::string_view(block.data(), got), last);
        step(size > 0 ? std::min(1.0, double(done) / double(size)) : 1.0);
        if (last) break;
    }
    out.Text().Encoding = reader.Encoding();
}

}  // namespace

ReadText ReadTextFile(const std::string& path, const ReadOptions& options,
                      const std::function<void(double, const TextBuilder&)>& tick,
                      const std::function<void(const TextBuilder&)>& early) {
    try {
        const FileDescriptor file(OpenRegularFile(path, O_RDONLY));
        TextBuilder builder(options.Rules, options.PassageLength);
        if (options.Start.Character > 0) builder.CutAt(options.Start.Character);
        ReadText& text = builder.Text();
        text.Identity = IdentifyOpenFile(file.get(), path);
        text.Title = TitleFromName(path);
        const ReadLimits& limits = options.Limits;
        const auto step = [&](double share) {
            if (builder.Size() > limits.MaxTextBytes) throw TooBig(limits.MaxTextBytes, "son texte fait");
            if (tick) tick(share, builder);
        };
        char magic[4] = {};
        const bool zip = ::pread(file.get(), magic, sizeof magic, 0) == sizeof magic &&
                         std::memcmp(magic, "PK\x03\x04", sizeof magic) == 0;
        if (zip) {
            if (text.Identity.Size > limits.MaxBookBytes) throw TooBig(limits.MaxBookBytes, "le livre fait");
            text.Format = TextFormat::Epub;
            ReadEpub(file.get(), limits, options.Start, builder, step, early);
        } else {
            if (NamesEpub(path)) throw ReadFailure(ReadProblem::DamagedEpub, "ce n'est pas une archive ZIP");
            if (text.Identity.Size > limits.MaxTextFileBytes) throw TooBig(limits.MaxTextFileBytes, "le fichier fait");
            ReadPlain(file.get(), text.Identity.Size, limits.MaxTextFileBytes, builder, step);
        }
        builder.Finish();
        if (text.Passages.empty()) throw ReadFailure(ReadProblem::Empty);
        step(1.0);
        return std::move(text);
    } catch (ReadFailure& failure) {
        failure.Path = path;
        throw;
    } catch (const IoError& error) {
        ReadFailure failure = FailureOf(error);
        failure.Path = path;
        throw failure;
    } catch (const std::bad_alloc&) {
        ReadFailure failure(ReadProblem::SystemError, "la mémoire manque");
        failure.Path = path;
        throw failure;
    }
}

struct TextLoader::Shared {
    Shared(std::string filePath, const ReadOptions& readOptions) : Path(std::move(filePath)), Options(readOptions) {}

    // The reading, on its thread.
    void Run(const std::atomic<bool>& stop);
    // Hands the passages from Options.Start over to the window once they are cut
    // (`finished` of the text's passages are); `ahead`: the text of a chapter read ahead.
    void Publish(const ReadText& text, int finished, bool ahead);

    const std::string Path;
    const ReadOptions Options;
    std::atomic<double> Progress{0};
    std::mutex Mutex;
    std::optional<TextPreview> Preview;                         // guarded by Mutex
    std::optional<std::variant<ReadText, ReadFailure>> Result;  // guarded by Mutex
    bool PreviewComplete = false;                               // the reading's own: the whole text's preview is given
};

TextLoader::TextLoader(std::string path, const ReadOptions& options)
    : path_(std::move(path)),
      shared_(std::make_shared<Shared>(path_, options)),
      reading_([shared = shared_](const std::atomic<bool>& stop) { shared->Run(stop); }) {}

void TextLoader::Cancel() { reading_.Stop(); }

double TextLoader::Progress() const { return shared_->Progress.load(std::memory_order_relaxed); }

bool TextLoader::Finished() const { return reading_.Finished(); }

std::optional<TextPreview> TextLoader::Preview() const {
    const std::lock_guard lock(shared_->Mutex);
    return shared_->Preview;
}

std::optional<std::variant<ReadText, ReadFailure>> TextLoader::Take() {
    if (!Finished()) return std::nullopt;
    const std::lock_guard lock(shared_->Mutex);
    std::optional<std::variant<ReadText, ReadFailure>> result = std::move(shared_->Result);
    shared_->Result.reset();
    return result;
}

void TextLoader::Shared::Run(const std::atomic<bool>& stop) {
    std::optional<std::variant<ReadText, ReadFailure>> result;
    try {
        ReadText text = ReadTextFile(
            Path, Options,
            [&](double share, const TextBuilder& builder) {
                if (stop.load(std::memory_order_relaxed)) throw ReadFailure(ReadProblem::Cancelled);
                Progress.store(share, std::memory_order_relaxed);
                if (!PreviewComplete) Publish(builder.Text(), builder.Finished(), false);
            },
            [&](const TextBuilder& chapter) { Publish(chapter.Text(), chapter.Finished(), true); });
        if (!PreviewComplete) Publish(text, text.PassageCount(), false);
        result.emplace(std::move(text));
    } catch (const ReadFailure& failure) {
        result.emplace(failure);
    } catch (const std::exception&) {
        ReadFailure failure(ReadProblem::SystemError, "erreur inattendue");
        failure.Path = Path;
        result.emplace(std::move(failure));
    }
    const std::lock_guard lock(Mutex);
    Result = std::move(result);
}

void TextLoader::Shared::Publish(const ReadText& text, int finished, bool ahead) {
    if (text.Passages.empty()) return;
    const int first = text.PassageFrom(Options.Start.Character);
    const int end = std::min(finished, first + kPreviewPassages);
    if (end <= first) return;
    if (!ahead) {
        const std::lock_guard lock(Mutex);
        if (Preview && Preview->First == first && int(Preview->Passages.size()) == end - first) return;
    }
    TextPreview preview{text.Title, ahead ? -1 : first, {}};
    for (int k = first; k < end; ++k) preview.Passages.push_back(text.Passage(k));
    if (!ahead) PreviewComplete = end - first == kPreviewPassages;
    const std::lock_guard lock(Mutex);
    Preview = std::move(preview);
}
