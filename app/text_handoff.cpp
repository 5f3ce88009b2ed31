// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/text_handoff.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include "app/qt_text.h"

namespace {

// Longer than any path the system opens (PATH_MAX is 4096 bytes).
constexpr qsizetype kMaxMessage = 4096;
constexpr int kClientWaitMs = 2000;
constexpr const char kTaken[] = "ok";

QString SocketPath(const std::string& folder) { return PathToQString(folder + "/" + kHandoffSocketName); }

}  // namespace

TextHandoffServer::TextHandoffServer(const std::string& folder, std::function<void(const std::string&)> open,
                                     QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), open_(std::move(open)) {
    const QString path = SocketPath(folder);
    QLocalServer::removeServer(path);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) return;
    connect(server_, &QLocalServer::newConnection, this, &TextHandoffServer::Accept);
}

void TextHandoffServer::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        // A caller that sends nothing is let go rather than kept.
        QTimer::singleShot(kClientWaitMs * 2, socket, [socket] { socket->abort(); });
        Read(socket);
    }
}

void TextHandoffServer::Read(QLocalSocket* socket) {
    const QByteArray received = socket->peek(kMaxMessage + 1);
    const qsizetype end = received.indexOf('\0');
    if (end < 0) {
        if (received.size() > kMaxMessage) socket->abort();
        return;
    }
    socket->read(end + 1);
    socket->write(kTaken);
    socket->disconnectFromServer();
    // Opened once this call is over: opening may ask the user a question.
    if (end > 0) QTimer::singleShot(0, this, [this, path = received.left(end).toStdString()] { open_(path); });
}

bool HandOffText(const std::string& folder, const std::string& path) {
    if (path.empty() || qsizetype(path.size()) >= kMaxMessage || path.find('\0') != std::string::npos) return false;
    QLocalSocket socket;
    socket.connectToServer(SocketPath(folder));
    if (!socket.waitForConnected(kClientWaitMs)) return false;
    socket.write(path.data(), qint64(path.size()));
    socket.write("", 1);
    if (!socket.waitForBytesWritten(kClientWaitMs)) return false;
    QByteArray answer;
    while (answer.size() < qsizetype(sizeof kTaken) - 1 && socket.waitForReadyRead(kClientWaitMs))
        answer += socket.readAll();
    return answer.startsWith(kTaken);
}
