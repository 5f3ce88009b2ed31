// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/settings.h"

#include <sys/stat.h>

#include <cerrno>
#include <string_view>

#include "common/io_error.h"
#include "common/safe_file.h"
#include "common/text_lines.h"

namespace {
constexpr std::size_t kMaxSettingsBytes = 64 * 1024;
constexpr std::string_view kHeader = "# Réglages de Clavelle\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Why the settings may not be written at `path`: ELOOP for a symbolic link, ENODEV for
// anything but a regular file; 0 when it is one or nothing is there.
int UnwritableReason(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return 0;
    if (S_ISLNK(info.st_mode)) return ELOOP;
    return S_ISREG(info.st_mode) ? 0 : S_ISDIR(info.st_mode) ? EISDIR : ENODEV;
}

std::string ReasonText(int reason) {
    if (reason == EOVERFLOW) return "il dépasse " + std::to_string(kMaxSettingsBytes / 1024) + " Ko";
    return IoReasonText(reason);
}
}  // namespace

void Settings::Load() {
    values_.clear();
    refusedReason_ = 0;
    loadMessage_.clear();
    RemoveLeftTemporaries(path_);
    int reason = UnwritableReason(path_);
    std::optional<std::string> text;
    if (reason == 0) text = ReadSmallFile(path_, kMaxSettingsBytes, &reason);
    if (!text) {
        if (reason == ENOENT || reason == ENOTDIR) return;
        refusedReason_ = reason;
        loadMessage_ = "Les réglages «\u00A0" + path_ + "\u00A0» ne peuvent pas être lus (" + ReasonText(reason) +
                       ")\u00A0: ils sont laissés tels quels et les réglages par défaut s'appliquent\u00A0; un choix "
                       "fait maintenant ne sera pas enregistré.";
        return;
    }
    std::string_view rest = *text;
    if (rest.starts_with(kByteOrderMark)) rest.remove_prefix(kByteOrderMark.size());
    while (!rest.empty()) {
        std::string_view line = TakeLine(rest);
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos || equals == 0) continue;
        values_[std::string(line.substr(0, equals))] = std::string(line.substr(equals + 1));
    }
}

void Settings::Save() const {
    // A file that could not be read keeps what it holds; a link could lead anywhere.
    const int refused = refusedReason_ ? refusedReason_ : UnwritableReason(path_);
    if (refused == ENODEV || refused == EISDIR) throw IoError(kIoNotRegularFile, path_);
    if (refused) throw IoError(refused, path_);
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
