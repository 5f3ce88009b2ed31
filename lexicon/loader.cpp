// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lexicon/loader.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "common/cp1252.h"
#include "common/file_descriptor.h"
#include "common/io_error.h"
#include "common/rounding.h"
#include "lexicon/byte_scan.h"
#include "lexicon/event_pump.h"
#include "lexicon/line_reader.h"

// The dictionary parser and the three loading steps.

using namespace lexicon_detail;

namespace {

// The lemma of the previous dictionary line, kept apart from the read buffer, which moves.
class LemmaCopy {
public:
    bool Equals(std::string_view text) const {
        return text.size() == size_ && SameBytes(bytes_.get(), text.data(), size_);
    }
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
        const bool sameLemma = previousLemma_.Equals(lemma);
        if (!sameLemma) previousLemma_.Assign(lemma);

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

void LoadNames(LineReader& lines, Lexicon& lexicon, NameList list) {
    const bool feminine = list == NameList::Female;
    ShortString* names = feminine ? lexicon.FemaleNames : lexicon.MaleNames;
    int32_t& count = feminine ? lexicon.FemaleNameCount : lexicon.MaleNameCount;
    lexicon.ClearNames(feminine ? Gender::Feminine : Gender::Masculine);

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
    lexicon.ClearDictionary();
    EventPump pump(callbacks.ProcessEvents);
    LineReader lines(text, size);
    DictionaryLoader(lexicon, callbacks, pump).Load(lines);
}

void LoadLexicon(const std::string& dataDirectory, Lexicon& lexicon, const LoadCallbacks& callbacks) {
    lexicon.Clear();
    EventPump pump(callbacks.ProcessEvents);
    // A failed read names the file it was reading.
    const std::string female = dataDirectory + "/" + kFemaleNamesFile;
    NamingFile(female, [&] {
        FileDescriptor file(OpenForReading(female));
        LineReader lines(file.get(), pump);
        LoadNames(lines, lexicon, NameList::Female);
    });
    const std::string male = dataDirectory + "/" + kMaleNamesFile;
    NamingFile(male, [&] {
        FileDescriptor file(OpenForReading(male));
        LineReader lines(file.get(), pump);
        LoadNames(lines, lexicon, NameList::Male);
    });
    const std::string dictionary = dataDirectory + "/" + kDictionaryFile;
    NamingFile(dictionary, [&] {
        FileDescriptor file(OpenForReading(dictionary));
        LineReader lines(file.get(), pump);
        DictionaryLoader(lexicon, callbacks, pump).Load(lines);
    });
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
