// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lexicon/line_reader.h"

#include <fcntl.h>

#include "common/io_error.h"

namespace lexicon_detail {

int OpenForReading(const std::string& path) { return OpenRegularFile(path, O_RDONLY); }

}  // namespace lexicon_detail
