#pragma once

// What the chart window decides: the month's chart model read from its month file, the window's
// caption, the lines of its summary label, the state its warning box shows, and the save
// command's choices (the name offered, the picture format from the file's ending, and the
// message when writing fails). Plain C++, no Qt: it draws nothing and makes no picture bytes;
// the window renders the model and hands the bytes back to be written. It writes no month file.

#include "core/date.h"
#include "core/month_chart.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/save_file.h"

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
    // The Swedish message when the month file is there but cannot be read or is damaged; the
    // chart then shows no time. Empty when the month was read (or has no file).
    std::string unreadable;

    bool operator==(const ChartView&) const = default;
};

// The view of the month of `month` (its day is not used) from its month file: `chosenDay` is
// the day marked in the chart (0 for none), `dailyAllowance` the plan's prepaid seconds a day (0
// without a plan), `warn` the state of the warning box as the caller keeps it.
//
// The summary lines are the month's actual totals: "Ansluten tid: …", "Extra tid: …" (the time
// beyond the allowance as the records hold it, "0 s" for none) and "Total månadskostnad: … kr"
// (the extra cost plus the plan's fee). When the file cannot be read the lines are the message
// alone. Months outside 2001..2099 have no file name; they read as empty months.
ChartView loadChart(platform::FileSystem& files, const core::Date& month, int chosenDay,
                    std::int32_t dailyAllowance, bool warn);

// The chart as the main window opens it for the date chosen there: the warning box shows the
// notice setting (storage/notice_settings.h), and for the clock's current month the projection
// lines (core/projection.h) follow the totals, after an empty line.
ChartView openChart(platform::FileSystem& files, const platform::Clock& clock,
                    const core::Date& chosen, std::int32_t dailyAllowance);

// The warning box was ticked or cleared: the notice setting is stored. When it cannot be, the
// message box says why and the stored state (what the box is to show again) is returned.
bool storeWarning(platform::FileSystem& files, platform::MessageBox& messages, bool on);

// The picture formats the chart is saved in.
enum class ImageFormat { Png, Svg };

struct ImageTarget {
    std::string path;
    ImageFormat format = ImageFormat::Png;

    bool operator==(const ImageTarget&) const = default;
};

// The name the save dialog offers: "Diagram 2026-12.png".
std::string suggestedImageName(const core::MonthChart& chart);
// The save dialog's filters.
inline constexpr const char* kImageFilters = "PNG-bild (*.png);;SVG-bild (*.svg)";

// Where a chosen path is written and in which format: ".png" and ".svg", in any case, keep their
// format; a path with any other ending, or none, gets ".png" added and is a PNG picture.
ImageTarget imageTarget(std::string path);

// The save command, in two steps around the window's rendering: ask() asks the save-file service
// for a path, offering suggestedImageName and kImageFilters, and gives the target (nullopt when
// the user cancels or gives an empty path); write() writes the picture's bytes there and tells a
// failure through the message box. An empty byte string means the picture could not be made;
// that is told too, and nothing is written.
class ChartSaver {
public:
    ChartSaver(platform::SaveFile& saveFile, platform::MessageBox& messages)
        : m_saveFile(saveFile), m_messages(messages) {}

    std::optional<ImageTarget> ask(const ChartView& view);
    // True when the file was written.
    bool write(const ImageTarget& target, const std::string& bytes);

private:
    platform::SaveFile& m_saveFile;
    platform::MessageBox& m_messages;
};

} // namespace presenter
