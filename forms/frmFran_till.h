#pragma once

#include "core/program_settings.h"
#include "platform/services.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QFrame;
class QLabel;

namespace forms {

// The range window: the user picks a FRÅN date and a TILL date in three date lists each, and the
// window shows the connected time, the extra time, the extra cost and the total cost of the days
// from FRÅN to TILL, adding the plan's monthly fee once for every month boundary. A range is
// summed only when FRÅN is not later than TILL and the two lie at most 365 days apart; otherwise a
// message says why and the result labels keep what they showed.
//
// Its handlers read the lists, call the core (dates, range check, texts) and storage::sumRange
// (the month files) and write the labels. It writes no month file; the only change it makes on
// disk is the removal of empty month files met while summing. A month file that cannot be read is
// reported once for each opening of the window, however often the dates change. It does not show
// the main window itself: closing emits closed(), and the main window shows itself again. Every
// way of closing it (its close button, Ctrl+Q and Escape, the window frame, close()) does what the
// close button does.
class frmFran_till final : public QWidget {
    Q_OBJECT

public:
    // Builds the window and runs its load step: the lists, the default range (the three months up
    // to today) and that range's totals, with no message.
    frmFran_till(platform::Services services, core::ProgramSettings& settings,
                 QWidget* parent = nullptr);

    // The close button: closes the window, which resets the totals, sets laddar and emits
    // closed().
    void cmdStang_Click();

signals:
    // The window has closed: the main window is to be shown again and activated.
    void closed();

protected:
    // Every close ends here, whichever way it came: the window goes, as with the close button.
    void closeEvent(QCloseEvent* event) override;
    // Runs the activation step when the window is opened. Later activations (after a message
    // box, or coming back from another program) leave the focus where the user had it.
    void showEvent(QShowEvent* event) override;

private:
    enum class Field { Fran, Till };

    void buildControls();
    void connectHandlers();
    void Form_Load();
    void Form_Activate();

    // Procedures. Fran and till return false when the day list had to choose another day: that
    // selection has already run the whole check of the new date, and the calling handler stops.
    bool Fran();
    bool till();
    bool checkField(Field field);
    void oppna();
    // Make a day list hold exactly the chosen month's days. True when the chosen day did not
    // exist in the month and its last day was chosen instead, which ran the list's handler.
    bool skott_fran();
    bool skott_till();
    void visa_summa();

    // Handlers.
    void cmbFran_Click(int index);
    void cmbTill_Click(int index);
    void rangeCheck(Field field);

    void resetSums();
    void showFieldError(Field field);
    // One message for the month files of the last sum that could not be read and have not been
    // reported yet in this opening of the window.
    void reportUnreadable(const std::vector<std::string>& names);
    std::string listText(Field field, int index) const;

    platform::Services m_services;
    core::ProgramSettings& m_settings;
    bool m_opened = false; // the activation step has run
    bool m_closed = false;
    // Month files already reported as unreadable while the window is open.
    std::set<std::string> m_reportedFiles;

    // Window state, fresh each time the window is opened.
    std::string m_franText;
    std::string m_tillText;
    std::string m_hitDit;
    bool m_franFel = false;
    bool m_tillFel = false;
    std::string m_franDatum;
    std::string m_tillDatum;
    float m_summaKostnad = 0.0f;      // öre
    std::int64_t m_summaTid = 0;      // seconds
    std::int64_t m_summaExtratid = 0; // seconds
    int m_manader = 0;                // month boundaries of the range summed last
    int m_avgift = 0;                 // the plan's monthly fee in kronor

    // Controls.
    std::array<QComboBox*, 3> m_cmbFran{};
    std::array<QComboBox*, 3> m_cmbTill{};
    std::array<QLabel*, 6> m_lblVisa{};
    std::array<QFrame*, 5> m_Line1{};
    QLabel* m_lblHit_Dit = nullptr;
    QLabel* m_lblTid = nullptr;
    QLabel* m_lblExtrtid = nullptr;
    QLabel* m_lblKost = nullptr;
    QLabel* m_lblTotalkost = nullptr;
    QAbstractButton* m_cmdStang = nullptr;
};

} // namespace forms
