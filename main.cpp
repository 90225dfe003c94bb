// Surfklocka: keeps a day-by-day log of the time connected on a prepaid NetLink plan and what
// it costs.

#include "app/data_folder.h"
#include "app/frmSurfur.h"
#include "core/program_settings.h"
#include "platform/posix_file_system.h"
#include "platform/qt_message_box.h"
#include "platform/qt_services.h"
#include "platform/qt_translation.h"

#include <QApplication>
#include <QIcon>
#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("surfklocka"));
    QApplication::setApplicationDisplayName(QStringLiteral("Surfklocka"));
    // Ties the windows to the installed desktop entry, and so to its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.surfklocka"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/surfklocka.png")));
    // Qt's own dialogs (the print dialog above all) in Swedish.
    platform::installSwedishQtTranslation(application);
    // The main window is hidden while another window is open; the program ends only when a
    // window says so.
    QApplication::setQuitOnLastWindowClosed(false);

    platform::QtMessageBox messages;
    using Buttons = platform::MessageBox::Buttons;
    using Icon = platform::MessageBox::Icon;

    const auto folder = app::dataFolderPath();
    std::string error = "Ingen hemmapp hittades.";
    if (!folder || !app::enterDataFolder(*folder, error)) {
        messages.show("Surfklocka kan inte använda sin datamapp.\n" + error, "Surfklocka",
                      Buttons::Ok, Icon::Stop);
        return EXIT_FAILURE;
    }
    const app::InstanceLock lock(*folder);
    switch (lock.result()) {
    case app::InstanceLock::Result::Acquired:
        break;
    case app::InstanceLock::Result::HeldByOther:
        messages.show("Surfklocka är redan igång.", "Surfklocka", Buttons::Ok, Icon::Exclamation);
        return EXIT_SUCCESS;
    case app::InstanceLock::Result::Failed:
        messages.show("Surfklocka kan inte starta.\n" + lock.failure(), "Surfklocka", Buttons::Ok,
                      Icon::Stop);
        return EXIT_FAILURE;
    }

    platform::PosixFileSystem files(*folder);
    files.removeStaleTemporaries();
    platform::SystemClock clock;
    platform::QtPrinting printing;
    platform::QtLinkOpener links(*folder);
    const platform::Services services{files, clock, messages, printing, printing, links};

    core::ProgramSettings settings;
    app::frmSurfur window(services, settings);
    QObject::connect(&window, &app::frmSurfur::programEnded, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    window.start();
    return application.exec();
}
