// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lexicon/loader.h"

#include <fcntl.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>

#include "common/cp1252.h"
#include "common/file_descriptor.h"
#include "common/io_error.h"
#include "common/rounding.h"

namespace {

// ---------------------------------------------------------------------------------------
// Keeping the window responsive. Pumping the window's events on every dictionary line
// would cost more than the line itself, so the clock is looked at every few hundred lines
// (or between two blocks of a file read) and the events are handled once a frame's worth
// of time has gone by.

constexpr auto kEventInterval = std::chrono::milliseconds(16);
constexpr int kLinesBetweenClockChecks = 256;

class EventPump {
public:
    explicit EventPump(const std::function<void()>& processEvents)
        : processEvents_(processEvents), last_(Clock::now()) {}

    void Poll() {
        if (!processEvents_) return;
        if (Clock::now() - last_ < kEventInterval) return;
        processEvents_();
        last_ = Clock::now();
    }

private:
    using Clock = std::chrono::steady_clock;
    const std::function<void()>& processEvents_;
    Clock::time_point last_;
};

// ---------------------------------------------------------------------------------------
// Index of the first byte c in p[0..n), or n. Eight bytes at a time where the machine
// allows it: dictionary fields are short, and a call to memchr costs more than the search.

inline std::size_t FindByte(const char* p, std::size_t n, char c) {
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
        const uint64_t pattern = kOnes * static_cast<unsigned char>(c);
        for (; i + 8 <= n; i += 8) {
            uint64_t word;
            std::memcpy(&word, p + i, 8);
            word ^= pattern;  // the bytes equal to c become zero
            if (uint64_t zeros = (word - kOnes) & ~word & kHighs) return i + std::size_t(std::countr_zero(zeros) >> 3);
        }
    }
    for (; i < n; ++i)
        if (p[i] == c) return i;
    return n;
}

// Copies n bytes; the short runs of dictionary words go without a call to memcpy.
inline void CopyBytes(char* to, const char* from, std::size_t n) {
    if (n >= 8 && n <= 16) {
        uint64_t head, tail;
        std::memcpy(&head, from, 8);
        std::memcpy(&tail, from + n - 8, 8);
        std::memcpy(to, &head, 8);
        std::memcpy(to + n - 8, &tail, 8);
    } else if (n >= 4 && n < 8) {
        uint32_t head, tail;
        std::memcpy(&head, from, 4);
        std::memcpy(&tail, from + n - 4, 4);
        std::memcpy(to, &head, 4);
        std::memcpy(to + n - 4, &tail, 4);
    } else if (n > 16) {
        std::memcpy(to, from, n);
    } else {
        for (std::size_t i = 0; i < n; ++i) to[i] = from[i];
    }
}

// Stores the text in a table slot, cut to its first 50 characters.
inline void Store(ShortString& slot, std::string_view text) {
    std::size_t n = text.size() < std::size_t(kShortStringCapacity) ? text.size() : std::size_t(kShortStringCapacity);
    CopyBytes(slot.Chars, text.data(), n);
    slot.Length = static_cast<uint8_t>(n);
}

// The lemma of the previous dictionary line, kept apart from the read buffer, which moves.
class LemmaCopy {
public:
    std::string_view View() const { return {bytes_.get(), size_}; }
    void Assign(std::string_view text) {
        if (text.size() > capacity_) {
            capacity_ = text.size() < 64 ? 64 : text.size() * 2;
            bytes_.reset(new char[capacity_]);
        }
        CopyBytes(bytes_.get(), text.data(), text.size());
        size_ = text.size();
    }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

// ---------------------------------------------------------------------------------------
// Lines of a text: a line ends at LF (a CR just before it belongs to the line end), a lone
// CR is dropped from the line, and a byte 26 ends the text. A file is read in blocks into
// one buffer that is used again and again (it grows only for a line longer than itself);
// the lines are cut in place.

int OpenForReading(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) ThrowIoErrorFromErrno();
    return fd;
}

constexpr std::size_t kReadBlock = std::size_t(256) << 10;

class LineReader {
public:
    // The lines of an open file.
    LineReader(int fd, EventPump& pump) : fd_(fd), pump_(&pump), owned_(new char[kReadBlock]), capacity_(kReadBlock) {
        buffer_ = pos_ = end_ = owned_.get();
    }

    // The lines of a text in memory, which is changed in place.
    LineReader(char* text, std::size_t size) : buffer_(text), pos_(text), end_(text + size), eof_(true) {
        TakeNewBytes(text, size);
    }

    // True when no byte is left.
    bool AtEnd() { return pos_ == end_ && !Fill(); }

    // The next line; an empty one at the end of the text.
    std::string_view Next() {
        std::size_t scanned = 0;
        char* stop;
        for (;;) {
            std::size_t left = std::size_t(end_ - pos_) - scanned;
            if (left != 0) {
                if (void* lf = std::memchr(pos_ + scanned, '\n', left)) {
                    stop = static_cast<char*>(lf);
                    break;
                }
            }
            scanned += left;
            if (!Fill()) {
                stop = end_;
                break;
            }
        }
        char* begin = pos_;
        pos_ = stop == end_ ? end_ : stop + 1;
        if (stop != begin && stop[-1] == '\r') --stop;
        if (hasLoneCr_) {
            if (void* cr = std::memchr(begin, '\r', std::size_t(stop - begin))) {
                char* write = static_cast<char*>(cr);
                for (const char* read = write + 1; read != stop; ++read)
                    if (*read != '\r') *write++ = *read;
                stop = write;
            }
        }
        return {begin, std::size_t(stop - begin)};
    }

private:
    // Reads the next block after the bytes not yet taken; false at the end of the file.
    bool Fill() {
        if (eof_) return false;
        std::size_t kept = std::size_t(end_ - pos_);
        if (pos_ != buffer_ && kept != 0) std::memmove(buffer_, pos_, kept);
        if (kept == capacity_) {  // a line longer than the buffer
            std::unique_ptr<char[]> bigger(new char[capacity_ * 2]);
            std::memcpy(bigger.get(), buffer_, kept);
            owned_ = std::move(bigger);
            buffer_ = owned_.get();
            capacity_ *= 2;
        }
        pos_ = buffer_;
        end_ = buffer_ + kept;
        for (;;) {
            ssize_t got = ::read(fd_, end_, capacity_ - kept);
            if (got < 0) {
                if (errno == EINTR) continue;
                ThrowIoErrorFromErrno();
            }
            pump_->Poll();
            if (got == 0) {
                eof_ = true;
                return false;
            }
            char* fresh = end_;
            end_ += got;
            TakeNewBytes(fresh, std::size_t(got));
            return end_ != fresh;
        }
    }

    // Ends the text at a byte 26 and notes whether a lone CR is there. Lone CRs are rare:
    // looking for them once per block spares every line a second look.
    void TakeNewBytes(char* fresh, std::size_t size) {
        if (size == 0) return;
        if (void* eof = std::memchr(fresh, 26, size)) {
            end_ = static_cast<char*>(eof);
            eof_ = true;
        }
        const char* from = fresh != pos_ ? fresh - 1 : fresh;  // a CR kept from the block before
        std::size_t length = std::size_t(end_ - from);
        unsigned char lone = 0;
        for (std::size_t i = 0; i + 1 < length; ++i)
            lone |= static_cast<unsigned char>((from[i] == '\r') & (from[i + 1] != '\n'));
        // A CR in the last byte is looked at with the next block, which keeps it; at the
        // end of the text it goes with the line end, like the CR of CR LF.
        if (lone != 0) hasLoneCr_ = true;
    }

    int fd_ = -1;
    EventPump* pump_ = nullptr;
    std::unique_ptr<char[]> owned_;
    std::size_t capacity_ = 0;
    char* buffer_;
    char* pos_;  // first byte not yet taken
    char* end_;  // end of the bytes read
    bool eof_ = false;
    bool hasLoneCr_ = false;
};

// ---------------------------------------------------------------------------------------
// Sub-tag codes. The verb codes of 8 to 16 characters are keyed exactly by their first
// and their last 8 bytes and found in a table built at compile time from kVerbSlotCodes,
// whose hash (multiplier picked by search) puts each of them in a bucket of its own.

// Eight bytes as a little-endian number.
constexpr uint64_t Load64(const char* p) {
    if (!std::is_constant_evaluated() && std::endian::native == std::endian::little) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    }
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= uint64_t(static_cast<unsigned char>(p[i])) << (8 * i);
    return v;
}

struct CodeKey {
    uint64_t head = 0;
    uint64_t tail = 0;
    std::size_t length = 0;
    constexpr bool operator==(const CodeKey&) const = default;
};

// Key of a code of 8 to 16 characters.
constexpr CodeKey KeyOf(std::string_view s) { return {Load64(s.data()), Load64(s.data() + s.size() - 8), s.size()}; }

constexpr std::size_t BucketOf(const CodeKey& key, std::size_t buckets) {
    uint64_t h = (key.head ^ (key.tail * 0xC2B2AE3D27D4EB4Full) ^ key.length) * 0x86F6FF960B581673ull;
    return std::size_t(h >> 57) & (buckets - 1);
}

constexpr std::size_t kVerbBuckets = 128;  // power of two, well above the 50 codes

struct VerbCodeTable {
    CodeKey key[kVerbBuckets];
    int8_t slot[kVerbBuckets];
};

constexpr VerbCodeTable BuildVerbCodeTable() {
    VerbCodeTable table{};
    for (auto& s : table.slot) s = -1;
    for (int slot = 1; slot < kVerbSlotCount; ++slot) {
        std::string_view code = kVerbSlotCodes[slot];
        if (code.size() < 8) continue;  // "PPre", looked up apart
        CodeKey key = KeyOf(code);
        std::size_t b = BucketOf(key, kVerbBuckets);
        while (table.slot[b] != -1) b = (b + 1) & (kVerbBuckets - 1);
        table.key[b] = key;
        table.slot[b] = static_cast<int8_t>(slot);
    }
    return table;
}

constexpr VerbCodeTable kVerbCodeTable = BuildVerbCodeTable();

// Every code sits in its own bucket, so a look-up needs one comparison.
constexpr bool VerbCodesSitInTheirOwnBuckets() {
    for (std::size_t b = 0; b < kVerbBuckets; ++b)
        if (kVerbCodeTable.slot[b] != -1 && BucketOf(kVerbCodeTable.key[b], kVerbBuckets) != b) return false;
    return true;
}
static_assert(VerbCodesSitInTheirOwnBuckets());

constexpr bool CodesOfVerbSlotsAreAsLongAsExpected() {
    for (int slot = 1; slot < kVerbSlotCount; ++slot) {
        std::size_t n = kVerbSlotCodes[slot].size();
        if (n > 16 || (n < 8 && slot != kPresentParticipleSlot)) return false;
    }
    return kVerbSlotCodes[kPresentParticipleSlot].size() < 8;
}
static_assert(CodesOfVerbSlotsAreAsLongAsExpected());

// ---------------------------------------------------------------------------------------
// The dictionary.

class DictionaryLoader {
public:
    DictionaryLoader(Lexicon& lexicon, const LoadCallbacks& callbacks, EventPump& pump)
        : lexicon_(lexicon), callbacks_(callbacks), pump_(pump) {}

    void Load(LineReader& lines) {
        std::string_view line = lines.Next();  // the first line is read even from an empty file
        int64_t lineNumber = 0;
        for (;;) {
            ++lineNumber;
            UpdateProgress(lineNumber);
            if (lineNumber % kLinesBetweenClockChecks == 0) pump_.Poll();
            TakeLine(line);
            if (lines.AtEnd()) break;
            line = lines.Next();
            if (line.empty()) break;
        }
        ShowProgress(100);
    }

private:
    // The bar shows RoundHalfEven(line / 289,564 * 100). That value climbs by one every
    // 2,895 or 2,896 lines, so once it has moved on, the lines of the next 2,895 need no
    // computation.
    static constexpr int64_t kLinesPerStep = int64_t(kDictionaryLinesForFullBar / 100.0);

    void UpdateProgress(int64_t lineNumber) {
        if (lineNumber < nextProgressCheck_) return;
        int position = RoundHalfEven(double(lineNumber) / kDictionaryLinesForFullBar * 100.0);
        bool steppedOn = shownPosition_ >= 0 && position != shownPosition_;
        ShowProgress(position);
        nextProgressCheck_ = lineNumber + (steppedOn ? kLinesPerStep : 1);
    }

    void ShowProgress(int position) {
        if (position == shownPosition_) return;
        shownPosition_ = position;
        if (callbacks_.SetProgressPosition) callbacks_.SetProgressPosition(position);
    }

    void TakeLine(std::string_view line) {
        // Form up to the first TAB, one or more TABs, the lemma up to the next TAB, then
        // exactly one TAB before the tag field.
        const std::size_t n = line.size();
        std::size_t formEnd = FindByte(line.data(), n, '\t');
        if (formEnd == n) return;
        std::size_t lemmaStart = formEnd + 1;
        while (lemmaStart < n && line[lemmaStart] == '\t') ++lemmaStart;
        std::size_t lemmaEnd = lemmaStart + FindByte(line.data() + lemmaStart, n - lemmaStart, '\t');
        if (lemmaEnd == n) return;

        std::string_view form = line.substr(0, formEnd);
        std::string_view lemma = line.substr(lemmaStart, lemmaEnd - lemmaStart);
        std::string_view tags = line.substr(lemmaEnd + 1);

        // The lines of one lemma follow each other; a line that is skipped below still
        // counts as the previous line.
        bool sameLemma = lemma == previousLemma_.View();
        previousLemma_.Assign(lemma);

        if (tags.size() < 5 || lemma.size() < 4) return;
        std::string_view kind = tags.substr(0, 4);
        std::string_view subTags = tags.substr(4);
        if (kind == "Ver:") {
            if (!OpenEntry(lexicon_.VerbCount, kVerbCapacity, verbsFull_, sameLemma)) return;
            StoreVerbForms(lexicon_.Verb(lexicon_.VerbCount), form, lemma, subTags);
        } else if (kind == "Nom:") {
            if (!OpenEntry(lexicon_.NounCount, kNominalCapacity, nounsFull_, sameLemma)) return;
            StoreNominalForms(lexicon_.Noun(lexicon_.NounCount), form, lemma, subTags);
        } else if (kind == "Adj:") {
            if (!OpenEntry(lexicon_.AdjectiveCount, kNominalCapacity, adjectivesFull_, sameLemma)) return;
            StoreNominalForms(lexicon_.Adjective(lexicon_.AdjectiveCount), form, lemma, subTags);
        }
    }

    // Moves `count` to the entry of this line: a new one for a new lemma (or the very
    // first), else the last one. False once the table is full: from then on nothing more
    // is stored in it, since every later entry would lie beyond it.
    static bool OpenEntry(int32_t& count, int32_t capacity, bool& full, bool sameLemma) {
        if (full) return false;
        if (count == 0 || !sameLemma) {
            if (count >= capacity) {
                full = true;
                return false;
            }
            ++count;
        }
        return true;
    }

    // Calls store(subTag) for each sub-tag of the list: separated by ':', a final ':'
    // adding no empty one, at most kMaxSubTagsPerLine, each cut to a short string.
    template <typename Store>
    static void ForEachSubTag(std::string_view list, Store store) {
        const std::size_t n = list.size();
        std::size_t start = 0;
        for (int count = 0; count < kMaxSubTagsPerLine; ++count) {
            std::size_t end = start + FindByte(list.data() + start, n - start, ':');
            std::size_t length = end - start;
            if (length > std::size_t(kShortStringCapacity)) length = kShortStringCapacity;
            store(list.substr(start, length));
            if (end + 1 >= n) return;  // no ':' left, or the last one ends the line
            start = end + 1;
        }
    }

    static void StoreVerbForms(VerbEntry& entry, std::string_view form, std::string_view lemma,
                               std::string_view subTags) {
        Store(entry.Slots[kVerbInfinitive], lemma);
        ForEachSubTag(subTags, [&](std::string_view code) {
            int slot = VerbSlotOfCode(code);
            if (slot > 0) Store(entry.Slots[slot], form);
        });
    }

    static void StoreNominalForms(NominalEntry& entry, std::string_view form, std::string_view lemma,
                                  std::string_view subTags) {
        Store(entry.Slots[kNominalLemma], lemma);
        ForEachSubTag(subTags, [&](std::string_view code) {
            int slot = NominalSlotOfCode(code);
            if (slot >= 0) Store(entry.Slots[slot], form);
        });
    }

    Lexicon& lexicon_;
    const LoadCallbacks& callbacks_;
    EventPump& pump_;
    LemmaCopy previousLemma_;
    int shownPosition_ = -1;
    int64_t nextProgressCheck_ = 0;
    bool verbsFull_ = false;
    bool nounsFull_ = false;
    bool adjectivesFull_ = false;
};

void ClearDictionaryTables(Lexicon& lexicon) {
    std::memset(lexicon.Verbs, 0, sizeof(VerbEntry) * std::size_t(lexicon.VerbCount));
    std::memset(lexicon.Nouns, 0, sizeof(NominalEntry) * std::size_t(lexicon.NounCount));
    std::memset(lexicon.Adjectives, 0, sizeof(NominalEntry) * std::size_t(lexicon.AdjectiveCount));
    lexicon.VerbCount = lexicon.NounCount = lexicon.AdjectiveCount = 0;
}

}  // namespace

int VerbSlotOfCode(std::string_view subTag) {
    if (subTag.size() < 8) return subTag == kVerbSlotCodes[kPresentParticipleSlot] ? kPresentParticipleSlot : -1;
    if (subTag.size() > 16) return -1;
    CodeKey key = KeyOf(subTag);
    std::size_t b = BucketOf(key, kVerbBuckets);
    return kVerbCodeTable.key[b] == key ? kVerbCodeTable.slot[b] : -1;
}

int NominalSlotOfCode(std::string_view subTag) {
    if (subTag.size() != 6) return -1;
    for (int slot = 0; slot < 4; ++slot)
        if (kNominalSlotCodes[slot] == subTag) return slot;
    return -1;
}

namespace {

void LoadNames(LineReader& lines, Lexicon& lexicon, NameList list) {
    ShortString* names = list == NameList::Female ? lexicon.FemaleNames : lexicon.MaleNames;
    int32_t& count = list == NameList::Female ? lexicon.FemaleNameCount : lexicon.MaleNameCount;
    std::memset(names, 0, sizeof(ShortString) * kNameCapacity);
    count = 0;

    // One name a line up to the first empty line; the first line counts even when empty.
    std::string_view line = lines.Next();
    while (count < kNameCapacity) {
        Store(names[count], line);
        ++count;
        if (lines.AtEnd()) break;
        line = lines.Next();
        if (line.empty()) break;
    }
}

}  // namespace

void LoadNameList(char* text, std::size_t size, Lexicon& lexicon, NameList list) {
    LineReader lines(text, size);
    LoadNames(lines, lexicon, list);
}

void LoadDictionary(char* text, std::size_t size, Lexicon& lexicon, const LoadCallbacks& callbacks) {
    ClearDictionaryTables(lexicon);
    EventPump pump(callbacks.ProcessEvents);
    LineReader lines(text, size);
    DictionaryLoader(lexicon, callbacks, pump).Load(lines);
}

void LoadLexicon(const std::string& dataDirectory, Lexicon& lexicon, const LoadCallbacks& callbacks) {
    lexicon.Clear();
    EventPump pump(callbacks.ProcessEvents);
    {
        FileDescriptor file(OpenForReading(dataDirectory + "/" + kFemaleNamesFile));
        LineReader lines(file.get(), pump);
        LoadNames(lines, lexicon, NameList::Female);
    }
    {
        FileDescriptor file(OpenForReading(dataDirectory + "/" + kMaleNamesFile));
        LineReader lines(file.get(), pump);
        LoadNames(lines, lexicon, NameList::Male);
    }
    FileDescriptor file(OpenForReading(dataDirectory + "/" + kDictionaryFile));
    LineReader lines(file.get(), pump);
    DictionaryLoader(lexicon, callbacks, pump).Load(lines);
}

std::string LexiconSummary(const Lexicon& lexicon) {
    std::string summary;
    summary += "L'ordinateur connaît "_cp;
    summary += std::to_string(lexicon.VerbCount);
    summary += " verbes conjugués, "_cp;
    summary += std::to_string(lexicon.NounCount);
    summary += " noms communs, ";
    summary += std::to_string(lexicon.AdjectiveCount);
    summary += " adjectifs et ";
    summary += std::to_string(int64_t(lexicon.MaleNameCount) + lexicon.FemaleNameCount);
    summary += " prénoms."_cp;
    return summary;
}
