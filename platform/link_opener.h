#pragma once

#include <string>

namespace platform {

// Opens a link target (a file in the data folder, a mailto: address, a web address) with the
// desktop's default handler. It does not check what the target holds.
class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    virtual bool open(const std::string& target) = 0;
};

} // namespace platform
