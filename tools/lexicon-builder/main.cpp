// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// clavelle-lexicon: builds the program's lexicon files from a French Hunspell dictionary.
#include <iostream>

#include "tools/lexicon-builder/command_line.h"

int main(int argc, char** argv) { return lexbuild::RunLexiconBuilder(argc, argv, std::cout, std::cerr); }
