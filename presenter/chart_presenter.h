#pragma once

// What the chart window decides: the month shown (first the one chosen in the main window, then
// stepped a month at a time within January 2001 to December 2099), its chart model read from its
// month file, the window's caption, the lines of its summary label, the warning box's state and
// storing it, and the save command (the name offered, the picture format, where it went, and the
// message when writing fails). Plain C++, no Qt: it draws nothing and makes no picture bytes;
// the window renders the model and hands the bytes back to be written. It writes no month file.

#include "core/date.h"
#include "core/month_chart.h"
#include "core/program_settings.h"
#include "platform/file_system.h"
#include "platform/services.h"
#include "presenter/saving.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace presenter {

// Everything the chart window shows, named after its controls.
struct ChartView {
    core::MonthChart picDiagram;         // the chart
    std::string caption;                 // the window's title: "Diagram – December 2026"
    std::vector<std::string> lblPrognos; // the summary label, one entry a line
    bool chkVarning = false;             // the warning box is ticked
    bool cmdForra = false;               // the month before can be shown
    bool cmdNasta = false;               // the month after can be shown
    std::string lblSparat;               // where the picture was saved: "Sparat som ~/bild.png"
    // The Swedish message when the month file is there but cannot be read or is damaged; the
    // chart then shows no time. Empty when the month was read (or has no file).
    std::string unreadable;

    bool operator==(const ChartView&) const = default;
};

// The view of the month of `month` (its day is not used) from its month file: `chosenDay` is
// the day marked in the chart (0 for none), `dailyAllowance` the plan's prepaid seconds a day (0
// without a plan), `warn` the state of the warning box.
//
// The summary lines are the month's actual totals: "Ansluten tid: …", "Extra tid: …" (the time
// beyond the allowance as the records hold it, "0 s" for none) and "Total månadskostnad: … kr"
// (the extra cost plus the plan's fee). When the file cannot be read the lines are the message
// alone. Months outside 2001..2099 have no file name; they read as empty months.
ChartView loadChart(platform::FileSystem& files, const core::Date& month, int chosenDay,
                    std::int32_t dailyAllowance, bool warn);

// The picture formats the chart is saved in, in the order the save dialog offers them.
enum class ImageFormat { Png, Svg };
inline constexpr std::array<FileType, 2> kImageTypes{
    {{"PNG-bild (*.png)", ".png"}, {"SVG-bild (*.svg)", ".svg"}}};

struct ImageTarget {
    std::string path;
    ImageFormat format = ImageFormat::Png;

    bool operator==(const ImageTarget&) const = default;
};

// The name the save dialog offers: "Diagram 2026-12.png".
std::string suggestedImageName(const core::MonthChart& chart);

class ChartPresenter {
public:
    // The months the window steps through.
    static constexpr core::Date kFirstMonth{2001, 1, 1};
    static constexpr core::Date kLastMonth{2099, 12, 1};

    ChartPresenter(platform::Services services, const core::ProgramSettings& settings);

    // The month of the date chosen in the main window, that day marked; the warning box shows
    // the notice setting (storage/notice_settings.h), and for the clock's current month the
    // projection lines (core/projection.h) follow the totals, after an empty line. Without a
    // real date chosen (nullopt) it says "Välj ett riktigt datum först, så visas den månaden."
    // in a message box and returns false: the window is not to open.
    bool open(const std::optional<core::Date>& chosen);
    // cmdForra (-1) and cmdNasta (+1): the month before or after, with the day chosen in the main
    // window marked in its own month only. A step out of January 2001 to December 2099 changes
    // nothing.
    const ChartView& step(int months);
    // The warning box was ticked or cleared: the notice setting is stored. When it cannot be,
    // the message box says why and the view shows the stored state again.
    const ChartView& toggleWarning(bool on);
    // The save command, in two steps around the window's rendering: askSave() asks the save-file
    // service for a path in a dialog titled "Spara bild", offering suggestedImageName and the
    // two picture types; it gives the target (presenter/saving.h: ".png" and ".svg" keep their
    // format, any other name gets the chosen type's ending), or nullopt when the user cancels.
    // saved() writes the picture's bytes there and the view says where ("Sparat som …"); a
    // failure is told through the message box. An empty byte string means the picture could not
    // be made; that is told too, and nothing is written.
    std::optional<ImageTarget> askSave();
    const ChartView& saved(const ImageTarget& target, const std::string& bytes);

    const ChartView& view() const { return m_view; }

private:
    void show(const core::Date& month);

    platform::Services m_services;
    const core::ProgramSettings& m_settings;
    core::Date m_chosen;
    core::Date m_month; // the first day of the month shown
    ChartView m_view;
};

} // namespace presenter
