#pragma once

#include "app/frmSurfur.h"
#include "platform/posix_file_system.h"
#include "support/fakes/fake_services.h"
#include "support/temp_dir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// The main window on a temporary data folder, with fakes for everything else outside.
struct Harness : platform::fakes::FakeOutside {
    explicit Harness(core::Date today = core::Date{2001, 12, 5}) : FakeOutside(today) {}

    // Stores a plan (its ten characters and its allowance) as a finished first start would have.
    void storePlan(const char* planText, std::int16_t allowance) const {
        std::vector<std::uint8_t> bytes(62, 0);
        bytes[0] = bytes[1] = 0xFF;
        std::copy(planText, planText + 10, bytes.begin() + 30);
        bytes[60] = static_cast<std::uint8_t>(allowance & 0xFF);
        bytes[61] = static_cast<std::uint8_t>((allowance >> 8) & 0xFF);
        dir.write("tid.it", bytes);
    }
    // Starts the main window on the folder, or on another file layer; with a plan stored first.
    app::frmSurfur& start(const char* plan, std::int16_t allowance) {
        storePlan(plan, allowance);
        return start();
    }
    app::frmSurfur& start(platform::FileSystem* other = nullptr) {
        window = std::make_unique<app::frmSurfur>(with(other ? *other : files), settings);
        ended = std::make_unique<QSignalSpy>(window.get(), &app::frmSurfur::programEnded);
        window->start();
        return *window;
    }

    // A control of the main window, or of the window `in`.
    template <typename T = QWidget>
    T* find(const char* name, const QWidget* in = nullptr) const {
        return (in ? in : window.get())->findChild<T*>(QString::fromLatin1(name));
    }
    QComboBox* list(const char* name) const { return find<QComboBox>(name); }
    QAbstractButton* button(const char* name) const { return find<QAbstractButton>(name); }
    std::string text(const char* label) const { return find<QLabel>(label)->text().toStdString(); }
    void choose(const char* year, const char* month, const char* day) const {
        list("cmbSok_0")->setCurrentText(QString::fromLatin1(year));
        list("cmbSok_1")->setCurrentText(QString::fromLatin1(month));
        list("cmbSok_2")->setCurrentText(QString::fromLatin1(day));
    }
    // Types the minutes of a booking, as the hours and seconds are left empty.
    void enterMinutes(const char* minutes) const {
        list("cmbTid_1")->setEditText(QString::fromLatin1(minutes));
    }
    void click(const char* name) const { button(name)->click(); }
    // How many entries a list offers, its first and its last: "12:01-12".
    static QString entries(const QComboBox* list) {
        return QStringLiteral("%1:%2-%3")
            .arg(list->count())
            .arg(list->itemText(0), list->itemText(list->count() - 1));
    }
    // Makes a window the active one, as the window system does when the user goes to it.
    static bool activate(QWidget* window) {
        window->activateWindow();
        return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
    }
    // Makes the main window's date label show something else, for its activation step to undo.
    void blankDate() const { find<QLabel>("lblVisa_3")->setText(QStringLiteral("-")); }
    static void deleteClosedWindows() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TempDir dir;
    platform::PosixFileSystem files{dir.path()};
    core::ProgramSettings settings;
    std::unique_ptr<app::frmSurfur> window;
    std::unique_ptr<QSignalSpy> ended;
};

} // namespace testing_support
