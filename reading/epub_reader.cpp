// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reading/epub_reader.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <map>
#include <optional>
#include <vector>

#include "reading/epub_archive.h"

namespace {

constexpr std::size_t kMaxMetaBytes = 4 << 20;  // container.xml, the package, encryption.xml
const char* const kContainer = "META-INF/container.xml";

QByteArray Bytes(const std::string& text) { return QByteArray(text.data(), qsizetype(text.size())); }
std::string Utf8(QStringView text) { return text.toString().toStdString(); }

std::string ReadMeta(const EpubArchive& archive, const std::string& name) {
    const std::optional<uint64_t> entry = archive.Find(name);
    if (!entry) throw ReadFailure(ReadProblem::DamagedEpub, name + " manque");
    std::optional<std::string> bytes = archive.ReadSmall(*entry, kMaxMetaBytes);
    if (!bytes) throw ReadFailure(ReadProblem::DamagedEpub, name + " est illisible");
    return std::move(*bytes);
}

std::string PackagePath(const std::string& container) {
    QXmlStreamReader xml(Bytes(container));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("rootfile")) {
            const QStringView path = xml.attributes().value(QLatin1String("full-path"));
            if (!path.isEmpty()) return Utf8(path);
        }
    throw ReadFailure(ReadProblem::DamagedEpub, std::string(kContainer) + " ne désigne aucun contenu");
}

// Anything encrypted but the fonts (which books obfuscate without DRM) is protected.
bool IsProtected(const std::string& encryption) {
    QXmlStreamReader xml(Bytes(encryption));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("EncryptionMethod")) {
            const QStringView algorithm = xml.attributes().value(QLatin1String("Algorithm"));
            if (algorithm != QLatin1String("http://www.idpf.org/2008/embedding") &&
                algorithm != QLatin1String("http://ns.adobe.com/pdf/enc#RC"))
                return true;
        }
    return false;
}

struct Package {
    std::string Title;
    std::vector<std::string> Chapters;  // paths inside the archive, in reading order
};

Package ReadPackage(const std::string& opf, const std::string& opfPath) {
    struct Item {
        std::string Href;
        QString MediaType;
        QString Properties;
    };
    std::map<QString, Item> manifest;
    std::vector<std::pair<QString, bool>> spine;  // idref, linear
    Package package;
    QXmlStreamReader xml(Bytes(opf));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == QLatin1String("title") && package.Title.empty() &&
            xml.namespaceUri() == QLatin1String("http://purl.org/dc/elements/1.1/")) {
            package.Title = xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified().toStdString();
        } else if (xml.name() == QLatin1String("item")) {
            manifest[attributes.value(QLatin1String("id")).toString()] = {
                ResolveHref(opfPath, Utf8(attributes.value(QLatin1String("href")))),
                attributes.value(QLatin1String("media-type")).toString(),
                attributes.value(QLatin1String("properties")).toString()};
        } else if (xml.name() == QLatin1String("itemref")) {
            spine.emplace_back(attributes.value(QLatin1String("idref")).toString(),
                               attributes.value(QLatin1String("linear")) != QLatin1String("no"));
        }
    }
    if (spine.empty()) throw ReadFailure(ReadProblem::DamagedEpub, opfPath + " ne donne aucun chapitre");
    // Pages left out of the reading order (notes, cover) count only when nothing else does.
    const bool anyLinear = std::any_of(spine.begin(), spine.end(), [](const auto& ref) { return ref.second; });
    for (const auto& [idref, linear] : spine) {
        const auto item = manifest.find(idref);
        if (item == manifest.end() || (anyLinear && !linear)) continue;
        // The table of contents of EPUB 3 is no chapter.
        if (item->second.Properties.split(QLatin1Char(' ')).contains(QLatin1String("nav"))) continue;
        const QString& type = item->second.MediaType;
        if (type != QLatin1String("application/xhtml+xml") && type != QLatin1String("text/html")) continue;
        package.Chapters.push_back(item->second.Href);
    }
    return package;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') return (c | 0x20) - 'a' + 10;
    return -1;
}

}  // namespace

std::string ResolveHref(std::string_view from, std::string_view href) {
    href = href.substr(0, href.find_first_of("#?"));
    std::string decoded;
    for (std::size_t i = 0; i < href.size(); ++i) {
        const int high = i + 2 < href.size() && href[i] == '%' ? HexValue(href[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(href[i + 2]) : -1;
        if (low >= 0) {
            decoded += char(high * 16 + low);
            i += 2;
        } else {
            decoded += href[i];
        }
    }
    std::string path =
        decoded.starts_with('/') ? decoded.substr(1) : std::string(from.substr(0, from.rfind('/') + 1)) + decoded;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string resolved;
    for (const std::string& part : parts) resolved += (resolved.empty() ? "" : "/") + part;
    return resolved;
}

void ReadEpub(int fd, const ReadLimits& limits, const TextPosition& start, TextBuilder& out,
              const std::function<void(double)>& tick, const std::function<void(const TextBuilder&)>& early) {
    const EpubArchive archive(fd, limits);
    if (!archive.Find(kContainer) && !archive.Find("mimetype"))
        throw ReadFailure(ReadProblem::NotText, "une archive ZIP qui n'est pas un livre EPUB");
    if (archive.Find("META-INF/encryption.xml") && IsProtected(ReadMeta(archive, "META-INF/encryption.xml")))
        throw ReadFailure(ReadProblem::Protected);
    const std::string opfPath = PackagePath(ReadMeta(archive, kContainer));
    Package package = ReadPackage(ReadMeta(archive, opfPath), opfPath);
    if (package.Chapters.empty()) throw ReadFailure(ReadProblem::DamagedEpub, "il n'a aucun chapitre de texte");
    ReadText& text = out.Text();
    if (!package.Title.empty()) text.Title = std::move(package.Title);

    std::vector<std::optional<uint64_t>> entries;
    uint64_t total = 0;
    for (const std::string& chapter : package.Chapters) {
        entries.push_back(archive.Find(chapter));
        if (entries.back()) total += archive.DeclaredSize(*entries.back());
    }
    const auto readChapter = [&](uint64_t entry, TextBuilder& into, const std::function<void(std::size_t)>& read) {
        ChapterReader chapter(into);
        const bool whole = archive.Read(entry, [&](const char* bytes, std::size_t count) {
            chapter.Feed(bytes, count);
            read(count);
        });
        return chapter.Finish() && whole;
    };
    if (early && start.Chapter > 0 && start.Chapter < int(entries.size()) && entries[std::size_t(start.Chapter)]) {
        TextBuilder ahead = out.Sibling();
        ahead.StartAtSource(start.ChapterStart);
        ahead.CutAt(start.Character);
        readChapter(*entries[std::size_t(start.Chapter)], ahead, [&](std::size_t) { tick(0); });
        ahead.Finish();
        early(ahead);
    }

    uint64_t done = 0;
    for (const std::optional<uint64_t>& entry : entries) {
        text.ChapterStarts.push_back(out.SourceCount());
        if (!entry) {
            ++text.UnreadChapters;
            continue;
        }
        const uint64_t size = archive.DeclaredSize(*entry);
        if (size == 0) continue;
        out.Anticipate(std::size_t(size), total > 0 ? double(done) / double(total) : 0);
        const bool whole = readChapter(*entry, out, [&](std::size_t count) {
            done += count;
            tick(double(done) / double(std::max<uint64_t>(total, 1)));
        });
        if (!whole) ++text.UnreadChapters;
    }
    if (text.UnreadChapters == int(entries.size()))
        throw ReadFailure(ReadProblem::DamagedEpub, "aucun de ses chapitres n'a pu être lu");
}
