// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A text or book given to a second start is handed to the program already open on the
// same folder, which opens it in "Vos textes": "Ouvrir avec Clavelle" in a file manager
// works while the program is open. The two meet on a local socket in the program's folder
// that only its user can reach; the path is sent ended by a zero byte (no path holds one)
// and the open program answers "ok" once it has taken it.
#pragma once

#include <QObject>

#include <functional>
#include <string>

class QLocalServer;
class QLocalSocket;

inline constexpr const char* kHandoffSocketName = "clavelle.socket";

// Listens in the folder for the texts handed by later starts and passes each path to
// `open`. Meant for the program that holds the folder's lock: a socket left there by a
// program that ended without closing it is replaced. Without a socket (a path too long for
// one, a folder that cannot be written) nothing is handed over, and later starts say that
// the program is already open, as they do without a text.
class TextHandoffServer : public QObject {
public:
    TextHandoffServer(const std::string& folder, std::function<void(const std::string&)> open,
                      QObject* parent = nullptr);

private:
    void Accept();
    void Read(QLocalSocket* socket);

    QLocalServer* server_;
    std::function<void(const std::string&)> open_;
};

// Hands the path to the program open on the folder; true once that program has taken it.
// Waits two seconds at most, before any window of this start is shown.
bool HandOffText(const std::string& folder, const std::string& path);
