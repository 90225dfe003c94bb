#include "drivers.h"
#include "presenter/main_presenter.h"
#include "presenter/plan_presenter.h"
#include "presenter/range_presenter.h"
#include "support/fakes/fake_services.h"

#include <string_view>

namespace model_test {

namespace {

std::pair<std::string, bool> labelOf(const presenter::Label& label) {
    return {label.text, label.colour == presenter::Colour::Red};
}

std::pair<bool, bool> buttonOf(const presenter::Button& button) {
    return {button.shown, button.enabled};
}

class PresenterDriver final : public Driver {
public:
    PresenterDriver() { m_messages = &m_outside.messages; }

    void start(const reference::Date& today) override {
        m_outside.clock.set(core::Date{today.year, today.month, today.day});
        m_main.reset();
        m_settings = std::make_unique<core::ProgramSettings>(); // a new process
        m_main = std::make_unique<presenter::MainPresenter>(m_services, *m_settings);
        m_planCancelled = false;
        if (!m_main->load().planWindow) {
            m_main->activate();
        }
    }

    void planOk(int plan) override {
        presenter::PlanPresenter window(m_files, m_outside.messages, *m_settings);
        window.load();
        window.choose(plan);
        if (window.ok().outcome == presenter::PlanOutcome::Stored) {
            m_main->planStored();
            m_main->activate();
        }
    }

    void planCancel() override {
        presenter::PlanPresenter window(m_files, m_outside.messages, *m_settings);
        window.load();
        m_planCancelled = window.cancel().outcome == presenter::PlanOutcome::Cancelled;
    }

    void chooseDate(int list, const std::string& text) override { m_main->chooseDate(list, text); }
    void typeTime(int field, const std::string& text) override { m_main->typeTime(field, text); }

    void click(const char* button) override {
        const std::string_view name = button;
        presenter::MainPresenter& main = *m_main;
        if (name == "cmdSpara") {
            main.save();
        } else if (name == "cmdStang") {
            main.close();
        } else if (name == "cmdAngra") {
            main.undo();
        } else if (name == "cmdRedo") {
            main.redo();
        } else if (name == "cmdKastapost") {
            main.deleteDay();
        } else if (name == "cmdAngrapost") {
            main.restoreDay();
        } else if (name == "cmdKastamon") {
            main.deleteMonth();
        } else if (name == "cmdAngramon") {
            main.restoreMonth();
        } else if (name == "cmdKasta") {
            main.deleteEverything();
        }
    }

    void rangeWindow() override {
        presenter::RangePresenter range(m_services, *m_settings);
        range.load();
        range.close();
        m_main->activate();
    }

    Shown shown() const override {
        const presenter::MainView& view = m_main->view();
        Shown shown;
        shown.title = view.title;
        shown.ramMonadstid = view.ramMonadstid;
        shown.lblVisa_3 = view.lblVisa_3;
        shown.cmbSok = {view.cmbSok_0, view.cmbSok_1, view.cmbSok_2};
        shown.daysInList = view.daysInList;
        shown.cmbTid = view.cmbTid;
        shown.labels = {labelOf(view.lblDagstid),  labelOf(view.lblTidkvar),
                        labelOf(view.lblDagskost), labelOf(view.lblTid),
                        labelOf(view.lblDyrtid),   labelOf(view.lblKostnad),
                        labelOf(view.lblSumma)};
        shown.buttons = {buttonOf(view.cmdAngra),     buttonOf(view.cmdRedo),
                         buttonOf(view.cmdKastapost), buttonOf(view.cmdAngrapost),
                         buttonOf(view.cmdKastamon),  buttonOf(view.cmdAngramon)};
        return shown;
    }

    bool ended() const override { return m_planCancelled || m_main->view().ended; }
    bool planWindowShown() const override { return m_main->view().planWindow; }
    bool mainWindowShown() const override { return !ended() && !planWindowShown(); }

private:
    platform::fakes::FakeOutside m_outside{core::Date{2001, 12, 5}};
    platform::Services m_services = m_outside.with(m_files);
    std::unique_ptr<core::ProgramSettings> m_settings;
    std::unique_ptr<presenter::MainPresenter> m_main;
    bool m_planCancelled = false;
};

} // namespace

std::unique_ptr<Driver> makePresenterDriver() {
    return std::make_unique<PresenterDriver>();
}

} // namespace model_test
