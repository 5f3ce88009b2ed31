// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/toolkit_french.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QTranslator* InstallToolkitFrench(QCoreApplication& app) {
    const QLocale system = QLocale::system();
    const QLocale french = system.language() == QLocale::French ? system : QLocale(QLocale::French, QLocale::France);
    auto* translator = new QTranslator(&app);
    // "qtbase_fr_CA.qm" first when it exists, else "qtbase_fr.qm".
    if (!translator->load(french, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}
