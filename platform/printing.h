#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// A printed document as a list of items: lines of text with their font size and weight, page
// breaks and document ends. It says what to print, not how to draw it; what a document says is
// decided above the platform (presenter/report.h).
struct PrintItem {
    enum class Kind {
        Line,        // one line of text (an empty text is an empty line)
        NewPage,     // the next line starts a new page
        EndDocument, // the document is complete and goes to the printer
    };
    Kind kind = Kind::Line;
    std::string text;
    int pointSize = 10;
    bool bold = false;

    bool operator==(const PrintItem&) const = default;
};

using PrintDocument = std::vector<PrintItem>;

// The system's print dialog: lets the user choose a printer and the number of copies. It does
// not print.
class PrintDialog {
public:
    virtual ~PrintDialog() = default;
    // The number of copies chosen, or nullopt when the user cancelled.
    virtual std::optional<int> ask() = 0;
};

// The printer chosen in the print dialog. It renders documents; it does not decide what they say.
class Printer {
public:
    virtual ~Printer() = default;
    // Prints the items; every EndDocument hands one document to the printer. False when
    // printing failed; documents ended before the failure stay printed.
    virtual bool print(const PrintDocument& items) = 0;
};

} // namespace platform
