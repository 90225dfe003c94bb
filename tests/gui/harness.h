#pragma once

#include "app/frmSurfur.h"
#include "core/program_settings.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_message_box.h"
#include "platform/fakes/fake_services.h"
#include "platform/posix_file_system.h"
#include "support/temp_dir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// The main window on a fresh temporary data folder, with fakes for the clock, the message box,
// the printer and the links.
struct Harness {
    explicit Harness(core::Date today = core::Date{2001, 12, 5}) : clock(today) {}

    // Stores a plan as a finished first start would have.
    void storePlan(const char* planText, std::int16_t allowance) {
        std::vector<std::uint8_t> bytes(62, 0);
        bytes[0] = 0xFF;
        bytes[1] = 0xFF;
        for (int i = 0; i < 10; ++i) {
            bytes[30 + i] = static_cast<std::uint8_t>(planText[i]);
        }
        bytes[60] = static_cast<std::uint8_t>(allowance & 0xFF);
        bytes[61] = static_cast<std::uint8_t>((allowance >> 8) & 0xFF);
        dir.write("tid.it", bytes);
    }

    app::frmSurfur& start() {
        window = std::make_unique<app::frmSurfur>(services, settings);
        ended = std::make_unique<QSignalSpy>(window.get(), &app::frmSurfur::programEnded);
        window->start();
        return *window;
    }

    template <typename T = QWidget>
    T* find(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QComboBox* list(const char* name) const { return find<QComboBox>(name); }
    QLabel* label(const char* name) const { return find<QLabel>(name); }
    QAbstractButton* button(const char* name) const { return find<QAbstractButton>(name); }
    std::string text(const char* labelName) const { return label(labelName)->text().toStdString(); }
    bool red(const char* labelName) const {
        return label(labelName)->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
    }

    // Chooses a date in the date lists, as a user would, one list at a time.
    void choose(const char* year, const char* month, const char* day) {
        list("cmbSok_0")->setCurrentText(QString::fromLatin1(year));
        list("cmbSok_1")->setCurrentText(QString::fromLatin1(month));
        list("cmbSok_2")->setCurrentText(QString::fromLatin1(day));
    }
    // Types hours, minutes and seconds into the time fields.
    void enter(const char* hours, const char* minutes, const char* seconds) {
        list("cmbTid_0")->setEditText(QString::fromUtf8(hours));
        list("cmbTid_1")->setEditText(QString::fromUtf8(minutes));
        list("cmbTid_2")->setEditText(QString::fromUtf8(seconds));
    }
    void click(const char* name) const { button(name)->click(); }

    // The range window, opened with the main window's button. Its controls are looked up inside
    // it, since some share their names with the main window's.
    QWidget* openRange() {
        click("cmdFran_till");
        return rangeWindow();
    }
    QWidget* rangeWindow() const { return find("frmFran_till"); }
    template <typename T = QWidget>
    T* inRange(const char* name) const {
        QWidget* range = rangeWindow();
        return range == nullptr ? nullptr : range->findChild<T*>(QString::fromLatin1(name));
    }
    QComboBox* rangeList(const char* name) const { return inRange<QComboBox>(name); }
    std::string rangeText(const char* labelName) const {
        return inRange<QLabel>(labelName)->text().toStdString();
    }
    // Chooses an entry of a range list as a user would; that runs the range check.
    void pick(const char* listName, const char* text) const {
        rangeList(listName)->setCurrentText(QString::fromLatin1(text));
    }
    // The texts of a range date field: "yy mm dd".
    std::string rangeField(const char* prefix) const {
        std::string text;
        for (int i = 0; i < 3; ++i) {
            const std::string name = prefix + ("_" + std::to_string(i));
            text += (i > 0 ? " " : "") + rangeList(name.c_str())->currentText().toStdString();
        }
        return text;
    }
    // Runs the deletions of closed windows that Qt defers to the event loop.
    static void deleteClosedWindows() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TempDir dir;
    platform::PosixFileSystem files{dir.path()};
    platform::fakes::FakeClock clock;
    platform::fakes::FakeMessageBox messages;
    platform::fakes::FakePrintDialog printDialog;
    platform::fakes::FakePrinter printer;
    platform::fakes::FakeLinkOpener links;
    platform::Services services{files, clock, messages, printDialog, printer, links};
    core::ProgramSettings settings;
    std::unique_ptr<app::frmSurfur> window;
    std::unique_ptr<QSignalSpy> ended;
};

} // namespace testing_support
