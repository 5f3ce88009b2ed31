// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's folders: where the progress is kept ($XDG_DATA_HOME/Clavelle) and the
// folder the program was started in.
#pragma once

#include <string>

// $XDG_DATA_HOME/Clavelle, or ~/.local/share/Clavelle when XDG_DATA_HOME is unset or not
// an absolute path; the home is $HOME, or the user's entry in the password database when
// HOME is unset or not an absolute path. Always an absolute path.
std::string ProgramFolderPath();

// Creates the folder and its parents as needed (mkdir -p); 0, or the errno of the failure
// (ENOTDIR when something other than a folder stands at the path).
int CreateFolders(const std::string& path);

// The current directory, "." when it cannot be read.
std::string CurrentDirectory();
