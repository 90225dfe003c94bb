#include "platform/qt_services.h"

#include <QDesktopServices>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace platform {

QtPrinting::QtPrinting() : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

QtPrinting::~QtPrinting() = default;

std::optional<int> QtPrinting::ask() {
    QPrintDialog dialog(m_printer.get());
    dialog.setWindowTitle(QStringLiteral("Skriv ut"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const int copies = m_printer->copyCount();
    // Every copy is printed as a document of its own.
    m_printer->setCopyCount(1);
    return copies < 1 ? 1 : copies;
}

bool QtPrinting::print(const core::PrintDocument& items) {
    QPainter painter;
    int y = 0;
    const auto pageBottom = [this] {
        return m_printer->pageLayout().paintRectPixels(m_printer->resolution()).height();
    };
    QFont font = painter.font();
    for (const core::PrintItem& item : items) {
        switch (item.kind) {
        case core::PrintItem::Kind::Line: {
            if (!painter.isActive()) {
                if (!painter.begin(m_printer.get())) {
                    return false;
                }
                font = QFont(QStringLiteral("DejaVu Sans Mono"));
                y = 0;
            }
            font.setPointSize(item.pointSize);
            font.setBold(item.bold);
            painter.setFont(font);
            const QFontMetrics metrics(font, m_printer.get());
            if (y + metrics.height() > pageBottom()) {
                if (!m_printer->newPage()) {
                    return false;
                }
                y = 0;
            }
            painter.drawText(0, y + metrics.ascent(), QString::fromStdString(item.text));
            y += metrics.lineSpacing();
            break;
        }
        case core::PrintItem::Kind::NewPage:
            if (painter.isActive() && !m_printer->newPage()) {
                return false;
            }
            y = 0;
            break;
        case core::PrintItem::Kind::EndDocument:
            if (painter.isActive() && !painter.end()) {
                return false;
            }
            break;
        }
    }
    return !painter.isActive() || painter.end();
}

bool QtLinkOpener::open(const std::string& target) {
    const QString text = QString::fromStdString(target);
    QUrl url(text);
    if (url.scheme().isEmpty()) {
        url = QUrl::fromLocalFile(QString::fromStdString(m_dataFolder) + QLatin1Char('/') + text);
    }
    return QDesktopServices::openUrl(url);
}

} // namespace platform
