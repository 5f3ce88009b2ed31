// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lexicon builder's command line:
//   clavelle-lexicon --aff fr.aff --dic fr.dic --out DIR [--all] [--max-rank N] [list files]
#pragma once

#include <ostream>

namespace lexbuild {

// Runs the builder; messages go to out (the counts) and err (errors, with the usage on a
// bad command line). Returns the exit status: 0 on success, 1 on unreadable or malformed
// input or a failed write, 2 on a bad command line.
int RunLexiconBuilder(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace lexbuild
