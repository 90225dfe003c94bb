#include "app/frmSurfur.h"
#include "drivers.h"
#include "support/fakes/fake_services.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <stdexcept>

namespace model_test {

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// A child of `parent` by its object name; a missing one is a fault of the window, reported.
template <typename T>
T* child(const QObject* parent, const std::string& name) {
    T* found = parent == nullptr ? nullptr : parent->findChild<T*>(q(name));
    if (found == nullptr) {
        throw std::runtime_error("no " + name + " in the window");
    }
    return found;
}

class WindowDriver final : public Driver {
public:
    WindowDriver() { m_messages = &m_outside.messages; }

    ~WindowDriver() override {
        m_window.reset();
        deleteClosedWindows();
    }

    void start(const reference::Date& today) override {
        m_outside.clock.set(core::Date{today.year, today.month, today.day});
        m_window.reset();
        deleteClosedWindows();
        m_settings = std::make_unique<core::ProgramSettings>(); // a new process
        m_window = std::make_unique<app::frmSurfur>(m_services, *m_settings);
        m_ended = false;
        QObject::connect(m_window.get(), &app::frmSurfur::programEnded, m_window.get(),
                         [this] { m_ended = true; });
        m_window->start();
    }

    void planOk(int plan) override {
        QWidget* planWindow = child<QWidget>(m_window.get(), "frmNetlink");
        child<QRadioButton>(planWindow, "optNetlink_" + std::to_string(plan))->setChecked(true);
        child<QAbstractButton>(planWindow, "cmdOk")->click();
        deleteClosedWindows();
    }

    void planCancel() override {
        child<QAbstractButton>(child<QWidget>(m_window.get(), "frmNetlink"), "cmdAvbryt")->click();
        deleteClosedWindows();
    }

    void chooseDate(int list, const std::string& text) override {
        child<QComboBox>(m_window.get(), "cmbSok_" + std::to_string(list))->setCurrentText(q(text));
    }

    void typeTime(int field, const std::string& text) override {
        child<QComboBox>(m_window.get(), "cmbTid_" + std::to_string(field))->setEditText(q(text));
    }

    void click(const char* button) override {
        child<QAbstractButton>(m_window.get(), button)->click();
    }

    void rangeWindow() override {
        click("cmdFran_till");
        QWidget* range = child<QWidget>(m_window.get(), "frmFran_till");
        child<QAbstractButton>(range, "cmdStang")->click();
        deleteClosedWindows();
    }

    Shown shown() const override {
        const QWidget* window = m_window.get();
        Shown shown;
        shown.title = window->windowTitle().toStdString();
        shown.ramMonadstid = child<QGroupBox>(window, "ramMonadstid")->title().toStdString();
        shown.lblVisa_3 = child<QLabel>(window, "lblVisa_3")->text().toStdString();
        for (std::size_t i = 0; i < 3; ++i) {
            shown.cmbSok[i] = child<QComboBox>(window, "cmbSok_" + std::to_string(i))
                                  ->currentText()
                                  .toStdString();
            shown.cmbTid[i] = child<QComboBox>(window, "cmbTid_" + std::to_string(i))
                                  ->currentText()
                                  .toStdString();
        }
        shown.daysInList = child<QComboBox>(window, "cmbSok_2")->count();
        for (std::size_t i = 0; i < kLabelNames.size(); ++i) {
            const QLabel* label = child<QLabel>(window, kLabelNames[i]);
            const QColor colour = label->palette().color(QPalette::WindowText);
            shown.labels[i] = {label->text().toStdString(), colour == QColor(255, 0, 0)};
        }
        for (std::size_t i = 0; i < kButtonNames.size(); ++i) {
            const QAbstractButton* button = child<QAbstractButton>(window, kButtonNames[i]);
            shown.buttons[i] = {!button->isHidden(), button->isEnabled()};
        }
        return shown;
    }

    bool ended() const override { return m_ended; }

    bool planWindowShown() const override {
        const QWidget* planWindow = m_window->findChild<QWidget*>(QStringLiteral("frmNetlink"));
        return planWindow != nullptr && planWindow->isVisible() && !m_window->isVisible();
    }

    bool mainWindowShown() const override { return !m_ended && m_window->isVisible(); }

private:
    static void deleteClosedWindows() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    platform::fakes::FakeOutside m_outside{core::Date{2001, 12, 5}};
    platform::Services m_services = m_outside.with(m_files);
    std::unique_ptr<core::ProgramSettings> m_settings;
    std::unique_ptr<app::frmSurfur> m_window;
    bool m_ended = false;
};

} // namespace

std::unique_ptr<Driver> makeWindowDriver() {
    return std::make_unique<WindowDriver>();
}

} // namespace model_test
