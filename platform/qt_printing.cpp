#include "platform/qt_printing.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace platform {

namespace {

// Draws print items on a QPrinter, keeping track of where the next line goes.
class PageWriter {
public:
    // With oneFile, document ends start a new page instead of a new print job.
    PageWriter(QPrinter& printer, bool oneFile) : m_printer(printer), m_oneFile(oneFile) {}

    bool line(const PrintItem& item) {
        if (!m_painter.isActive()) {
            if (!m_painter.begin(&m_printer)) {
                return false;
            }
            m_y = 0.0;
            m_breakPending = false;
        }
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setStyleHint(QFont::TypeWriter);
        font.setPointSize(item.pointSize > 0 ? item.pointSize : 10);
        font.setBold(item.bold);
        const QFontMetricsF metrics(font, &m_printer);

        const bool full = m_y > 0.0 && m_y + metrics.height() > m_printer.height();
        if (m_breakPending || full) {
            if (!m_printer.newPage()) {
                return false;
            }
            m_y = 0.0;
            m_breakPending = false;
        }
        if (!item.text.empty()) {
            m_painter.setFont(font);
            m_painter.drawText(QPointF(0.0, m_y + metrics.ascent()),
                               QString::fromStdString(item.text));
        }
        m_y += metrics.lineSpacing();
        return true;
    }

    // The next line starts a new page. Nothing is drawn until that line comes, so a document
    // never ends with an empty page.
    void newPage() {
        if (m_painter.isActive()) {
            m_breakPending = true;
        }
    }

    bool endDocument() {
        if (!m_painter.isActive()) {
            return true;
        }
        if (m_oneFile) {
            m_breakPending = true;
            return true;
        }
        return m_painter.end();
    }

    // Ends whatever document is still open.
    bool finish() { return !m_painter.isActive() || m_painter.end(); }

    // After a failure: the painter is ended and the job given up.
    void abandon() {
        if (m_painter.isActive()) {
            m_printer.abort();
            m_painter.end();
        }
    }

private:
    QPrinter& m_printer;
    bool m_oneFile;
    QPainter m_painter;
    qreal m_y = 0.0;
    bool m_breakPending = false;
};

} // namespace

QtPrinting::QtPrinting() = default;

QtPrinting::~QtPrinting() = default;

QPrinter& QtPrinting::printer() {
    if (m_printer == nullptr) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setDocName(QStringLiteral("Surfklocka"));
    }
    return *m_printer;
}

std::optional<int> QtPrinting::ask() {
    QPrinter& chosen = printer();
    chosen.setCopyCount(1);
    QPrintDialog dialog(&chosen);
    dialog.setWindowTitle(QStringLiteral("Skriv ut"));
    // The report always prints whole: no page range, no selection; copies are separate
    // documents, so there is nothing to collate.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const int copies = chosen.copyCount();
    chosen.setCopyCount(1);
    return copies < 1 ? 1 : copies;
}

bool QtPrinting::print(const PrintDocument& items) {
    QPrinter& target = printer();
    const bool toFile =
        target.outputFormat() == QPrinter::PdfFormat || !target.outputFileName().isEmpty();
    PageWriter writer(target, toFile);
    for (const PrintItem& item : items) {
        bool done = true;
        switch (item.kind) {
        case PrintItem::Kind::Line:
            done = writer.line(item);
            break;
        case PrintItem::Kind::NewPage:
            writer.newPage();
            break;
        case PrintItem::Kind::EndDocument:
            done = writer.endDocument();
            break;
        }
        if (!done) {
            writer.abandon();
            return false;
        }
    }
    return writer.finish();
}

} // namespace platform
