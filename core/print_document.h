#pragma once

#include <string>
#include <vector>

namespace core {

// A printed document as a list of items: lines of text with their font size and weight, page
// breaks and document ends. It says what to print, not how to draw it.
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

} // namespace core
