#pragma once

#include "core/program_settings.h"
#include "core/range.h"
#include "platform/services.h"

#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace presenter {

// The two dates of the range window.
enum class RangeField { Fran, Till };

// Everything the range window shows, named after its controls. A view is complete: the window
// renders it as it stands, whatever it showed before.
struct RangeView {
    std::string title; // the window's title

    // The date lists of each date, 0 year, 1 month, 2 day: the entry chosen in each ("" for
    // none). The year lists offer "01" to "99", the month lists "01" to "12".
    std::array<std::string, 3> cmbFran;
    std::array<std::string, 3> cmbTill;
    // How many days each day list offers ("01" up to that number).
    int franDays = 31;
    int tillDays = 31;

    std::string lblHit_Dit = "Hit o Dit"; // the range, or why it is refused
    std::string lblTid = "Tid:";
    std::string lblExtrtid = "Extra tid:";
    std::string lblKost = "Extra kostnad:";
    std::string lblTotalkost = "Total kostnad:";
    // What the range would have cost on each plan, 0 the 1-hour, 1 the 2-hour, 2 the 8-hour plan:
    // "2 h / dygn: 493,90 kr (uppskattat) (billigast)". Empty before a sum and after a refused
    // range.
    std::array<std::string, 3> lblPlan;
    // The caption above them, "Jämförelse, avgiften räknad per dag:"; empty exactly when they are.
    std::string lblJamforelse;
    std::string cmdStangHint;  // the close button's hint
    bool cmdExportera = false; // the export button is enabled: an accepted range is shown
    std::string lblSparat;     // where the last export was saved: "Sparat som ~/ut.csv"

    bool operator==(const RangeView&) const = default;
};

// The range window's decisions: the FRÅN and TILL dates chosen in its lists, the checks of each
// date and of the range (order, at most 365 days) with their messages, and the sums of an
// accepted range read through storage::sumRange. A choice in a list runs the checks at once, as
// a user's choice does; a choice the day list cannot keep (the 31st in a month of 30 days) gives
// way to the month's last day, which is checked in its turn. While the load step chooses the
// default range the checks show no message. A month file that cannot be read is reported once in
// the life of the presenter, however often the dates change; a window opened afresh makes a
// fresh presenter.
//
// It knows no widget: the window renders the views and forwards the user's choices. It writes no
// month file; summing removes the empty month files it meets. Exporting writes only the file the
// user chose, through the save-file service.
class RangePresenter {
public:
    // The entries of the year and month lists: "01" up to these numbers.
    static constexpr int kYearEntries = 99;
    static constexpr int kMonthEntries = 12;

    RangePresenter(platform::Services services, const core::ProgramSettings& settings);

    // The load step: the title, the default range (the three months up to today, from the clock)
    // chosen list by list, and that range's totals, with no date message.
    const RangeView& load();
    // A list's entry was chosen (list 0 year, 1 month, 2 day). An entry the list does not offer,
    // or the one already chosen, changes nothing.
    const RangeView& choose(RangeField field, int list, std::string_view text);
    // The export button: asks the save-file service for a path (in a dialog titled "Exportera",
    // suggesting "surfklocka_ÅÅÅÅ-MM-DD_ÅÅÅÅ-MM-DD.csv") and writes every booked day of the range
    // shown, as the command line's `exportera` prints it, in the type the path and the dialog's
    // chosen filter give (presenter/export.h: CSV, CSV for a spreadsheet program, or JSON; a name
    // without an ending gets the chosen type's). The view then says where the file went
    // (lblSparat) until the next choice. A cancel writes nothing; a failure is told through the
    // message box. Does nothing while no accepted range is shown.
    const RangeView& exportera();
    // The window closes: the sums are dropped, and later choices change nothing.
    const RangeView& close();

    const RangeView& view() const { return m_view; }

private:
    // One date of the window as its three lists hold it.
    struct DateField {
        std::array<std::string, 3> lists; // the year, month and day entries ("" for none)
        int days = 31;                    // the day list offers "01" up to this
        std::optional<core::Date> date;   // the real date they make, as last checked
        bool flagged = false;             // found invalid by its last check
    };
    // What the range label says.
    enum class Heading { Initial, Range, FranInvalid, TillInvalid, TooLong };
    // Whether the checks speak: the load step chooses the defaults without a word.
    enum class Tell { Nothing, Everything };
    // What the window holds between commands, fresh each time it loads; the view is derived from
    // it alone (viewOf).
    struct State {
        std::string title;
        std::array<DateField, 2> fields; // FRÅN, TILL
        Heading heading = Heading::Initial;
        // The sums of the range accepted last, and its plan comparison (none after a refused
        // range).
        core::RangeTexts sums{"Tid:", "Extra tid:", "Extra kostnad:", "Total kostnad:"};
        std::string saved; // where the last export went ("Sparat som …"), until the next choice
        std::optional<std::array<std::string, 3>> comparison;
        std::optional<core::DateRange> summed; // the accepted range shown, which export writes
        std::set<std::string> reportedFiles;   // month files already reported as unreadable
        bool loaded = false;
        bool closed = false;
    };

    static RangeView viewOf(const State& state);
    const RangeView& done();
    // Chooses an entry the list offers and runs the checks; an entry it does not offer, or the
    // one already chosen, changes nothing.
    void select(RangeField field, std::size_t list, std::string_view text, Tell tell);
    void rangeCheck(RangeField field, Tell tell);
    // Reads and checks one date; false when its day list chose another day, whose own check has
    // already run the whole range check.
    bool checkDate(RangeField field, Tell tell);
    // Makes the day list offer exactly the chosen month's days; true when the chosen day gave way
    // to the month's last day.
    bool skott(RangeField field, Tell tell);
    // Sums an accepted range (oppna) and shows its totals and plan comparison (visa_summa).
    void summa(const core::DateRange& range);
    void showDateError(RangeField field);
    void reportUnreadable(const std::vector<std::string>& names);
    DateField& fieldOf(RangeField field);

    platform::Services m_services;
    const core::ProgramSettings& m_settings;
    State m_state;
    RangeView m_view;
};

} // namespace presenter
