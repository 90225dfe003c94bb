#pragma once

#include "platform/printing.h"

#include <memory>

class QPrinter;

namespace platform {

// The system's print dialog and printer through Qt. The two share one QPrinter, so what the
// dialog chose (a printer or a PDF file) is where the documents go.
//
// The dialog is Qt's QPrintDialog; it gives the number of copies chosen and leaves the printer
// at one copy, because the program prints every copy as a document of its own.
//
// Printing draws each line with QPainter in a fixed-width font at the line's point size and
// weight, one line under the other from the top of the printable area. A NewPage item starts a
// new page before the next line; a line that does not fit on the page goes to the next one. On a
// printer every EndDocument ends a print job of its own. A PDF file would be overwritten by each
// new document, so when the output is a PDF file all documents of one call go into that one file,
// each starting on a new page.
//
// The QPrinter is made when it is first needed (the dialog, printing, or printer()), not with
// this object: making one loads the system's printing support, a seventh of the program's
// start-up work, which a run that prints nothing does not need.
//
// It does not decide what a document says, and it shows no messages: a failure is only reported
// back.
class QtPrinting final : public PrintDialog, public Printer {
public:
    QtPrinting();
    ~QtPrinting() override;
    QtPrinting(const QtPrinting&) = delete;
    QtPrinting& operator=(const QtPrinting&) = delete;

    std::optional<int> ask() override;
    bool print(const PrintDocument& items) override;

    // The printer the documents go to; tests point it at a PDF file.
    QPrinter& printer();

private:
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace platform
