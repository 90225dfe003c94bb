#pragma once

#include "platform/message_box.h"

class QWidget;

namespace platform {

// Message boxes as QMessageBox, with the Swedish button texts "OK", "Ja", "Nej" and "Avbryt"
// and the standard button roles (Escape answers No or Avbryt). It is modal to the program's
// windows and has no parent: the window that asks may be hidden at the time.
class QtMessageBox final : public MessageBox {
public:
    Answer show(const std::string& text, const std::string& title, Buttons buttons, Icon icon,
                bool secondIsDefault = false) override;
};

} // namespace platform
