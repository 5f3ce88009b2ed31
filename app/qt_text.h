// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Conversion between the program's Windows-1252 texts and Qt strings, used only at the
// controls. A character that Windows-1252 cannot hold becomes '?'.
#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

QString ToQString(std::string_view text);
std::string FromQString(const QString& text);

// Typed characters: each as its Windows-1252 byte, or kNotCp1252 for a character that
// Windows-1252 cannot hold (never the '?' it would be shown as).
std::vector<int> TypedCharacters(const QString& text);

// A path of the file system (bytes, as the system names the file) as the user reads it, and
// back.
QString PathToQString(const std::string& path);
std::string PathFromQString(const QString& path);

// A text between French guillemets with their no-break spaces, "« e »" (from UTF-8).
QString Quoted(const std::string& utf8);
