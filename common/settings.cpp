// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/settings.h"

#include <string_view>

#include "common/io_error.h"
#include "common/safe_file.h"
#include "common/text_lines.h"

namespace {
constexpr std::size_t kMaxSettingsBytes = 64 * 1024;
constexpr std::string_view kHeader = "# Réglages de Clavelle\n";
}  // namespace

void Settings::Load() {
    values_.clear();
    const std::optional<std::string> text = ReadSmallFile(path_, kMaxSettingsBytes);
    if (!text) return;
    std::string_view rest = *text;
    while (!rest.empty()) {
        std::string_view line = TakeLine(rest);
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos || equals == 0) continue;
        values_[std::string(line.substr(0, equals))] = std::string(line.substr(equals + 1));
    }
}

void Settings::Save() const {
    std::string text(kHeader);
    for (const auto& [name, value] : values_) {
        text += name;
        text += '=';
        text += value;
        text += '\n';
    }
    NamingFile(path_, [&] { SaveFileSafely(path_, text.data(), text.size()); });
}

std::optional<std::string> Settings::Get(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

void Settings::Set(const std::string& name, const std::string& value) {
    values_[name] = value.substr(0, value.find_first_of("\r\n"));
}
