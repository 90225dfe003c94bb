#pragma once

#include "app/hand_off.h"
#include "core/program_settings.h"
#include "platform/services.h"
#include "presenter/main_presenter.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace Ui {
class frmSurfur;
} // namespace Ui

namespace forms {
class frmDiagram;
class frmFran_till;
class frmHjalp;
class frmNetlink;
} // namespace forms

namespace app {

// The main window: the date lists and time fields, the day and month figures, and the buttons
// that book, undo, delete, print and open the other windows. Its layout comes from frmSurfur.ui,
// and every command is a QAction that its picture button shows.
//
// It only shows: it forwards what the user does to its presenter and renders the view that comes
// back. It reads no file and works nothing out; opening the other windows is all it does itself.
class frmSurfur final : public QWidget {
    Q_OBJECT

public:
    frmSurfur(platform::Services services, core::ProgramSettings& settings,
              QWidget* parent = nullptr);
    ~frmSurfur() override;

    // Runs the load step, then shows this window, or on a first start the plan window instead.
    void start();

    // The activation step: focus on the minutes field and the date lists back to the date last
    // chosen. Runs when this window is shown at start and whenever another window of the program
    // hands back to it.
    void Form_Activate();

    // A booking handed over from the command line (app/hand_off.h): books every entry waiting in
    // the journal as a save would, each one's answer left in the data folder. False, booking
    // nothing, while a command of this window is still running (a message box or a dialog is
    // open), so that the request waits for idle().
    bool handOver(const std::string& entryName);
    // Which entries' commands still wait for their answers (presenter::MainPresenter).
    void setCommandWaits(std::function<bool(const std::string& entryName)> waits);

Q_SIGNALS:
    // The program is to end now.
    void programEnded();
    // A command of this window has ended; requests that waited for it can be answered now.
    void idle();

protected:
    // Closing through the window frame acts as the close button, and can be cancelled.
    void closeEvent(QCloseEvent* event) override;
    // Keeps the program's undo and redo keys from the time fields' own typing undo.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectHandlers();
    // Runs a presenter command and renders its view. While it runs (a message box of its own may
    // run a nested event loop) the window counts as busy.
    template <typename Command>
    void run(Command&& command);
    void render(const presenter::MainView& view);
    void showPlanWindow();
    void cmdFran_till_Click();
    void cmdHjalp_Click();
    void cmdDiagram_Click();
    void cmdAbonnemang_Click();
    void endProgram();

    platform::Services m_services;
    core::ProgramSettings& m_settings;
    presenter::MainPresenter m_presenter;
    std::unique_ptr<Ui::frmSurfur> m_ui;
    QPointer<forms::frmNetlink> m_frmNetlink;
    QPointer<forms::frmFran_till> m_frmFran_till;
    QPointer<forms::frmHjalp> m_frmHjalp;
    QPointer<forms::frmDiagram> m_frmDiagram;
    bool m_ending = false;
    int m_busy = 0;
};

} // namespace app
