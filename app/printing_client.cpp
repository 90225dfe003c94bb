// The chart's SVG picture in the program's windows: made by the printing module, which is loaded
// at the first SVG picture (app/modules.h), so that the windows start without Qt SVG. Empty, as
// when the picture could not be made, where the module cannot be loaded.

#include "app/modules.h"
#include "forms/month_chart_painter.h"

#include <QByteArray>
#include <string>

namespace forms {

QByteArray monthChartSvg(const core::MonthChart& chart, const QSize& size, const QPalette& palette,
                         const QFont& font) {
    static void* module = nullptr;
    if (module == nullptr) {
        std::string error;
        module = app::openModule(app::kPrintingModule, error);
    }
    using Make =
        void(const core::MonthChart&, const QSize&, const QPalette&, const QFont&, QByteArray&);
    auto* make = reinterpret_cast<Make*>(app::moduleFunction(module, "surfklocka_chart_svg"));
    QByteArray bytes;
    if (make != nullptr) {
        make(chart, size, palette, font, bytes);
    }
    return bytes;
}

} // namespace forms
