// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Program start: the application object, hint timing, title, then the main window, once
// per progress folder.
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleFactory>

#include <cerrno>
#include <csignal>
#include <optional>

#include "app/form1.h"
#include "app/qt_text.h"
#include "app/text_handoff.h"
#include "app/toolkit_french.h"
#include "common/folders.h"
#include "common/instance_lock.h"

namespace {

// Asks whether to go on without the lock; true for "Continuer quand même".
bool GoOnWithoutLock(const std::string& message) {
    QString text = QString::fromUtf8(message.data(), qsizetype(message.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kWindowTitle), text);
    QPushButton* goOn = box.addButton(QString::fromUtf8("Continuer quand même"), QMessageBox::AcceptRole);
    QPushButton* quit = box.addButton(QString::fromUtf8("Quitter"), QMessageBox::RejectRole);
    box.setDefaultButton(quit);
    box.setEscapeButton(quit);
    box.exec();
    return box.clickedButton() == goOn;
}

// Without a session bus in the environment, the D-Bus library the toolkit's accessibility
// support calls on the window thread at the first widget starts dbus-launch and waits for
// it: a program outside this one, forked from a threaded process, that can hang the window
// before it shows. A desktop session names its bus or keeps one in the runtime folder; with
// neither, there is no bus to reach, and the library is told so.
void NoBusLaunch() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"))) return;
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

}  // namespace

int main(int argc, char** argv) {
    // Past a file-size limit a write then fails (EFBIG, "Disque plein") instead of the
    // signal ending the program in the middle of a save.
    std::signal(SIGXFSZ, SIG_IGN);
    NoBusLaunch();
    QApplication app(argc, argv);
    InstallToolkitFrench(app);
    QApplication::setStyle(new HintTimingStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    QApplication::setApplicationName(QStringLiteral("Clavelle"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(kWindowTitle));
    // Two programs saving the same record would each overwrite the other's samples. A
    // folder that cannot be made is reported by the window at its first paint.
    const std::string folder = ProgramFolderPath();
    CreateFolders(folder);
    // A text or book given on the command line ("clavelle livre.epub"), named from the
    // folder the program was started in (the window then works in its own folder), opened
    // in "Vos textes" once the window has loaded what it needs; or by the program already
    // open on the folder.
    std::string text;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size() && text.empty(); ++i)
        if (arguments[i] != QStringLiteral("--")) text = PathFromQString(QFileInfo(arguments[i]).absoluteFilePath());
    InstanceLock lock(folder);
    if (lock.state() == InstanceLock::State::HeldElsewhere) {
        if (HandOffText(folder, text)) return 0;
        MessageServices().ShowMessage(AlreadyOpenMessage(folder));
        return 1;
    }
    // Without a lock, two windows could run on one folder: the user decides. A folder that
    // does not exist is not asked about: nothing can be saved there, as the window says.
    if (lock.state() == InstanceLock::State::Unavailable && lock.Error() != ENOENT && lock.Error() != ENOTDIR &&
        !GoOnWithoutLock(LockUnavailableMessage(lock.Path(), lock.Error())))
        return 1;
    TForm1 form;
    // "Vos textes" opens once the window has loaded what it needs: the text of the command
    // line, or the last one handed over meanwhile.
    bool ready = false;
    QObject::connect(
        &form, &TForm1::firstPaintDone, &form,
        [&form, &ready, &text] {
            ready = true;
            if (!text.empty()) form.ShowTexts(text);
        },
        Qt::SingleShotConnection);
    auto open = [&form, &ready, &text](const std::string& path) {
        if (ready)
            form.ShowTexts(path);
        else
            text = path;
    };
    std::optional<TextHandoffServer> handoff;
    if (lock.state() == InstanceLock::State::Held) handoff.emplace(folder, open);
    form.show();
    return app.exec();
}
