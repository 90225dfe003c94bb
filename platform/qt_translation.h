#pragma once

class QCoreApplication;

namespace platform {

// Installs the Swedish translation of Qt's own dialog texts (the save-file dialog and its
// questions, the print dialog with its page setup and printer properties, the standard button
// texts): first Debian's (qt_sv.qm, and qtbase_sv.qm where there is one, from Qt's translations
// folder; package qt6-translations-l10n), then the program's own small catalogue, built in as a
// resource, which holds only what Debian's lacks; and makes Swedish the default locale, from which
// Qt names the kinds of files the save dialog lists. It does not touch the program's own texts,
// which are Swedish already, and the program writes and reads no number through a locale. False
// when a catalogue could not be loaded; what was loaded stays installed, and the rest of Qt's
// dialogs stay in English.
bool installSwedishQtTranslation(QCoreApplication& application);

} // namespace platform
