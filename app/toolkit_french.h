// SPDX-FileCopyrightText: 2026 Clavelle developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's own texts in French: the standard menus and dialogs ("Annuler", "Coller"
// in the right-click menu of a text field), from Qt's translations (Debian
// qt6-translations-l10n).
#pragma once

class QCoreApplication;
class QTranslator;

// Installs the toolkit's French translation on the application, for the system's
// language when it is French (fr_CA, fr_CH...) and for French otherwise, since every
// text of the program is French. Returns it (owned by the application), or null when the
// translations are not installed: the toolkit's texts then stay in English.
QTranslator* InstallToolkitFrench(QCoreApplication& app);
