// Surfklocka: keeps a day-by-day log of the time connected on a prepaid NetLink plan and what
// it costs.

#include "app/booking_wait.h"
#include "app/data_folder.h"
#include "app/hand_off_client.h"
#include "app/modules.h"
#include "core/program_settings.h"
#include "platform/posix_file_system.h"
#include "platform/system_errors.h"
#include "presenter/command_line.h"
#include "presenter/messages.h"
#include "storage/journal.h"
#include "storage/settings_file.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

// Why standard output could not be written, as an errno value: the first failure only, so that
// its message is given once, at the end. 0 while every write went well.
int outputFailure = 0;

void write(std::FILE* stream, const std::string& text) {
    if ((std::fwrite(text.data(), 1, text.size(), stream) != text.size() ||
         std::fflush(stream) != 0) &&
        stream == stdout && outputFailure == 0) {
        outputFailure = errno != 0 ? errno : EIO;
    }
}

// A command's exit code, once standard output is closed: when what it wrote did not reach its
// place (a full disk), the command has failed, whatever it did, and says so once. Every write was
// flushed, so a standard output that was closed from the start fails only a command that wrote.
int closeOutput(int exitCode) {
    if (std::fclose(stdout) != 0 && errno != EBADF && outputFailure == 0) {
        outputFailure = errno != 0 ? errno : EIO;
    }
    if (outputFailure == 0) {
        return exitCode;
    }
    write(stderr, "surfklocka: Utdata kunde inte skrivas till standard ut: " +
                      platform::systemErrorText(outputFailure) + ".\n");
    return presenter::kExitRefused;
}

int failed(const std::string& reason) {
    write(stderr, "surfklocka: " + reason + "\n");
    return presenter::kExitRefused;
}

int print(const presenter::CommandOutput& output) {
    write(stdout, output.out);
    write(stderr, output.err);
    return output.exitCode;
}

// A booking while another copy holds the data folder (the window, or another command): it is
// written to the journal first, durably, so that it is never lost, and then waits for the holder
// to book it, which leaves the answer in the folder; should the holder go, this command takes the
// folder and books it itself. Without an answer in time it waits in the journal for the next
// holder.
int bookThroughHolder(const presenter::Command& command, const std::string& folder,
                      app::InstanceLock& lock, const platform::Clock& clock) {
    const presenter::PlannedBooking planned = presenter::planBooking(command, clock);
    if (!planned.entry) {
        return print(planned.refusal);
    }
    platform::PosixFileSystem files(folder);
    const std::string name = app::newEntryName();
    if (!files.isOpen() || !storage::addPendingEntry(files, name, *planned.entry, true)) {
        return failed(presenter::messages::notSaved(presenter::messages::withCause(
            "datamappen inte gick att skriva i", files.lastError())));
    }
    const app::BookingWait wait =
        app::awaitBooking(files, folder, name, lock, app::handOffTimeoutMs());
    switch (wait.outcome) {
    case app::BookingWait::Outcome::Answered:
        if (const auto answer = presenter::parseOutputBytes(wait.answer)) {
            return print(*answer);
        }
        return failed("Svaret om bokningen gick inte att läsa. Se efter med \"surfklocka visa\" "
                      "om den är bokförd.");
    case app::BookingWait::Outcome::Holder: {
        app::ModuleNotifier notifier;
        const auto settings = storage::SettingsFile(files).load();
        return print(
            presenter::bookWaiting(files, settings, name, clock.nanosecondsSince1970(), &notifier));
    }
    case app::BookingWait::Outcome::TimedOut:
        return print(presenter::waitingOutput());
    case app::BookingWait::Outcome::Vanished:
        break;
    }
    return failed("Bokningen togs om hand men inget svar lämnades. Se efter med \"surfklocka "
                  "visa\" om den är bokförd.");
}

// The command line: no display and no widgets. A booking takes the data folder and the lock as
// the window does; while the window holds the lock, the booking is handed to it. The other
// commands only read, so they neither create the folder nor wait for the lock; like the booking,
// they refuse a folder that is not the user's own.
int runCommandLine(int argc, char* argv[]) {
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("surfklocka"));

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const presenter::ParsedCommand parsed = presenter::parseCommandLine(arguments);
    if (!parsed.command) {
        write(stderr, parsed.output.err);
        return parsed.output.exitCode;
    }
    const presenter::Command& command = *parsed.command;
    if (const auto output = presenter::runWithoutData(command)) {
        write(stdout, output->out);
        return output->exitCode;
    }
    core::ProgramSettings settings;
    platform::SystemClock clock;

    const auto folder = app::dataFolderPath();
    if (!folder) {
        return failed("Surfklocka kan inte använda sin datamapp.\nIngen hemmapp hittades.");
    }
    std::optional<app::InstanceLock> lock;
    if (presenter::needsDataFolder(command)) {
        std::string error;
        if (!app::enterDataFolder(*folder, error)) {
            return failed("Surfklocka kan inte använda sin datamapp.\n" + error);
        }
    } else if (const auto reason = app::foreignFolderReason(*folder)) {
        return failed("Surfklocka kan inte använda sin datamapp.\n" + *reason);
    }
    if (presenter::changesFiles(command)) {
        lock.emplace(*folder);
        switch (lock->result()) {
        case app::InstanceLock::Result::Acquired:
            break;
        case app::InstanceLock::Result::HeldByOther:
            return bookThroughHolder(command, *folder, *lock, clock);
        case app::InstanceLock::Result::Failed:
            return failed("Surfklocka kan inte starta.\n" + lock->failure());
        }
    }
    platform::PosixFileSystem files(*folder);
    if (!files.isOpen()) {
        return failed("Datamappen " + *folder + " finns inte eller kan inte öppnas.");
    }
    // Hidden temporary files left by a stopped write are swept by the window at its start; a
    // command does not list the folder for them, so that it stays quick on a folder of many years.
    app::ModuleNotifier notifier;
    const presenter::CommandOutput output =
        presenter::runCommand(command, files, clock, settings, app::newEntryName(), &notifier);
    write(stdout, output.out);
    write(stderr, output.err);
    return output.exitCode;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc > 1) {
        return closeOutput(runCommandLine(argc, argv));
    }
    return app::runWindows(argc, argv);
}
