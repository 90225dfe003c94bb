#pragma once

#include "platform/link_opener.h"

#include <string>
#include <utility>

class QUrl;

namespace platform {

// Opens links with the desktop's default handler (QDesktopServices). A target without a scheme
// names a file in the data folder. A web page in the data folder is opened only where the desktop
// has a program for web pages (webBrowserAvailable); otherwise open() fails, as it does when the
// desktop cannot open a link, since xdg-open would hand the page to a text viewer as raw HTML.
class QtLinkOpener final : public LinkOpener {
public:
    explicit QtLinkOpener(std::string dataFolder) : m_dataFolder(std::move(dataFolder)) {}
    bool open(const std::string& target) override;

private:
    std::string m_dataFolder;
};

// Whether the desktop has a program for web pages: $BROWSER, Debian's x-www-browser, or one that
// xdg-mime names for text/html (asked for at most two seconds). True where xdg-utils is missing,
// for the desktop's own way of opening to decide.
bool webBrowserAvailable();

// The address a link target stands for: a target with a scheme ("mailto:", "https:") as it is,
// blanks and other characters that an address cannot hold percent-encoded; a target without a
// scheme as the file of that name in the data folder. An invalid QUrl for an empty target or a
// file name that is not a plain name in the data folder ("../x", "a/b").
QUrl linkUrl(const std::string& target, const std::string& dataFolder);

} // namespace platform
