// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Lines of a text: a line ends at LF (a CR just before it belongs to the line end), a lone
// CR is dropped from the line, and a byte 26 ends the text. A file is read in blocks into
// one buffer that is used again and again (it grows only for a line longer than itself);
// the lines are cut in place.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "common/file_io.h"
#include "lexicon/event_pump.h"

namespace lexicon_detail {

// Opens a lexicon file for reading. Throws IoError.
int OpenForReading(const std::string& path);

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
        const std::size_t got = ReadSome(fd_, end_, capacity_ - kept);
        pump_->Poll();
        if (got == 0) {
            eof_ = true;
            return false;
        }
        char* fresh = end_;
        end_ += got;
        TakeNewBytes(fresh, got);
        return end_ != fresh;
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

}  // namespace lexicon_detail
