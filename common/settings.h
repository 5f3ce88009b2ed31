// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The user's settings, in a small text file of the program's folder: UTF-8 (a byte-order
// mark is passed over), one "name=value" line each (LF or CR LF), lines starting with #
// ignored. Saved whole and crash-safely, and only over a regular file that could be read.
#pragma once

#include <map>
#include <optional>
#include <string>

inline constexpr const char* kSettingsFileName = "réglages.txt";

class Settings {
public:
    explicit Settings(std::string path) : path_(std::move(path)) {}

    // Reads the file, first removing the temporary files of a save cut short. A missing
    // file leaves no setting. A file that cannot be read (no permission, larger than
    // 64 KB, a symbolic link, a folder or a device at its name, a read error) leaves no
    // setting and is never overwritten: LoadMessage says so, and Save refuses.
    void Load();
    // The French message (UTF-8) naming the file and why the last Load could not read it,
    // for the caller to show once; empty when the file was read or is missing.
    const std::string& LoadMessage() const { return loadMessage_; }
    // Writes every setting; throws IoError naming the file, also when the file could not
    // be read at the last Load, or a symbolic link or anything but a regular file stands
    // at its name: those are never replaced nor written through.
    void Save() const;

    std::optional<std::string> Get(const std::string& name) const;
    // A value holds no line break (cut at the first one).
    void Set(const std::string& name, const std::string& value);
    void Remove(const std::string& name) { values_.erase(name); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::map<std::string, std::string> values_;
    int refusedReason_ = 0;  // why the file could not be read (an errno), 0 when it could
    std::string loadMessage_;
};
