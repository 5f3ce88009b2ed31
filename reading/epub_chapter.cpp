// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The text of one chapter of an EPUB book, from its XHTML (ChapterReader of epub_reader.h).
#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <algorithm>
#include <array>
#include <string_view>

#include "reading/epub_reader.h"

namespace {

// The entities of HTML 4 for U+00A0..U+00FF, in order.
constexpr std::array<std::string_view, 96> kLatin1Entities = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",
    "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave",
    "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",
    "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
    "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
    "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

struct Entity {
    std::string_view Name;
    char32_t Code;
};
constexpr Entity kOtherEntities[] = {
    {"OElig", 0x152},   {"oelig", 0x153},   {"Scaron", 0x160},  {"scaron", 0x161},  {"Yuml", 0x178},
    {"fnof", 0x192},    {"circ", 0x2C6},    {"tilde", 0x2DC},   {"ensp", 0x2002},   {"emsp", 0x2003},
    {"thinsp", 0x2009}, {"zwnj", 0x200C},   {"zwj", 0x200D},    {"lrm", 0x200E},    {"rlm", 0x200F},
    {"ndash", 0x2013},  {"mdash", 0x2014},  {"lsquo", 0x2018},  {"rsquo", 0x2019},  {"sbquo", 0x201A},
    {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"bdquo", 0x201E},  {"dagger", 0x2020}, {"Dagger", 0x2021},
    {"bull", 0x2022},   {"hellip", 0x2026}, {"permil", 0x2030}, {"prime", 0x2032},  {"Prime", 0x2033},
    {"lsaquo", 0x2039}, {"rsaquo", 0x203A}, {"euro", 0x20AC},   {"trade", 0x2122},  {"larr", 0x2190},
    {"rarr", 0x2192},   {"minus", 0x2212},
};

char32_t HtmlEntity(QStringView name) {
    const std::string latin = name.toLatin1().toStdString();
    const auto* latin1 = std::find(kLatin1Entities.begin(), kLatin1Entities.end(), latin);
    if (latin1 != kLatin1Entities.end()) return char32_t(0xA0 + (latin1 - kLatin1Entities.begin()));
    for (const Entity& entity : kOtherEntities)
        if (entity.Name == latin) return entity.Code;
    return 0;
}

class HtmlEntityResolver : public QXmlStreamEntityResolver {
public:
    QString resolveUndeclaredEntity(const QString& name) override {
        const char32_t code = HtmlEntity(name);
        return code != 0 ? QString::fromUcs4(&code, 1) : QString();
    }
};

constexpr std::array<std::string_view, 35> kBlockElements = {
    "p",      "div",   "h1",     "h2",         "h3",         "h4",   "h5",      "h6",      "li",
    "dt",     "dd",    "br",     "hr",         "blockquote", "pre",  "section", "article", "header",
    "footer", "aside", "figure", "figcaption", "table",      "tr",   "td",      "th",      "caption",
    "ul",     "ol",    "dl",     "address",    "center",     "body", "main",    "nav"};
constexpr std::array<std::string_view, 9> kSkippedElements = {"head", "script", "style",  "svg",     "math",
                                                              "rt",   "rp",     "object", "template"};

bool IsOneOf(QStringView name, const auto& names) {
    return std::any_of(names.begin(), names.end(),
                       [&](std::string_view n) { return name == QLatin1String(n.data(), qsizetype(n.size())); });
}

// A reference to a note, which would glue its number to the word it follows.
bool IsNoteReference(const QXmlStreamAttributes& attributes) {
    const QStringView type = attributes.value(QStringLiteral("http://www.idpf.org/2007/ops"), QStringLiteral("type"));
    return type.contains(QLatin1String("noteref"));
}

}  // namespace

struct ChapterReader::State {
    QXmlStreamReader Xml;
    HtmlEntityResolver Entities;
    int SkipDepth = 0;
    bool Failed = false;
    bool Done = false;  // the document's end was read
};

ChapterReader::ChapterReader(TextBuilder& out) : out_(out), state_(std::make_unique<State>()) {
    state_->Xml.setEntityResolver(&state_->Entities);
}

ChapterReader::~ChapterReader() = default;

void ChapterReader::Feed(const char* bytes, std::size_t size) {
    if (state_->Failed) return;
    state_->Xml.addData(QByteArray(bytes, qsizetype(size)));
    state_->Failed = !Pump(false);
}

bool ChapterReader::Finish() {
    if (!state_->Failed) state_->Failed = !Pump(true);
    out_.EndParagraph();
    return !state_->Failed;
}

bool ChapterReader::Pump(bool atEnd) {
    QXmlStreamReader& xml = state_->Xml;
    int& skip = state_->SkipDepth;
    if (state_->Done) return true;
    for (;;) {
        switch (xml.readNext()) {
            case QXmlStreamReader::Invalid:
                return !atEnd && xml.error() == QXmlStreamReader::PrematureEndOfDocumentError;
            case QXmlStreamReader::EndDocument: state_->Done = true; return true;
            case QXmlStreamReader::StartElement:
                if (skip > 0 || IsOneOf(xml.name(), kSkippedElements) || IsNoteReference(xml.attributes())) {
                    ++skip;
                } else if (IsOneOf(xml.name(), kBlockElements)) {
                    out_.EndParagraph();
                }
                break;
            case QXmlStreamReader::EndElement:
                if (skip > 0) {
                    --skip;
                } else if (IsOneOf(xml.name(), kBlockElements)) {
                    out_.EndParagraph();
                }
                break;
            case QXmlStreamReader::Characters:
                if (skip == 0) {
                    const QStringView text = xml.text();
                    for (qsizetype i = 0; i < text.size(); ++i) {
                        char32_t c = text[i].unicode();
                        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
                        out_.Add(c);
                    }
                }
                break;
            case QXmlStreamReader::EntityReference:
                // An entity the resolver does not know, in a file with a DTD of its own.
                if (skip == 0)
                    if (const char32_t code = HtmlEntity(xml.name())) out_.Add(code);
                break;
            default: break;
        }
    }
}
