#pragma once

#include "core/date.h"
#include "core/plan_schedule.h"
#include "core/program_settings.h"
#include "platform/services.h"
#include "presenter/main_view.h"
#include "storage/journal.h"
#include "storage/month_file.h"
#include "storage/settings_file.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenter {

// The main window's decisions: the chosen date, the typed time, the figures of the chosen day and
// month read from the files, and the undo, redo and deletion state. Each command does what the
// user asked for, asks and tells through the message box (each message is the decision of the
// command that causes it), and returns the whole view, derived from the state in one place.
//
// It knows no widget and no toolkit: the window renders the views and forwards the user's input.
// A command that shows figures reads the chosen month once, and every figure shown comes from
// that read; which copies exist is decided by the files, and the buttons that need a copy are
// offered only while the presenter's own steps left it.
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
    // cmdAbonnemang: the plan window chose a plan and the month it holds from (the first of this
    // month or of next). The history of plans gets the change; earlier months keep their plan and
    // no month file is rewritten. Ångra takes the change back until the next booking.
    const MainView& changePlan(std::int32_t dailyAllowance, const core::Date& from);
    // The plan in force in a month: the one on its first day.
    std::int32_t allowanceFor(const core::Date& month) const {
        return m_plans.allowanceFor(month.year, month.month);
    }

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
    std::optional<core::Date> chosenDate() const { return m_state.chosen.date; }

private:
    // The date the lists hold.
    struct ChosenDate {
        std::array<std::string, 3> lists; // the year, month and day entries ("" for none)
        int days = 31;                    // the day list offers "01" up to this
        std::optional<core::Date> date;   // the real date they make; nullopt: "Felaktigt datum"
    };
    // What is typed into the time fields: their texts and the seconds they come to.
    struct TypedTime {
        core::TimeTexts fields;
        std::int32_t seconds = 0;
    };
    // One read of the month of the day shown, and the plan it was shown under: every figure on
    // the screen comes from it.
    struct Snapshot {
        core::Date day;
        storage::MonthRead month;
        std::int32_t dailyAllowance = 0;
        bool emptiedByUndo = false; // the month's only booking was taken back: headings alone
    };
    // The window's state between commands; the view is derived from it alone (viewOf).
    struct State {
        std::string title;
        ChosenDate chosen;
        TypedTime typed;
        std::optional<Snapshot> shown;
        // The last booking's month file and undo copy, and what undo and redo offer.
        std::string entryFile;
        std::string entryBackup;
        bool undo = false;
        bool redo = false;
        bool acrossMonths = false; // the last booking spanned two months: undo says why not
        // The last step was a change of plan (its plan and first month): undo takes it back.
        std::optional<core::PlanChange> planUndo;
        // The day and the month deleted last, named by the restore hints, and the restores offered.
        std::optional<core::Date> deletedDay;
        std::optional<core::Date> deletedMonth;
        bool dayRestore = false;
        bool monthRestore = false;
        bool monthRestoreEnabled = true;
        bool planWindow = false;
        bool ended = false;
    };

    enum class Booking {
        NothingEntered, // the time fields held no time
        Booked,         // the time is booked
        DayFull,        // refused: the day would pass 24 hours; the typed time is of no use
        NotBooked,      // refused: no plan, or the month file could not be read or written
    };
    enum class Tell { Everything, WhatNoCommandHears };

    // The whole view, from the state alone; visa and manad work out the day's and the month's
    // labels from the figures' snapshot.
    static MainView viewOf(const State& state);
    static void visa(const Snapshot& shown, MainView& view);
    static void manad(const Snapshot& shown, MainView& view);
    // Reads the month of the chosen date, when it is a real date, as the figures shown; a month
    // that cannot be used is told, once while it stays so.
    void refresh();
    void checkChosenDate();
    Booking summera(storage::Journal& journal, const core::Date& date);
    void bookedAsSave(const storage::EntryResult& result);
    void takeWaiting(storage::Journal& journal, Tell tell);
    void tellWaiting(const std::vector<storage::EntryResult>& results, Tell tell);
    storage::SettingsFile::Loaded settingsFileState() const;
    void loadPlans(bool atStart);
    void reloadPlans();
    const MainView& undoPlanChange();
    // Whether the lists hold a real date to act on; the user is told when they do not.
    bool hasRealDate();
    // The chosen month's state when it can be used; otherwise the user is told, and nullopt.
    std::optional<storage::MonthState> usableMonth(const std::string& file);
    void reportUnusable(const std::string& file, storage::MonthState state);
    void swapNotPossible(const std::string& what, std::string_view title);
    bool confirmed(const std::string& question, std::string_view title,
                   platform::MessageBox::Icon icon);
    void endProgram(bool sweep);
    platform::MessageBox::Answer message(const std::string& text, std::string_view title,
                                         platform::MessageBox::Buttons buttons,
                                         platform::MessageBox::Icon icon,
                                         bool secondIsDefault = false);
    const MainView& done(Focus focus = Focus::Unchanged);

    platform::Services m_services;
    core::ProgramSettings& m_settings;
    State m_state;
    MainView m_view;
    std::string m_reportedFile;                   // the unusable month file told last
    storage::SettingsFile::Loaded m_settingsFile; // how the settings file was found at start
    std::function<bool(const std::string&)> m_commandWaits;
    core::PlanSchedule m_plans; // which plan holds in which month
};

} // namespace presenter
