#pragma once

#include "core/figures.h"
#include "core/program_settings.h"
#include "core/time_fields.h"
#include "platform/services.h"
#include "presenter/command_line.h"
#include "storage/month_file.h"
#include "storage/pending.h"

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenter {

// A label as the main window shows it: its caption and its colour (Normal or Red).
struct Label {
    std::string text;
    core::Colour colour = core::Colour::Normal;

    bool operator==(const Label&) const = default;
};

// A button's state: shown or hidden, and enabled or not while shown.
struct Button {
    bool shown = true;
    bool enabled = true;

    bool operator==(const Button&) const = default;
};

// Where the keyboard focus is to go after a command.
enum class Focus {
    Unchanged,
    Minutes, // cmbTid(1)
    Seconds, // cmbTid(2)
};

// Everything the main window shows, named after its controls. A view is complete: the window
// renders it as it stands, whatever it showed before.
struct MainView {
    std::string title;        // the window's title
    std::string ramMonadstid; // the month frame's caption
    std::string lblVisa_3;    // the chosen date, or "Felaktigt datum"

    // The date lists: the entry chosen in each ("" for none) and how many days the day list
    // offers ("01" up to that number).
    std::string cmbSok_0;
    std::string cmbSok_1;
    std::string cmbSok_2;
    int daysInList = 31;
    // The time fields' texts: hours, minutes, seconds.
    core::TimeTexts cmbTid;

    Label lblDagstid;
    Label lblTidkvar;
    Label lblDagskost;
    Label lblTid;
    Label lblDyrtid;
    Label lblKostnad;
    Label lblSumma;

    Button cmdAngra;
    Button cmdRedo;
    Button cmdKastapost;
    Button cmdAngrapost;
    Button cmdKastamon;
    Button cmdAngramon;

    // The hints that name the chosen or the deleted day or month.
    std::string kastamonHint;
    std::string kastapostHint;
    std::string printHint;
    std::string angramonHint;
    std::string angrapostHint;

    Focus focus = Focus::Unchanged;
    bool planWindow = false; // a first start: the plan window is shown, this window hidden
    bool ended = false;      // the program is to end now

    bool operator==(const MainView&) const = default;
};

// The main window's decisions: the chosen date, the typed time, the figures of the chosen day and
// month read from the files, and the undo, redo and deletion state. Each command does what the
// user asked for, asks and tells through the message box, and returns the whole view.
//
// It knows no widget and no toolkit: the window renders the views and forwards the user's input.
// Every figure is read afresh from the files; which copies exist is decided by the files too,
// and the buttons that need a copy are offered only while the presenter's own steps left it.
class MainPresenter {
public:
    MainPresenter(platform::Services services, core::ProgramSettings& settings);

    // The load step: today's date in the lists, the settings read, today's figures. On a first
    // start the view asks for the plan window.
    const MainView& load();
    // The plan window stored a plan: the title shows it.
    const MainView& planStored();
    // Another window of the program hands back: focus on the minutes, the date last chosen.
    const MainView& activate();

    // A date list's entry was chosen (0 year, 1 month, 2 day).
    const MainView& chooseDate(int list, std::string_view text);
    // A time field was typed into or picked from its list (0 hours, 1 minutes, 2 seconds).
    const MainView& typeTime(int field, std::string_view text);

    const MainView& save();             // cmdSpara
    const MainView& close();            // cmdStang, and a close through the window frame
    const MainView& undo();             // cmdAngra
    const MainView& redo();             // cmdRedo
    const MainView& deleteDay();        // cmdKastapost
    const MainView& restoreDay();       // cmdAngrapost
    const MainView& deleteMonth();      // cmdKastamon
    const MainView& restoreMonth();     // cmdAngramon
    const MainView& deleteEverything(); // cmdKasta
    const MainView& print();            // cmdPrint

    // Books the bookings waiting in the data folder (from the command line, storage/pending.h)
    // as a save books them: Ångra takes back the last of them and the figures shown are read
    // again, while the chosen date and the typed time stay as they are. With `tell`, a message
    // says what became of them. Runs at start once the plan is known, before each save, and
    // when the command line hands a booking over. Nothing happens when none wait.
    const MainView& bookWaiting(bool tell);
    // What the last bookWaiting did with each entry it looked at.
    const std::vector<storage::PendingResult>& waitingResults() const { return m_waitingResults; }
    // The command line handed over the waiting entry `name`: every waiting entry is booked as
    // bookWaiting(false) books them, and handOverAnswer() holds what the command line is to
    // print for that entry (also when an earlier save or start booked it already).
    const MainView& handOver(const std::string& name);
    const CommandOutput& handOverAnswer() const { return m_handOverAnswer; }

    const MainView& view() const { return m_view; }
    // The date the date lists show, when it is a real date of the lists' years.
    std::optional<core::Date> chosenDate() const;

private:
    enum class Booking {
        NothingEntered, // the time fields held no time
        Booked,         // the time is booked
        DayFull,        // refused: the day would pass 24 hours; the typed time is of no use
        NotBooked,      // refused: no plan, or the month file could not be read or written
    };

    // Procedures.
    void visa();
    void manad(const storage::MonthRead& month);
    Booking summera();
    void ram();
    // The date lists' handler: the day list follows the month, the day and month are shown.
    void dateChanged();
    void updateHints();
    void takeWaiting(bool tell);

    void showDayHeadings();
    void showEmptyMonth();
    void showFeeOnlyTotal();
    void reportUnusable(const std::string& file, storage::MonthState state, bool always = false);
    void swapNotPossible(const std::string& what, const std::string& title);
    void endProgram(bool sweep);
    platform::MessageBox::Answer message(const std::string& text, const std::string& title,
                                         platform::MessageBox::Buttons buttons,
                                         platform::MessageBox::Icon icon,
                                         bool secondIsDefault = false);
    std::string chosenMonthFile() const;
    const MainView& done(Focus focus = Focus::Unchanged);

    platform::Services m_services;
    core::ProgramSettings& m_settings;
    MainView m_view;

    // The window's state between commands.
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
    std::string m_deletedDayFile;
    std::string m_deletedDayText;
    int m_deletedDay = 0;
    std::string m_deletedMonthFile;
    std::string m_deletedMonthText;
    std::string m_monthTimeText;
    std::string m_monthExtraText;
    std::string m_monthCostText;
    std::string m_reportedFile; // the unusable month file last reported
    std::vector<storage::PendingResult> m_waitingResults;
    std::deque<storage::PendingResult> m_waitingHistory; // the last entries booked or refused
    CommandOutput m_handOverAnswer;
};

} // namespace presenter
