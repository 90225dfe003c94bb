#include "platform/qt_translation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace platform {

namespace {

bool install(QCoreApplication& application, const QString& file) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace

bool installSwedishQtTranslation(QCoreApplication& application) {
    // What Qt writes from its locale data (the kinds of files in the save dialog) in Swedish too.
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // Debian's catalogue: qt_sv.qm, and the newer qtbase_sv.qm where the system has one.
    bool loaded = install(application, folder + QStringLiteral("/qt_sv.qm"));
    const QString qtbase = folder + QStringLiteral("/qtbase_sv.qm");
    if (QFileInfo::exists(qtbase)) {
        loaded = install(application, qtbase) && loaded;
    }
    // Installed last, so asked first: the program's own catalogue.
    return install(application, QStringLiteral(":/i18n/qtbase_sv.qm")) && loaded;
}

} // namespace platform
