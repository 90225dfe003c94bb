#include "platform/qt_translation.h"

#include <QCoreApplication>
#include <QTranslator>

namespace platform {

bool installSwedishQtTranslation(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral(":/i18n/qtbase_sv.qm")) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace platform
