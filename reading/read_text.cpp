// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/read_text.h"

#include <algorithm>

#include "common/cp1252.h"

namespace {

std::string Counted(int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count > 1 ? many : one);
}

}  // namespace

std::string EncodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8: return "UTF-8";
        case TextEncoding::Utf8WithBom: return "UTF-8 avec BOM";
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be: return "UTF-16";
        case TextEncoding::Windows1252: return "Windows-1252";
        case TextEncoding::Latin9: return "Latin-9 (ISO 8859-15)";
    }
    return {};
}

std::string ReadText::Passage(int k) const {
    if (k < 0 || k >= PassageCount()) return {};
    const std::size_t start = Passages[std::size_t(k)].Offset;
    std::size_t end = k + 1 < PassageCount() ? Passages[std::size_t(k) + 1].Offset : Text.size();
    while (end > start && (Text[end - 1] == ' ' || Text[end - 1] == '\n' || Text[end - 1] == char(0xA0))) --end;
    std::string passage;
    passage.reserve(end - start + 16);
    for (std::size_t i = start; i < end; ++i) {
        if (Text[i] == '\n') passage += '\r';
        passage += Text[i];
    }
    return passage;
}

int ReadText::PassageFrom(uint64_t source) const {
    const auto from = std::lower_bound(Passages.begin(), Passages.end(), source,
                                       [](const PassageStart& p, uint64_t place) { return p.Source < place; });
    return std::max(0, std::min(int(from - Passages.begin()), PassageCount() - 1));
}

TextPosition ReadText::PositionOf(int k) const {
    TextPosition position;
    position.Character = k >= 0 && k < PassageCount() ? Passages[std::size_t(k)].Source : SourceLength;
    const auto after = std::upper_bound(ChapterStarts.begin(), ChapterStarts.end(), position.Character);
    if (after != ChapterStarts.begin()) {
        position.Chapter = int(after - ChapterStarts.begin()) - 1;
        position.ChapterStart = *(after - 1);
    }
    return position;
}

std::string ReadText::Summary() const {
    std::string line = Format == TextFormat::Epub ? "EPUB" : EncodingName(Encoding);
    line += ", " + Counted(PassageCount(), "passage", "passages");
    if (UnreadChapters > 0)
        line += "\u00A0; " + Counted(UnreadChapters, "chapitre illisible omis", "chapitres illisibles omis");
    if (Dropped > 0) {
        line += "\u00A0; " + Counted(Dropped, "caractère sans équivalent omis", "caractères sans équivalent omis");
        line += " (";
        for (std::size_t i = 0; i < DroppedSample.size(); ++i) {
            if (i > 0) line += ' ';
            AppendUtf8Char(line, DroppedSample[i]);
        }
        line += ")";
    }
    return line;
}

ReadFailure::ReadFailure(ReadProblem problem, std::string detail)
    : std::runtime_error("texte illisible"), Problem(problem), Detail(std::move(detail)) {}

std::string ReadFailure::Message() const {
    const std::string file = "«\u00A0" + Path + "\u00A0»";
    std::string reason;
    switch (Problem) {
        case ReadProblem::Missing: reason = "le fichier est introuvable"; break;
        case ReadProblem::NotRegular:
            reason = "ce n'est pas un fichier ordinaire (dossier, tube ou périphérique)";
            break;
        case ReadProblem::SystemError: reason = Detail; break;
        case ReadProblem::TooBig: reason = "il est trop grand (" + Detail + ")"; break;
        case ReadProblem::NotText: reason = "ce n'est ni un texte ni un livre EPUB (" + Detail + ")"; break;
        case ReadProblem::DamagedEpub: reason = "le livre EPUB est endommagé (" + Detail + ")"; break;
        case ReadProblem::EntryRefused:
            reason =
                "une partie du livre (" + Detail +
                ") se décompresse bien au-delà de sa taille ou des limites permises, elle est refusée par prudence";
            break;
        case ReadProblem::Protected:
            reason =
                "le livre est protégé par des verrous numériques (DRM), seuls les livres sans DRM peuvent être lus";
            break;
        case ReadProblem::Empty: reason = "il ne contient aucun texte à taper"; break;
        case ReadProblem::Cancelled: return "La lecture du fichier " + file + " a été interrompue.";
    }
    return "Le fichier " + file + " ne peut pas être lu\u00A0: " + reason + ".";
}
