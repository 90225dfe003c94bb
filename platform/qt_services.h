#pragma once

#include "platform/link_opener.h"
#include "platform/printing.h"

#include <memory>
#include <string>

class QPrinter;

namespace platform {

// The system's print dialog and printer through Qt: the dialog chooses the printer (or a PDF
// file) and the number of copies; the printer draws documents with QPainter. The two share one
// QPrinter, so what the dialog chose is what prints.
class QtPrinting final : public PrintDialog, public Printer {
public:
    QtPrinting();
    ~QtPrinting() override;
    QtPrinting(const QtPrinting&) = delete;
    QtPrinting& operator=(const QtPrinting&) = delete;

    std::optional<int> ask() override;
    bool print(const core::PrintDocument& items) override;

    // The printer the documents go to; tests point it at a PDF file.
    QPrinter& printer() { return *m_printer; }

private:
    std::unique_ptr<QPrinter> m_printer;
};

// Opens links with the desktop's default handler. A target without a scheme names a file in the
// data folder.
class QtLinkOpener final : public LinkOpener {
public:
    explicit QtLinkOpener(std::string dataFolder) : m_dataFolder(std::move(dataFolder)) {}
    bool open(const std::string& target) override;

private:
    std::string m_dataFolder;
};

} // namespace platform
