// Surfklocka: keeps a day-by-day log of the time connected on a prepaid NetLink plan and what
// it costs. With a command it runs on the command line, loading no Qt library; without one it
// loads the windows (app/modules.h).

#include "app/booking_wait.h"
#include "app/data_folder.h"
#include "app/hand_off_client.h"
#include "app/modules.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "platform/posix_file_system.h"
#include "presenter/messages.h"
#include "storage/journal.h"
#include "storage/settings_file.h"

#include <optional>
#include <string>
#include <vector>

namespace {

// A booking while another copy holds the data folder (the window, or another command): it is
// written to the journal first, durably, so that it is never lost, and then waits for the holder
// to book it, which leaves the answer in the folder; should the holder go, this command takes the
// folder and books it itself. Without an answer in time it waits in the journal for the next
// holder.
int bookThroughHolder(const cli::Command& command, const std::string& folder,
                      app::InstanceLock& lock, const platform::Clock& clock) {
    const cli::PlannedBooking planned = cli::planBooking(command, clock);
    if (!planned.entry) {
        return cli::print(planned.refusal);
    }
    platform::PosixFileSystem files(folder);
    const std::string name = app::newEntryName();
    if (!files.isOpen() || !storage::addPendingEntry(files, name, *planned.entry, true)) {
        return cli::failed(presenter::messages::notSaved(presenter::messages::withCause(
            "datamappen inte gick att skriva i", files.lastError())));
    }
    const app::BookingWait wait =
        app::awaitBooking(files, folder, name, lock, app::handOffTimeoutMs());
    switch (wait.outcome) {
    case app::BookingWait::Outcome::Answered:
        if (const auto answer = presenter::parseOutputBytes(wait.answer)) {
            return cli::print(*answer);
        }
        return cli::failed("Svaret om bokningen gick inte att läsa. Se efter med \"surfklocka "
                           "visa\" om den är bokförd.");
    case app::BookingWait::Outcome::Holder: {
        app::ModuleNotifier notifier;
        const auto settings = storage::SettingsFile(files).load();
        return cli::print(
            cli::bookWaiting(files, settings, name, clock.nanosecondsSince1970(), &notifier));
    }
    case app::BookingWait::Outcome::TimedOut:
        return cli::print(presenter::waitingOutput());
    case app::BookingWait::Outcome::Vanished:
        break;
    }
    return cli::failed("Bokningen togs om hand men inget svar lämnades. Se efter med "
                       "\"surfklocka visa\" om den är bokförd.");
}

// The command line: no display and no widgets. A booking takes the data folder and the lock as
// the window does; while the window holds the lock, the booking is handed to it. The other
// commands only read, so they neither create the folder nor wait for the lock; like the booking,
// they refuse a folder that is not the user's own.
int runCommandLine(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const cli::ParsedCommand parsed = cli::parseArguments(arguments);
    if (!parsed.command) {
        return cli::print(parsed.output);
    }
    const cli::Command& command = *parsed.command;
    if (const auto output = cli::runWithoutData(command)) {
        return cli::print(*output);
    }
    const auto folder = app::dataFolderPath();
    if (!folder) {
        return cli::failed("Surfklocka kan inte använda sin datamapp.\nIngen hemmapp hittades.");
    }
    const std::string unusable = "Surfklocka kan inte använda sin datamapp.\n";
    if (std::string error; cli::needsDataFolder(command)) {
        if (!app::enterDataFolder(*folder, error)) {
            return cli::failed(unusable + error);
        }
    } else if (const auto reason = app::foreignFolderReason(*folder)) {
        return cli::failed(unusable + *reason);
    }
    platform::SystemClock clock;
    std::optional<app::InstanceLock> lock;
    if (cli::changesFiles(command)) {
        lock.emplace(*folder);
        switch (lock->result()) {
        case app::InstanceLock::Result::Acquired:
            break;
        case app::InstanceLock::Result::HeldByOther:
            if (command.kind == cli::CommandKind::Plans) {
                return cli::failed("Surfklocka är öppet. Byt abonnemang i fönstret med \"Byt "
                                   "abonnemang…\", eller stäng det först.");
            }
            return bookThroughHolder(command, *folder, *lock, clock);
        case app::InstanceLock::Result::Failed:
            return cli::failed("Surfklocka kan inte starta.\n" + lock->failure());
        }
    }
    platform::PosixFileSystem files(*folder);
    if (!files.isOpen()) {
        return cli::failed("Datamappen " + *folder + " finns inte eller kan inte öppnas.");
    }
    // Hidden temporary files left by a stopped write are swept by the window at its start; a
    // command does not list the folder for them, so that it stays quick on a folder of many years.
    app::ModuleNotifier notifier;
    core::ProgramSettings settings;
    return cli::print(
        cli::runCommand(command, files, clock, settings, app::newEntryName(), &notifier));
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc > 1) {
        return cli::closeOutput(runCommandLine(argc, argv));
    }
    return app::runWindows(argc, argv);
}
