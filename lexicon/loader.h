// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Loader of the three lexicon files: the female and male first names and the dictionary of
// inflected verbs, nouns and adjectives. Pure C++; the window passes its progress bar and
// its event pump as callbacks.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "lexicon/lexicon.h"
#include "lexicon/subtag_codes.h"

struct LoadCallbacks {
    // ProgressBar1: 0 up to 100 (more for a dictionary longer than 289,564 lines, then 100
    // at the end); called only when the value changes.
    std::function<void(int position)> SetProgressPosition;
    // Lets the window handle its pending events; called about every 16 ms of loading.
    std::function<void()> ProcessEvents;
};

// Reads dataDirectory + "/prénomsf.txt", "/prénomsg.txt", "/dictionnaire.txt" into the
// lexicon (emptied first). Throws IoError (kIoFileNotFound for a missing file) and stops
// there, the tables as far as filled. Other handlers of the window may run inside
// ProcessEvents: the lexicon must stay alive until the call returns.
void LoadLexicon(const std::string& dataDirectory, Lexicon& lexicon, const LoadCallbacks& callbacks);

// "L'ordinateur connaît N verbes conjugués, N noms communs, N adjectifs et N prénoms." in cp1252.
std::string LexiconSummary(const Lexicon& lexicon);

// File names inside the data folder (UTF-8 on disk).
inline constexpr const char* kFemaleNamesFile = "prénomsf.txt";
inline constexpr const char* kMaleNamesFile = "prénomsg.txt";
inline constexpr const char* kDictionaryFile = "dictionnaire.txt";

// Number of dictionary lines that fills the progress bar.
inline constexpr double kDictionaryLinesForFullBar = 289564.0;

// The loading steps on file contents already in memory. The text is changed in place (lone
// CRs are squeezed out of their line); a byte 26 ends it. `text` may be null when `size`
// is 0. Each empties the tables it fills before filling them.
enum class NameList { Female, Male };
void LoadNameList(char* text, std::size_t size, Lexicon& lexicon, NameList list);
void LoadDictionary(char* text, std::size_t size, Lexicon& lexicon, const LoadCallbacks& callbacks);
