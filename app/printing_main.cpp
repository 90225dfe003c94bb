// Printing and the chart's SVG pictures, the parts of the windows that need Qt Print Support and
// Qt SVG: a module of their own, which the windows load when they first print or save an SVG
// picture (app/modules.h), so that the windows start without either library.

#include "forms/month_chart_painter.h"
#include "platform/qt_printing.h"

#include <QByteArray>
#include <memory>

namespace {

std::unique_ptr<platform::QtPrinting> printing;

platform::QtPrinting& sharedPrinting() {
    if (printing == nullptr) {
        printing = std::make_unique<platform::QtPrinting>();
    }
    return *printing;
}

} // namespace

// The print dialog and the printer: one QtPrinting, so that the documents go where the dialog
// chose. Made at the first call; let go by surfklocka_printing_end, while the application object
// still exists.
extern "C" __attribute__((visibility("default"))) platform::PrintDialog* surfklocka_print_dialog() {
    return &sharedPrinting();
}

extern "C" __attribute__((visibility("default"))) platform::Printer* surfklocka_printer() {
    return &sharedPrinting();
}

extern "C" __attribute__((visibility("default"))) void surfklocka_printing_end() {
    printing.reset();
}

// forms::monthChartSvg, made here.
extern "C" __attribute__((visibility("default"))) void
surfklocka_chart_svg(const core::MonthChart& chart, const QSize& size, const QPalette& palette,
                     const QFont& font, QByteArray& bytes) {
    bytes = forms::monthChartSvg(chart, size, palette, font);
}
