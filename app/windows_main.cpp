// The windows of Surfklocka, loaded by the program only when it starts without a command, so
// that the command line loads no window code at all.

#include "app/data_folder.h"
#include "app/frmSurfur.h"
#include "app/hand_off.h"
#include "app/modules.h"
#include "core/program_settings.h"
#include "forms/group_box_frame.h"
#include "forms/widget_helpers.h"
#include "platform/posix_file_system.h"
#include "platform/qt_message_box.h"
#include "platform/qt_save_file.h"
#include "platform/qt_services.h"
#include "platform/qt_translation.h"
#include "platform/system_errors.h"

#include <QApplication>
#include <QIcon>
#include <cstdlib>
#include <string>

extern "C" __attribute__((visibility("default"))) int surfklocka_windows_main(int argc,
                                                                              char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("surfklocka"));
    QApplication::setApplicationDisplayName(QStringLiteral("Surfklocka"));
    // Ties the windows to the installed desktop entry, and so to its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.surfklocka"));
    QApplication::setWindowIcon(forms::programIcon("surfklocka"));
    // Group box frames drawn without loading every image-format plugin.
    forms::keepGroupBoxFrameCached(&application);
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
    // Printing is loaded at the first print (Qt Print Support), not with the windows.
    app::ModulePrinting printing;
    platform::QtLinkOpener links(*folder);
    platform::QtSaveFile saveFile;
    // The desktop notifier is loaded at the first notice, like the command line's.
    app::ModuleNotifier notifier;
    const platform::Services services{files,    clock, messages, printing,
                                      printing, links, saveFile, notifier};

    core::ProgramSettings settings;
    app::frmSurfur window(services, settings);
    QObject::connect(&window, &app::frmSurfur::programEnded, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    // Bookings from the command line come to this window; the socket listens before the start
    // books what waits, so that no booking falls between the two. Without the socket, command-line
    // bookings wait for the window's next booking.
    app::HandOffServer handOffs(
        *folder, [&window](const std::string& name) { return window.handOver(name); });
    // A command waits a while for its answer; what it cannot hear any more, the window tells.
    window.setCommandWaits([&clock](const std::string& name) {
        return app::commandMayWait(name, clock.nanosecondsSince1970());
    });
    QObject::connect(&window, &app::frmSurfur::idle, &handOffs, &app::HandOffServer::retry);
    if (!handOffs.listen()) {
        // Said once: the bookings still come, through the journal, at the window's next booking.
        messages.show("Bokningar från kommandoraden kan inte lämnas över till fönstret, eftersom "
                      "uttaget surfklocka.sock inte gick att skapa: " +
                          platform::systemErrorText(handOffs.error()) +
                          ".\nDe bokförs ändå: de väntar i datamappen och bokförs när du sparar "
                          "nästa gång.",
                      "Surfklocka", Buttons::Ok, Icon::Exclamation);
    }
    window.start();
    return application.exec();
}
