#pragma once

#include "core/program_settings.h"
#include "platform/services.h"
#include "storage/month_file.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <string>

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;

namespace forms {
class frmFran_till;
class frmHjalp;
class frmNetlink;
} // namespace forms

namespace app {

// The main window: the date lists and time fields, the day and month figures, and the buttons
// that book, undo, delete, print and open the other windows.
//
// Its handlers read the controls, call the core and storage layers and write the labels; the
// arithmetic and every file access live there, not here. It keeps only the window's own state
// between events; every figure is read afresh from the files.
class frmSurfur final : public QWidget {
    Q_OBJECT

public:
    frmSurfur(platform::Services services, core::ProgramSettings& settings,
              QWidget* parent = nullptr);
    ~frmSurfur() override;

    // Runs the load step, then shows this window, or on a first start the plan window instead.
    void start();

    // The activation step: focus on the minutes field, the shown date, and the date lists put
    // back to the date last chosen. Runs when this window is shown at start and whenever another
    // window of the program hands back to it.
    void Form_Activate();

signals:
    // The program is to end now.
    void programEnded();

protected:
    // Closing through the window frame acts as the close button, and can be cancelled.
    void closeEvent(QCloseEvent* event) override;
    // Sets the changing hints when the mouse or the keyboard focus comes to their buttons, and
    // keeps the program's undo and redo keys from the time fields' own typing undo.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Booking {
        NothingEntered, // the time fields held no time
        Booked,         // the time is booked
        DayFull,        // refused: the day would pass 24 hours; the typed time is of no use
        NotBooked,      // refused: no plan, or the month file could not be read or written
    };

    void buildControls();
    void connectHandlers();
    void Form_Load();

    // Procedures.
    void tooltip();
    // True when the chosen day was not in the new month and its last day was chosen instead.
    bool skott();
    void siffra();
    void ram();
    void visa();
    void manad(const storage::MonthRead& month);
    Booking summera();

    // Handlers.
    void cmbSok_Click(int index);
    void cmbTid_Change(int index);
    void cmdSpara_Click();
    void cmdStang_Click();
    void cmdAngra_Click();
    void cmdRedo_Click();
    void cmdKastapost_Click();
    void cmdAngrapost_Click();
    void cmdKastamon_Click();
    void cmdAngramon_Click();
    void cmdKasta_Click();
    void cmdPrint_Click();
    void cmdFran_till_Click();
    void cmdHjalp_Click();
    void cmdKastamon_MouseMove();
    void cmdKastapost_MouseMove();
    void cmdPrint_MouseMove();
    void cmdAngramon_MouseMove();
    void cmdAngrapost_MouseMove();

    // Tells the user that a month file is there but cannot be used, and why; the month shown is
    // told once, not at every refresh, unless always.
    void reportUnusable(const std::string& file, storage::MonthState state, bool always = false);
    void showDayHeadings();
    void swapNotPossible(const std::string& what, const std::string& title);
    void showEmptyMonth();
    void showFeeOnlyTotal();
    void showPlanWindow();
    void endProgram();
    platform::MessageBox::Answer message(const std::string& text, const std::string& title,
                                         platform::MessageBox::Buttons buttons,
                                         platform::MessageBox::Icon icon,
                                         bool secondIsDefault = false);
    std::string listText(int index) const;
    // The month file of the year and month chosen in the date lists.
    std::string chosenMonthFile() const;
    std::string timeText(int index) const;
    void setTimeText(int index, const std::string& text);

    platform::Services m_services;
    core::ProgramSettings& m_settings;
    QPointer<forms::frmNetlink> m_frmNetlink;
    QPointer<forms::frmFran_till> m_frmFran_till;
    QPointer<forms::frmHjalp> m_frmHjalp;
    bool m_ending = false;

    // Window state.
    std::string m_yearText;
    std::string m_monthText;
    std::string m_dayText;
    std::string m_monthCaption;
    std::string m_shownDay;
    std::string m_entryFile;
    std::string m_entryBackup;
    bool m_quietView = false;
    bool m_dayMissing = false;
    bool m_dateInvalid = false;
    bool m_nothingEntered = false;
    std::string m_deletedDayFile;
    std::string m_deletedDayText;
    int m_deletedDay = 0;
    std::string m_reportedFile; // the unusable month file last reported
    std::string m_deletedMonthFile;
    std::string m_deletedMonthText;
    std::string m_monthTimeText;
    std::string m_monthExtraText;
    std::string m_monthCostText;

    // Controls.
    QAbstractButton* m_cmdFran_till = nullptr;
    QAbstractButton* m_cmdPrint = nullptr;
    QAbstractButton* m_cmdHjalp = nullptr;
    QAbstractButton* m_cmdAngrapost = nullptr;
    QAbstractButton* m_cmdKastapost = nullptr;
    std::array<QComboBox*, 3> m_cmbTid{};
    std::array<QComboBox*, 3> m_cmbSok{};
    QGroupBox* m_ramMonadstid = nullptr;
    QAbstractButton* m_cmdAngramon = nullptr;
    QAbstractButton* m_cmdKastamon = nullptr;
    QLabel* m_lblSumma = nullptr;
    QLabel* m_lblDyrtid = nullptr;
    QLabel* m_lblKostnad = nullptr;
    QLabel* m_lblTid = nullptr;
    QAbstractButton* m_cmdKasta = nullptr;
    QAbstractButton* m_cmdRedo = nullptr;
    QAbstractButton* m_cmdAngra = nullptr;
    QAbstractButton* m_cmdStang = nullptr;
    QAbstractButton* m_cmdSpara = nullptr;
    std::array<QWidget*, 2> m_linStrack{};
    QLabel* m_lblTidkvar = nullptr;
    QLabel* m_lblDagstid = nullptr;
    std::array<QLabel*, 7> m_lblVisa{};
    QLabel* m_lblDagskost = nullptr;
};

} // namespace app
