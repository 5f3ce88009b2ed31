// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/lexicon-builder/affix_file.h"

#include <algorithm>

#include "common/cp1252.h"

namespace lexbuild {

namespace {

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

bool IsNumber(std::string_view text) {
    return !text.empty() && text.size() < 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

[[noreturn]] void Fail(std::size_t lineNumber, const std::string& what) {
    throw BuildError("ligne " + std::to_string(lineNumber) + " : " + what);
}

// Byte length of the UTF-8 sequence that starts with this byte.
std::size_t SequenceLength(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace

void CheckUtf8(std::string_view text) {
    std::size_t lineNumber = 1;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead == '\n') ++lineNumber;
        const std::size_t length = SequenceLength(lead);
        bool valid = lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4);
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = i + k < text.size() && (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (valid && length > 2) {  // no overlong form, surrogate or code point beyond U+10FFFF
            const unsigned char second = static_cast<unsigned char>(text[i + 1]);
            valid = !(lead == 0xE0 && second < 0xA0) && !(lead == 0xED && second >= 0xA0) &&
                    !(lead == 0xF0 && second < 0x90) && !(lead == 0xF4 && second >= 0x90);
        }
        if (!valid) Fail(lineNumber, "octets qui ne sont pas de l'UTF-8 (fichier dans un autre encodage ou coupé)");
        i += length;
    }
}

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) out.push_back(cp1252_detail::DecodeUtf8(text.data(), text.size(), i));
    return out;
}

std::size_t CountCharacters(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

bool ConditionElement::Matches(char32_t c) const {
    if (any) return true;
    bool listed = chars.find(c) != std::u32string::npos;
    return listed != negated;
}

bool AffixRule::HasContinuation(const Flag& flag) const {
    return !flag.empty() && std::find(continuation.begin(), continuation.end(), flag) != continuation.end();
}

std::vector<Flag> AffixFile::SplitFlags(std::string_view text) const {
    std::vector<Flag> flags;
    if (flagMode == FlagMode::Number) {
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t comma = text.find(',', start);
            if (comma == std::string_view::npos) comma = text.size();
            if (comma > start) flags.emplace_back(text.substr(start, comma - start));
            start = comma + 1;
        }
        return flags;
    }
    // One character per flag, or two under FLAG long; characters are UTF-8 sequences.
    const std::size_t perFlag = flagMode == FlagMode::Long ? 2 : 1;
    flags.reserve(text.size() / perFlag);
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t start = i;
        for (std::size_t k = 0; k < perFlag && i < text.size(); ++k)
            i = std::min(text.size(), i + SequenceLength(static_cast<unsigned char>(text[i])));
        flags.emplace_back(text.substr(start, i - start));
    }
    return flags;
}

const AffixClass* AffixFile::FindClass(const Flag& flag) const {
    auto it = classes.find(flag);
    return it == classes.end() ? nullptr : &it->second;
}

std::vector<ConditionElement> ParseCondition(std::string_view text) {
    std::vector<ConditionElement> out;
    if (text == ".") {
        return out;  // matches every word
    }
    std::u32string chars = DecodeUtf8(text);
    for (std::size_t i = 0; i < chars.size(); ++i) {
        ConditionElement element;
        if (chars[i] == U'.') {
            element.any = true;
        } else if (chars[i] == U'[') {
            std::size_t close = chars.find(U']', i + 1);
            if (close == std::u32string::npos)
                throw BuildError("condition « " + std::string(text) + " » : crochet non fermé");
            std::size_t first = i + 1;
            if (first < close && chars[first] == U'^') {
                element.negated = true;
                ++first;
            }
            element.chars = chars.substr(first, close - first);
            i = close;
        } else if (chars[i] == U']') {
            throw BuildError("condition « " + std::string(text) + " » : crochet fermant isolé");
        } else {
            element.chars = chars.substr(i, 1);
        }
        out.push_back(std::move(element));
    }
    return out;
}

bool ConditionMatches(const std::vector<ConditionElement>& condition, std::u32string_view word, bool atEnd) {
    if (condition.size() > word.size()) return false;
    std::size_t offset = atEnd ? word.size() - condition.size() : 0;
    for (std::size_t k = 0; k < condition.size(); ++k)
        if (!condition[k].Matches(word[offset + k])) return false;
    return true;
}

AffixFile ParseAffixFile(std::string_view text) {
    AffixFile aff;
    text = WithoutByteOrderMark(text);
    std::size_t lineNumber = 0;
    std::size_t pos = 0;
    std::string_view line;
    while (NextLine(text, pos, line)) {
        ++lineNumber;
        std::vector<std::string_view> fields = SplitFields(line);
        if (fields.empty() || fields[0].front() == '#') continue;
        const std::string_view key = fields[0];
        const std::string_view value = fields.size() > 1 ? fields[1] : std::string_view();

        if (key == "SET") {
            std::string set = Upper(value);
            if (set != "UTF-8" && set != "UTF8")
                Fail(lineNumber, "encodage « " + std::string(value) + " » non pris en charge (UTF-8 attendu)");
            aff.encodingDeclared = true;
        } else if (key == "FLAG") {
            if (value == "long")
                aff.flagMode = FlagMode::Long;
            else if (value == "num")
                aff.flagMode = FlagMode::Number;
            else if (Upper(value) == "UTF-8")
                aff.flagMode = FlagMode::Char;
            else
                Fail(lineNumber, "syntaxe de drapeaux « " + std::string(value) + " » inconnue");
        } else if (key == "AF" || key == "AM") {
            Fail(lineNumber, "les alias " + std::string(key) + " ne sont pas pris en charge");
        } else if (key == "FULLSTRIP") {
            aff.fullStrip = true;
        } else if (key == "NEEDAFFIX" || key == "PSEUDOROOT") {
            aff.needAffix = std::string(value);
        } else if (key == "FORBIDDENWORD") {
            aff.forbiddenWord = std::string(value);
        } else if (key == "NOSUGGEST") {
            aff.noSuggest = std::string(value);
        } else if (key == "KEEPCASE") {
            aff.keepCase = std::string(value);
        } else if (key == "CIRCUMFIX") {
            aff.circumfix = std::string(value);
        } else if (key == "PFX" || key == "SFX") {
            const bool prefix = key == "PFX";
            if (fields.size() < 4) Fail(lineNumber, "règle d'affixe incomplète");
            Flag flag(fields[1]);
            auto it = aff.classes.find(flag);
            const bool header = it == aff.classes.end() || it->second.rules.size() >= it->second.declaredCount;
            if (header) {
                if ((fields[2] != "Y" && fields[2] != "N") || !IsNumber(fields[3]))
                    Fail(lineNumber, "en-tête d'affixe « " + std::string(line) + " » illisible");
                AffixClass& cls = aff.classes[flag];
                if (!cls.rules.empty() && cls.prefix != prefix)
                    Fail(lineNumber, "le drapeau " + flag + " est à la fois préfixe et suffixe");
                cls.prefix = prefix;
                cls.crossProduct = fields[2] == "Y";
                cls.declaredCount += std::stoul(std::string(fields[3]));
                continue;
            }
            AffixClass& cls = it->second;
            if (cls.prefix != prefix) Fail(lineNumber, "le drapeau " + flag + " est à la fois préfixe et suffixe");
            AffixRule rule;
            rule.strip = fields[2] == "0" ? std::string() : std::string(fields[2]);
            rule.stripLength = CountCharacters(rule.strip);
            std::string_view add = fields[3];
            std::size_t slash = add.find('/');
            if (slash != std::string_view::npos) {
                rule.continuation = aff.SplitFlags(add.substr(slash + 1));
                add = add.substr(0, slash);
            }
            rule.add = add == "0" ? std::string() : std::string(add);
            try {
                rule.condition = ParseCondition(fields.size() > 4 ? fields[4] : std::string_view("."));
            } catch (const BuildError& e) {
                Fail(lineNumber, e.what());
            }
            for (std::size_t k = 5; k < fields.size(); ++k) {
                if (fields[k].front() == '#') break;
                rule.fields.emplace_back(fields[k]);
            }
            cls.rules.push_back(std::move(rule));
        }
        // Other options (TRY, REP, MAP, ICONV, BREAK, ...) only serve spelling checks.
    }
    return aff;
}

}  // namespace lexbuild
