#pragma once

#include "core/figures.h"
#include "core/program_settings.h"
#include "core/time_fields.h"
#include "platform/services.h"
#include "storage/journal.h"
#include "storage/month_file.h"
#include "storage/settings_file.h"

#include <functional>
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

    // The hints that name the chosen or the deleted day or month, and undo's hint, which says why
    // it is not offered after a booking that cannot be taken back.
    std::string angraHint;
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

    // The command line handed over the waiting entry `name` (storage/journal.h): every entry that
    // waits is booked as a save books them, and each one's answer is left in the folder for its
    // command. Ångra takes back the last of them, the figures shown are read again, and the chosen
    // date and the typed time stay as they are. What was not booked is told in a message box
    // unless its command still waits for the answer (commandWaits).
    const MainView& handOver(const std::string& name);
    // Tells which entries' commands still wait for their answers, so that the window does not
    // tell them too; none does unless this is given.
    void setCommandWaits(std::function<bool(const std::string& entryName)> waits) {
        m_commandWaits = std::move(waits);
    }

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
    Booking summera(storage::Journal& journal);
    void ram();
    // The date lists' handler: the day list follows the month, the day and month are shown.
    void dateChanged();
    void updateHints();
    enum class Tell { Everything, WhatNoCommandHears };
    void takeWaiting(storage::Journal& journal, Tell tell);
    void bookedAsSave(const storage::EntryResult& result);
    storage::SettingsFile::Loaded settingsFileState() const;
    void tellWaiting(const std::vector<storage::EntryResult>& results, Tell tell);

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
    std::string m_reportedFile;                   // the unusable month file last reported
    storage::SettingsFile::Loaded m_settingsFile; // how the settings file was found at start
    std::function<bool(const std::string&)> m_commandWaits;
};

} // namespace presenter
