#pragma once

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/link_opener.h"
#include "platform/message_box.h"
#include "platform/notifier.h"
#include "platform/printing.h"
#include "platform/save_file.h"

namespace platform {

// The outside services a window may use, handed to it when it is made. The window does not own
// them.
struct Services {
    FileSystem& files;
    Clock& clock;
    MessageBox& messages;
    PrintDialog& printDialog;
    Printer& printer;
    LinkOpener& links;
    SaveFile& saveFile;
    Notifier& notifier;
};

} // namespace platform
