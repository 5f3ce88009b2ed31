// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The user's settings, in a small text file of the program's folder: UTF-8, one
// "name=value" line each, lines starting with # ignored. Saved whole and crash-safely.
#pragma once

#include <map>
#include <optional>
#include <string>

inline constexpr const char* kSettingsFileName = "réglages.txt";

class Settings {
public:
    explicit Settings(std::string path) : path_(std::move(path)) {}

    // Reads the file; a missing or unreadable file leaves no setting.
    void Load();
    // Writes every setting; throws IoError naming the file.
    void Save() const;

    std::optional<std::string> Get(const std::string& name) const;
    // A value holds no line break (cut at the first one).
    void Set(const std::string& name, const std::string& value);
    void Remove(const std::string& name) { values_.erase(name); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::map<std::string, std::string> values_;
};
