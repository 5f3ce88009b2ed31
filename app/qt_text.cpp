// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_text.h"

#include <QFile>

#include "common/cp1252.h"

namespace {

// Calls take(code point) for each character of the text, surrogate pairs joined.
template <class Take>
void ForEachCodePoint(const QString& text, Take take) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t u = text.at(i).unicode();
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            u = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        take(u);
    }
}

}  // namespace

QString ToQString(std::string_view text) {
    QString out;
    out.reserve(qsizetype(text.size()));
    for (char ch : text) out.append(QChar(char16_t(Cp1252ToUnicode(static_cast<unsigned char>(ch)))));
    return out;
}

std::string FromQString(const QString& text) {
    std::string out;
    out.reserve(std::size_t(text.size()));
    ForEachCodePoint(text, [&](char32_t u) { out.push_back(static_cast<char>(UnicodeToCp1252(u))); });
    return out;
}

std::vector<int> TypedCharacters(const QString& text) {
    std::vector<int> out;
    ForEachCodePoint(text, [&](char32_t u) {
        const int byte = cp1252_detail::FromUnicode(u);
        out.push_back(byte < 0 ? kNotCp1252 : byte);
    });
    return out;
}

QString Quoted(const std::string& utf8) {
    return QString::fromUtf8("«\u00A0%1\u00A0»").arg(QString::fromStdString(utf8));
}

QString PathToQString(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

std::string PathFromQString(const QString& path) { return QFile::encodeName(path).toStdString(); }
