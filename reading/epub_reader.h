// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EPUB books: META-INF/container.xml names the package (OPF), whose manifest and spine
// give the chapters in reading order; each chapter's XHTML becomes paragraphs of text,
// without markup, its headings paragraphs of their own. Read with Qt's XML stream reader,
// block by block, so that the first chapter is in the text long before the last one is
// opened. A book protected by DRM (META-INF/encryption.xml encrypting anything but
// fonts) is refused.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "reading/read_text.h"
#include "reading/text_builder.h"

// Reads the book in the open file into the builder, with its title (when it has one), the
// start of each chapter and the count of chapters missing or damaged (read up to the
// fault). `tick(shareDone)` is called between blocks (it may throw to stop the reading).
// When `start` lies in a chapter past the first, that chapter is first read on its own,
// from that place's passage on, and handed to `early`, so that a book resumed near its end
// shows its passage before the whole book is read. Throws ReadFailure.
void ReadEpub(int fd, const ReadLimits& limits, const TextPosition& start, TextBuilder& out,
              const std::function<void(double)>& tick, const std::function<void(const TextBuilder&)>& early);

// The path inside the archive of `href` (percent-encoded, relative to the folder of
// `from`, with . and .. and a #fragment): "OEBPS/Text/ch1.xhtml".
std::string ResolveHref(std::string_view from, std::string_view href);

// Reads one chapter's XHTML into the builder, block by block: block elements (p, div,
// h1..h6, li...) and line breaks end paragraphs; head, scripts, styles and note references
// are left out. The entities of HTML that XHTML files use without declaring them (&nbsp;,
// &eacute;, &hellip;) are known.
class ChapterReader {
public:
    explicit ChapterReader(TextBuilder& out);
    ~ChapterReader();
    ChapterReader(const ChapterReader&) = delete;
    ChapterReader& operator=(const ChapterReader&) = delete;

    void Feed(const char* bytes, std::size_t size);
    // The chapter's end: true when it was well-formed.
    bool Finish();

private:
    bool Pump(bool atEnd);
    struct State;
    TextBuilder& out_;
    std::unique_ptr<State> state_;
};
