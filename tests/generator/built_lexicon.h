// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lexicon files the build made (CLAVELLE_DATA_DIR), for the tests that read the real
// lexicon.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "lexicon/lexicon.h"
#include "lexicon/loader.h"

// The folder of the built lexicon files, empty when the build made none.
inline std::string BuiltLexiconFolder() {
    const char* dir = std::getenv("CLAVELLE_DATA_DIR");
    if (!dir || !std::filesystem::exists(std::filesystem::path(dir) / kDictionaryFile)) return {};
    return dir;
}

// The built lexicon, loaded into a new table (the caller deletes it); null without files.
inline Lexicon* LoadBuiltLexicon() {
    const std::string folder = BuiltLexiconFolder();
    if (folder.empty()) return nullptr;
    auto* lexicon = new Lexicon();
    LoadLexicon(folder, *lexicon, LoadCallbacks{});
    return lexicon;
}
