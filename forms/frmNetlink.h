#pragma once

#include "core/program_settings.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "presenter/plan_presenter.h"

#include <QDialog>
#include <array>
#include <memory>

class QRadioButton;

namespace Ui {
class frmNetlink;
} // namespace Ui

namespace forms {

// The plan window of the very first start: asks which NetLink plan the user has. Its layout comes
// from frmNetlink.ui: the welcome text, the three plans, and OK and Avbryt in a button box. The
// same window asks for a change of plan, with a choice of the month it holds from (askForChange).
//
// It only shows: presenter::PlanPresenter stores the plan (OK) or deletes the settings file
// (Avbryt). It does not show the main window or end the program; the main window does that
// through the signals. As a dialog, Enter presses the default button OK (or the button that has
// the focus) and Escape is Avbryt; closing it any other way (the window frame, close()) is Avbryt
// too. It is shown without being modal.
class frmNetlink final : public QDialog {
    Q_OBJECT

public:
    frmNetlink(platform::FileSystem& files, platform::MessageBox& messages,
               core::ProgramSettings& settings, QWidget* parent = nullptr);
    ~frmNetlink() override;

    // OK: stores the plan, emits planStored(), then closes the window, which emits accepted().
    void accept() override;
    // Avbryt: deletes the settings file, closes the window, then emits cancelled().
    void reject() override;

    // Makes the window ask for a change of plan instead ("Byt abonnemang…"): the plan in force
    // now chosen, and from the first of this month or of next. OK then changes nothing itself:
    // it emits planChosen() with the choice (choice()) and closes; Avbryt only closes. Call it
    // before the window is shown.
    void askForChange(const core::Date& today, std::int32_t current);
    const presenter::PlanPresenter::Choice& choice() const { return m_presenter.choice(); }

Q_SIGNALS:
    // The plan is stored in the settings: the main window's title is to show it.
    void planStored();
    // Avbryt: the settings file is gone and the program is to end. (OK is QDialog::accepted().)
    void cancelled();
    // A change of plan was chosen with OK.
    void planChosen();

private:
    void render(const presenter::PlanView& view);

    std::unique_ptr<Ui::frmNetlink> m_ui;
    presenter::PlanPresenter m_presenter;
    std::array<QRadioButton*, 3> m_optNetlink{};
    std::array<QRadioButton*, 2> m_optFran{};
};

} // namespace forms
