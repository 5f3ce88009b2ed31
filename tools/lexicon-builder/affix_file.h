// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a Hunspell affix file (.aff): the flag syntax, the special flags and the prefix
// and suffix rules with their conditions and morphological fields. Text stays UTF-8.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lexbuild {

// Text of a Hunspell file without its UTF-8 byte-order mark.
inline std::string_view WithoutByteOrderMark(std::string_view text) {
    return text.substr(0, 3) == "\xEF\xBB\xBF" ? text.substr(3) : text;
}

// The line that starts at pos (without its CR LF or LF); pos moves to the next line.
// False once the text is used up.
inline bool NextLine(std::string_view text, std::size_t& pos, std::string_view& line) {
    if (pos >= text.size()) return false;
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
}

// A malformed or unsupported input file; the message is meant for the user.
class BuildError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One flag as written in the files: one character, two characters (FLAG long) or a
// decimal number (FLAG num).
using Flag = std::string;

enum class FlagMode { Char, Long, Number };

// One character position of a rule condition: '.', a bracket class or a plain character.
struct ConditionElement {
    std::u32string chars;  // the characters listed (one for a plain character)
    bool negated = false;  // [^...]
    bool any = false;      // '.'

    bool Matches(char32_t c) const;
};

struct AffixRule {
    std::string strip;                        // removed from the word ("0" in the file: empty)
    std::string add;                          // put in its place
    std::vector<Flag> continuation;           // flags after '/' in the added part
    std::vector<ConditionElement> condition;  // tested on the word before stripping
    std::vector<std::string> fields;          // morphological fields, e.g. "po:ipre"
    std::size_t stripLength = 0;              // characters (not bytes) of strip

    bool HasContinuation(const Flag& flag) const;
};

struct AffixClass {
    bool prefix = false;
    bool crossProduct = false;
    std::size_t declaredCount = 0;
    std::vector<AffixRule> rules;
};

class AffixFile {
public:
    FlagMode flagMode = FlagMode::Char;
    bool encodingDeclared = false;  // a SET line (which must say UTF-8) was read
    bool fullStrip = false;         // FULLSTRIP: a rule may strip the whole word
    Flag needAffix;                 // NEEDAFFIX: the stem alone is not a word
    Flag forbiddenWord;             // FORBIDDENWORD
    Flag noSuggest;                 // NOSUGGEST
    Flag keepCase;                  // KEEPCASE
    Flag circumfix;                 // CIRCUMFIX
    std::unordered_map<Flag, AffixClass> classes;

    // Splits a flag field ("a0p+()" under FLAG long) into its flags.
    std::vector<Flag> SplitFlags(std::string_view text) const;
    // The prefix or suffix class of a flag, nullptr when the flag names none.
    const AffixClass* FindClass(const Flag& flag) const;
};

// Parses the text of a .aff file (UTF-8). Throws BuildError, naming the line, on a
// malformed rule or an encoding other than UTF-8. AF and AM aliases are refused.
AffixFile ParseAffixFile(std::string_view text);

// Parses a rule condition such as "[^cg]er" or ".". Throws BuildError when malformed.
std::vector<ConditionElement> ParseCondition(std::string_view text);

// True when the condition matches the end (suffix) or the start (prefix) of the word.
bool ConditionMatches(const std::vector<ConditionElement>& condition, std::u32string_view word, bool atEnd);

// Throws BuildError, naming the line, at the first byte sequence that is not valid UTF-8
// (a Latin-1 file read as UTF-8, a file cut inside a character).
void CheckUtf8(std::string_view text);

// UTF-8 helpers shared by the builder.
std::u32string DecodeUtf8(std::string_view text);
std::size_t CountCharacters(std::string_view utf8);

}  // namespace lexbuild
