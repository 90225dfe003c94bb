#pragma once

#include "app/frmSurfur.h"
#include "platform/posix_file_system.h"
#include "support/fakes/fake_clock.h"
#include "support/fakes/fake_message_box.h"
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

struct Harness : platform::fakes::FakeOutside {
    explicit Harness(core::Date today = core::Date{2001, 12, 5}) : FakeOutside(today) {}

    // Stores a plan (its ten characters and its allowance) as a finished first start would have.
    void storePlan(const char* planText, std::int16_t allowance) {
        std::vector<std::uint8_t> bytes(62 - 10, 0);
        bytes[0] = bytes[1] = 0xFF;
        bytes.insert(bytes.begin() + 30, planText, planText + 10);
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

    // Starts the main window on another file layer, for tests that count or fail its calls.
    app::frmSurfur& startWith(platform::FileSystem& other) {
        window = std::make_unique<app::frmSurfur>(with(other), settings);
        ended = std::make_unique<QSignalSpy>(window.get(), &app::frmSurfur::programEnded);
        window->start();
        return *window;
    }

    static QString q(const char* latin1) { return QString::fromLatin1(latin1); }
    template <typename T = QWidget>
    T* find(const char* name) const {
        return window->findChild<T*>(q(name));
    }
    QComboBox* list(const char* name) const { return find<QComboBox>(name); }
    QLabel* label(const char* name) const { return find<QLabel>(name); }
    QAbstractButton* button(const char* name) const { return find<QAbstractButton>(name); }
    std::string text(const char* labelName) const { return label(labelName)->text().toStdString(); }
    bool red(const char* id) const { return label(id)->palette().windowText().color() == Qt::red; }

    void choose(const char* year, const char* month, const char* day) {
        list("cmbSok_0")->setCurrentText(q(year));
        list("cmbSok_1")->setCurrentText(q(month));
        list("cmbSok_2")->setCurrentText(q(day));
    }
    void enter(const char* hours, const char* minutes, const char* seconds) {
        list("cmbTid_0")->setEditText(QString::fromUtf8(hours));
        list("cmbTid_1")->setEditText(QString::fromUtf8(minutes));
        list("cmbTid_2")->setEditText(QString::fromUtf8(seconds));
    }
    void click(const char* name) const { button(name)->click(); }

    // The range window; its controls are looked up inside it, as some share the main's names.
    QWidget* openRange() {
        click("cmdFran_till");
        return rangeWindow();
    }
    QWidget* rangeWindow() const { return find("frmFran_till"); }
    template <typename T = QWidget>
    T* inRange(const char* name) const {
        return rangeWindow() ? rangeWindow()->findChild<T*>(q(name)) : nullptr;
    }
    QComboBox* rangeList(const char* name) const { return inRange<QComboBox>(name); }
    std::string rangeText(const char* n) const { return inRange<QLabel>(n)->text().toStdString(); }
    void pick(const char* id, const char* text) const { rangeList(id)->setCurrentText(q(text)); }
    std::string rangeField(const char* prefix) const { // "yy mm dd"
        const auto part = [&](auto i) { return rangeList((prefix + std::string(i)).c_str()); };
        const QStringList parts{part("_0")->currentText(), part("_1")->currentText(),
                                part("_2")->currentText()};
        return parts.join(QLatin1Char(' ')).toStdString();
    }
    static void deleteClosedWindows() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TempDir dir;
    platform::PosixFileSystem files{dir.path()};
    platform::Services services = with(files);
    core::ProgramSettings settings;
    std::unique_ptr<app::frmSurfur> window;
    std::unique_ptr<QSignalSpy> ended;
};

} // namespace testing_support
