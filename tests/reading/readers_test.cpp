// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The readers of "Vos textes": plain texts in their encodings, EPUB books, the files they
// refuse and why, and the loader that reads on a thread of its own.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "common/cp1252.h"
#include "reading/text_loader.h"
#include "reading_support.h"

namespace {

using reading_test::EpubBook;
using reading_test::ScratchFolder;
using reading_test::WriteZip;
using reading_test::Xhtml;

ReadText ReadBytes(const ScratchFolder& folder, const std::string& name, std::string_view bytes,
                   const ReadOptions& options = {}) {
    test_support::WriteBytes(folder / name, bytes);
    return ReadTextFile(folder / name, options);
}

ReadProblem ProblemOf(const std::string& path, const ReadOptions& options = {}) {
    try {
        ReadTextFile(path, options);
    } catch (const ReadFailure& failure) {
        EXPECT_NE(failure.Message().find(path), std::string::npos) << failure.Message();
        return failure.Problem;
    }
    ADD_FAILURE() << path << " was read";
    return ReadProblem::Cancelled;
}

TEST(PlainTextReader, EncodingsLineEndsAndParagraphs) {
    const ScratchFolder folder;
    // UTF-8 with its mark; wrapped lines (CR LF) join, a blank line separates paragraphs.
    ReadText text =
        ReadBytes(folder, "a.txt", "\xEF\xBB\xBFL'\xC3\xA9t\xC3\xA9 est l\xC3\xA0,\r\nenfin.\r\n\r\nPuis  l'automne.");
    EXPECT_EQ(text.Encoding, TextEncoding::Utf8WithBom);
    EXPECT_EQ(text.Text, "L'été est là, enfin.\nPuis l'automne."_cp);
    EXPECT_EQ(text.Title, "a");
    EXPECT_EQ(text.Passage(0), "L'été est là, enfin.\r\nPuis l'automne."_cp);

    // Windows-1252: ’ and … at 0x92 and 0x85 (and becoming ' and ... on any layout).
    text = ReadBytes(folder, "b.txt", "C\x92\x65st \xE9t\xE9\x85\n");
    EXPECT_EQ(text.Encoding, TextEncoding::Windows1252);
    EXPECT_EQ(text.Text, "C'est été..."_cp);

    // Latin-9: œ at 0xBD inside a word, € after an amount.
    text = ReadBytes(folder, "c.txt", "Un c\xBDur pour 5 \xA4.");
    EXPECT_EQ(text.Encoding, TextEncoding::Latin9);
    EXPECT_EQ(text.Text, "Un cœur pour 5 €."_cp);

    // UTF-16 with its mark; lines without blank lines between them are paragraphs.
    text = ReadBytes(folder, "d.txt",
                     std::string("\xFF\xFE"
                                 "A\0\n\0B\0\xE9\0",
                                 10));
    EXPECT_EQ(text.Encoding, TextEncoding::Utf16Le);
    EXPECT_EQ(text.Text, "A\nBé"_cp);

    // A stray byte in UTF-8, past the first block, is taken as Windows-1252 rather than lost.
    text = ReadBytes(folder, "e.txt", std::string(300000, 'a') + " \xC3\xA9t\xE9.");
    EXPECT_EQ(text.Encoding, TextEncoding::Utf8);
    EXPECT_EQ(text.Text.substr(300001), "été."_cp);
}

TEST(PlainTextReader, RefusesWhatItCannotRead) {
    const ScratchFolder folder;
    EXPECT_EQ(ProblemOf(folder / "absent.txt"), ReadProblem::Missing);
    EXPECT_EQ(ProblemOf(folder.Path()), ReadProblem::NotRegular);
    // A pipe with no writer: refused at once, never waited on.
    ASSERT_EQ(::mkfifo((folder / "tube").c_str(), 0600), 0);
    EXPECT_EQ(ProblemOf(folder / "tube"), ReadProblem::NotRegular);
    test_support::WriteBytes(folder / "vide.txt", "");
    EXPECT_EQ(ProblemOf(folder / "vide.txt"), ReadProblem::Empty);
    test_support::WriteBytes(folder / "blancs.txt", " \r\n\t\xE2\x80\x8B\n");
    EXPECT_EQ(ProblemOf(folder / "blancs.txt"), ReadProblem::Empty);
    test_support::WriteBytes(folder / "doc.pdf", "%PDF-1.4\n...");
    EXPECT_EQ(ProblemOf(folder / "doc.pdf"), ReadProblem::NotText);
    test_support::WriteBytes(folder / "grand.txt", std::string(5000, 'a'));
    ReadOptions small;
    small.Limits.MaxTextFileBytes = 4096;
    EXPECT_EQ(ProblemOf(folder / "grand.txt", small), ReadProblem::TooBig);

    try {
        ReadTextFile(folder / "absent.txt", {});
    } catch (const ReadFailure& failure) {
        EXPECT_EQ(failure.Message(), "Le fichier «\u00A0" + folder / "absent.txt" +
                                         "\u00A0» ne peut pas être lu\u00A0: le fichier est introuvable.");
    }
}

TEST(EpubReader, ChaptersInSpineOrderWithoutMarkup) {
    const ScratchFolder folder;
    const std::string chapter1 = Xhtml(
        "<h1>Chapitre premier</h1><p>Il &eacute;tait une fois&nbsp;!</p>"
        "<p>Une <em>belle</em> histoire<a epub:type=\"noteref\" href=\"#n1\">1</a>.</p>"
        "<script>var x = 1;</script><img src=\"../images/couverture.png\" alt=\"image\"/>");
    const std::string chapter2 = Xhtml("<h2>Chapitre II</h2><div>Fin<br/>du livre.</div>");
    WriteZip(
        folder / "livre.epub",
        EpubBook("Mon livre", {{"Text/un.xhtml", chapter1}, {"Text/vide.xhtml", ""}, {"Text/deux.xhtml", chapter2}},
                 {{"OEBPS/images/couverture.png", std::string("\x89PNG\r\n\x1A\n", 8) + std::string(500, '\0')}}));
    const ReadText text = ReadTextFile(folder / "livre.epub", {});
    EXPECT_EQ(text.Format, TextFormat::Epub);
    EXPECT_EQ(text.Title, "Mon livre");
    EXPECT_EQ(text.Text,
              "Chapitre premier\nIl était une fois\u00A0!\nUne belle histoire.\nChapitre II\nFin\ndu livre."_cp);
    EXPECT_EQ(text.UnreadChapters, 0);
}

TEST(EpubReader, DamagedOrProtectedBooks) {
    const ScratchFolder folder;
    const std::vector<reading_test::ZipEntry> book =
        EpubBook("Livre", {{"a.xhtml", Xhtml("<p>Un.</p>")}, {"b.xhtml", Xhtml("<p>Deux</b>")}});
    WriteZip(folder / "bon.epub", book);
    // Cut in half: the archive's directory is lost.
    const std::string whole = test_support::ReadBytes(folder / "bon.epub");
    test_support::WriteBytes(folder / "coupé.epub", whole.substr(0, whole.size() / 2));
    EXPECT_EQ(ProblemOf(folder / "coupé.epub"), ReadProblem::DamagedEpub);
    test_support::WriteBytes(folder / "faux.epub", "Ceci n'est pas un livre.");
    EXPECT_EQ(ProblemOf(folder / "faux.epub"), ReadProblem::DamagedEpub);
    // A chapter that is not well-formed is read up to its fault and counted.
    const ReadText text = ReadTextFile(folder / "bon.epub", {});
    EXPECT_EQ(text.Text, "Un.\nDeux");
    EXPECT_EQ(text.UnreadChapters, 1);

    std::vector<reading_test::ZipEntry> drm = book;
    drm.push_back({"META-INF/encryption.xml",
                   "<encryption xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><EncryptedData "
                   "xmlns=\"http://www.w3.org/2001/04/xmlenc#\"><EncryptionMethod "
                   "Algorithm=\"http://www.w3.org/2001/04/xmlenc#aes128-cbc\"/></EncryptedData></encryption>"});
    WriteZip(folder / "drm.epub", drm);
    EXPECT_EQ(ProblemOf(folder / "drm.epub"), ReadProblem::Protected);
    // Obfuscated fonts are no DRM.
    const std::size_t algorithm = drm.back().Bytes.find("http://www.w3.org/2001/04/xmlenc#aes128-cbc");
    drm.back().Bytes.replace(algorithm, 43, "http://www.idpf.org/2008/embedding");
    WriteZip(folder / "polices.epub", drm);
    EXPECT_EQ(ReadTextFile(folder / "polices.epub", {}).Text, "Un.\nDeux");

    // A chapter of 3 MiB of blanks: a thousand times its compressed size.
    WriteZip(folder / "bombe.epub",
             EpubBook("Bombe", {{"a.xhtml", Xhtml("<p>" + std::string(3 << 20, ' ') + "</p>")}}));
    EXPECT_EQ(ProblemOf(folder / "bombe.epub"), ReadProblem::EntryRefused);
    ReadOptions small;
    small.Limits.MaxEntryBytes = 100;
    EXPECT_EQ(ProblemOf(folder / "bon.epub", small), ReadProblem::EntryRefused);

    WriteZip(folder / "archive.zip", {{"notes.txt", "Bonjour"}});
    EXPECT_EQ(ProblemOf(folder / "archive.zip"), ReadProblem::NotText);
}

TEST(EpubReader, AChapterReadAheadGivesThePassagesOfTheWholeBook) {
    const ScratchFolder folder;
    std::vector<reading_test::ZipEntry> chapters;
    for (int c = 0; c < 3; ++c) {
        std::string body = "<h1>Chapitre " + std::to_string(c + 1) + "</h1><p>";
        for (int i = 0; i < 30; ++i) body += "Voici la phrase " + std::to_string(i) + " du chapitre. ";
        chapters.push_back({"c" + std::to_string(c) + ".xhtml", Xhtml(body + "</p>")});
    }
    WriteZip(folder / "livre.epub", EpubBook("Livre", chapters));
    ReadOptions options;
    options.PassageLength = 100;
    const ReadText whole = ReadTextFile(folder / "livre.epub", options);
    const int resumed = whole.PassageCount() - 4;
    options.Start = whole.PositionOf(resumed);
    ASSERT_EQ(options.Start.Chapter, 2);
    std::string ahead;
    const ReadText again = ReadTextFile(folder / "livre.epub", options, nullptr, [&](const TextBuilder& chapter) {
        ahead = chapter.Text().Passage(chapter.Text().PassageFrom(options.Start.Character));
    });
    EXPECT_EQ(ahead, whole.Passage(resumed));
    EXPECT_EQ(again.Passage(again.PassageFrom(options.Start.Character)), ahead);
}

TEST(TextLoader, ReadsInTheBackgroundAndHandsOverOnce) {
    const ScratchFolder folder;
    std::string book;
    for (int i = 0; i < 4000; ++i) book += "Phrase numéro " + std::to_string(i) + " du livre. ";
    test_support::WriteBytes(folder / "livre.txt", book);
    ReadOptions options;
    options.PassageLength = 100;
    const ReadText direct = ReadTextFile(folder / "livre.txt", options);
    const int middle = direct.PassageCount() / 2;
    options.Start.Character = direct.Passages[std::size_t(middle)].Source;

    TextLoader loader(folder / "livre.txt", options);
    std::optional<TextPreview> preview;
    while (!loader.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    preview = loader.Preview();
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->First, middle);
    EXPECT_EQ(preview->Passages.front(), direct.Passage(middle));
    EXPECT_EQ(int(preview->Passages.size()), TextLoader::kPreviewPassages);
    EXPECT_DOUBLE_EQ(loader.Progress(), 1.0);
    auto result = loader.Take();
    ASSERT_TRUE(result && std::holds_alternative<ReadText>(*result));
    EXPECT_EQ(std::get<ReadText>(*result).Text, direct.Text);
    EXPECT_FALSE(loader.Take());

    TextLoader missing(folder / "absent.txt", {});
    while (!missing.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    result = missing.Take();
    ASSERT_TRUE(result && std::holds_alternative<ReadFailure>(*result));
    EXPECT_EQ(std::get<ReadFailure>(*result).Problem, ReadProblem::Missing);

    // Cancelled, or left while reading: the loader ends without waiting for the text.
    TextLoader cancelled(folder / "livre.txt", options);
    cancelled.Cancel();
    while (!cancelled.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    result = cancelled.Take();
    ASSERT_TRUE(result);
    if (const auto* failure = std::get_if<ReadFailure>(&*result)) {
        EXPECT_EQ(failure->Problem, ReadProblem::Cancelled);
    }
    { const TextLoader left(folder / "livre.txt", options); }
}

}  // namespace
