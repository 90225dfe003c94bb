#pragma once

#include "core/print_document.h"

#include <optional>

namespace platform {

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
    virtual bool print(const core::PrintDocument& items) = 0;
};

} // namespace platform
