// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_text.h"

#include "common/cp1252.h"

QString ToQString(std::string_view text) {
    QString out;
    out.reserve(qsizetype(text.size()));
    for (char ch : text) out.append(QChar(char16_t(Cp1252ToUnicode(static_cast<unsigned char>(ch)))));
    return out;
}

std::string FromQString(const QString& text) {
    std::string out;
    out.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t u = text.at(i).unicode();
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            u = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        out.push_back(static_cast<char>(UnicodeToCp1252(u)));
    }
    return out;
}
