// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Program start: the application object, hint timing, title, then the main window.
#include <QApplication>
#include <QStyleFactory>

#include "app/form1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(new HintTimingStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    QApplication::setApplicationName(QStringLiteral("Clavelle"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(kWindowTitle));
    TForm1 form;
    form.show();
    return app.exec();
}
