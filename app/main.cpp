// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Program start: the application object, hint timing, title, then the main window, once
// per progress folder.
#include <QApplication>
#include <QStyleFactory>

#include <csignal>

#include "app/form1.h"
#include "common/folders.h"
#include "common/instance_lock.h"

int main(int argc, char** argv) {
    // Past a file-size limit a write then fails (EFBIG, "Disque plein") instead of the
    // signal ending the program in the middle of a save.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setStyle(new HintTimingStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    QApplication::setApplicationName(QStringLiteral("Clavelle"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(kWindowTitle));
    // Two programs saving the same record would each overwrite the other's samples. A
    // folder that cannot be made is reported by the window at its first paint.
    const std::string folder = ProgramFolderPath();
    CreateFolders(folder);
    InstanceLock lock(folder);
    if (lock.state() == InstanceLock::State::HeldElsewhere) {
        MessageServices().ShowMessage(AlreadyOpenMessage(folder));
        return 1;
    }
    TForm1 form;
    form.show();
    return app.exec();
}
