// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The text window's dialogs and its list of recent texts, made apart from the window: a
// question with its buttons, the file chooser and the folder it opens on, a recent text's
// line.
#pragma once

#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "app/text_session.h"

// A question (UTF-8) over the window, titled as it is; the index of the button chosen, -1
// for none. The last button changes nothing: Enter and Escape choose it.
int AskBox(QWidget* parent, const std::string& text, const std::vector<std::string>& buttons);
// A text or book the user chooses, starting in this folder; empty for none. The toolkit's
// own dialog: the window never waits on a desktop service.
std::string ChooseTextFile(QWidget* parent, const std::string& folder);
// Where the file chooser opens for a path: its folder, or the home folder for none or when
// the folder is gone.
std::string ChooserFolder(const std::string& path);
// A recent text as the list shows it: its summary, and what became of its file.
QString RecentLine(const TextPlace& place, const std::vector<TextSession::FileStatus>& statuses);
