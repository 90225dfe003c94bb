#pragma once

class QCoreApplication;

namespace platform {

// Installs the program's Swedish translation of Qt's own dialog texts: the print dialog with its
// page setup and printer properties, and the standard button texts. Debian's Qt 6 ships no
// Swedish translation of its own, so the program carries this small one as a resource. It does
// not touch the program's own texts, which are Swedish already. False when the translation could
// not be loaded; Qt's dialogs then stay in English.
bool installSwedishQtTranslation(QCoreApplication& application);

} // namespace platform
