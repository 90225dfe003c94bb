#include "presenter/report.h"

#include "core/figures.h"
#include "core/texts.h"

namespace presenter {

namespace {

const std::string kDayIndent(20, ' ');
const std::string kHeadingIndent(17, ' ');
const std::string kClosingIndent(18, ' ');

// Writes a document the way a printer is driven: the font size and weight are set, and every line
// is printed in the font in use at that moment.
class ReportWriter {
public:
    void fontSize(int points) { m_size = points; }
    void bold(bool on) { m_bold = on; }
    void line(std::string text = {}) {
        m_document.push_back({platform::PrintItem::Kind::Line, std::move(text), m_size, m_bold});
    }
    void emptyLines(int count) {
        for (int i = 0; i < count; ++i) {
            line();
        }
    }
    void newPage() {
        m_document.push_back({platform::PrintItem::Kind::NewPage, {}, kReportDaySize, false});
    }
    // Ends the document; the next one starts again in the printer's starting font.
    void endDocument() {
        m_document.push_back({platform::PrintItem::Kind::EndDocument, {}, kReportDaySize, false});
        m_size = kReportDaySize;
        m_bold = false;
    }
    platform::PrintDocument take() { return std::move(m_document); }

private:
    platform::PrintDocument m_document;
    int m_size = kReportDaySize;
    bool m_bold = false;
};

} // namespace

platform::PrintDocument monthReport(const MonthReportInput& input) {
    const core::MonthSums sums = core::sumMonth(input.records);
    const core::MonthFigures month = core::monthFigures(sums, input.dailyAllowance);

    ReportWriter out;
    for (int copy = 1; copy <= input.copies; ++copy) {
        bool headingPrinted = false;
        for (std::size_t index = 0; index < input.records.size(); ++index) {
            const core::DayRecord& day = input.records[index];
            const std::size_t recordNumber = index + 1;
            if (day.connectedSeconds == 0) {
                continue;
            }
            if (!headingPrinted) {
                out.fontSize(kReportHeadingSize);
                out.bold(true);
                out.emptyLines(2);
                out.line(kHeadingIndent + "Kostnader för NetLink abbonemang " + input.monthCaption);
                out.emptyLines(2);
                headingPrinted = true;
            }
            const core::DayFigures figures = core::dayFigures(day, input.dailyAllowance);
            out.fontSize(kReportDaySize);
            out.bold(true);
            out.line(kDayIndent + "Datum: " + core::decimalText(day.dayNumber));
            out.bold(false);
            out.line(kDayIndent + figures.connected.text);
            out.line(kDayIndent + figures.remaining.text);
            out.line(kDayIndent + figures.cost.text);
            if (recordNumber == 11 || recordNumber == 23) {
                out.newPage();
                out.emptyLines(2);
            }
            out.line();
        }

        out.emptyLines(3);
        out.fontSize(kReportHeadingSize);
        out.bold(true);
        out.line(kClosingIndent + "För hela " + input.monthCaption + " blir kostnaden:");
        out.line();
        out.line(kClosingIndent + month.monthTimeText);
        out.line(kClosingIndent + month.monthExtraText);
        out.line(kClosingIndent + month.monthCostText);
        out.line(kClosingIndent + month.total.text);
        out.endDocument();
    }
    return out.take();
}

} // namespace presenter
