# Writes presenter::helpPage() as C++: the bytes of INPUT (the help page) in a character array, in
# the source file OUTPUT. Run as: cmake -DINPUT=… -DOUTPUT=… -P embed_help_page.cmake
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
# One line of the array for each line of the page.
string(REPLACE "'\\x0a'," "'\\x0a',\n    " bytes "${bytes}")
file(WRITE ${OUTPUT}.new
"// Made from the help page at build time; not to be edited.
#include \"presenter/help_presenter.h\"

namespace presenter {

namespace {

const char kPage[] = {
    ${bytes}
};

} // namespace

std::string_view helpPage() {
    return {kPage, sizeof kPage};
}

} // namespace presenter
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
