#pragma once

#include "core/program_settings.h"
#include "platform/file_system.h"
#include "platform/message_box.h"

#include <QWidget>
#include <array>

class QLabel;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace forms {

// The plan window of the very first start: asks which NetLink plan the user has, stores it in the
// settings file and hands back to the main window (OK), or deletes the settings file so that the
// next start asks again (Avbryt). Closing it any other way (the window frame, close()) is Avbryt.
// It does not refresh the main window's figures; the main window does what follows through the
// signals. As in a dialog, Enter is OK and Escape is Avbryt.
class frmNetlink final : public QWidget {
    Q_OBJECT

public:
    frmNetlink(platform::FileSystem& files, platform::MessageBox& messages,
               core::ProgramSettings& settings, QWidget* parent = nullptr);

    // Stores the chosen plan in the program-wide settings and the settings file.
    void netlink();
    // OK: stores the plan and closes the window, which then emits accepted().
    void cmdOk_Click();
    // Avbryt: closes the window, which deletes the settings file and emits cancelled().
    void cmdAvbryt_Click();

signals:
    // The plan is stored in the settings: the main window's title is to show it.
    void planStored();
    // OK: this window has closed and the main window is to be shown.
    void accepted();
    // Avbryt: the settings file is gone and the program is to end.
    void cancelled();

protected:
    // Every close ends here, whichever way it came: after OK it hands over to the main window,
    // otherwise it acts as Avbryt.
    void closeEvent(QCloseEvent* event) override;
    // Enter that no button with the focus took presses OK, as in a dialog.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();

    platform::FileSystem& m_files;
    platform::MessageBox& m_messages;
    core::ProgramSettings& m_settings;
    bool m_accepted = false; // OK was pressed
    bool m_closed = false;

    QLabel* m_lblValkommen = nullptr;
    QGroupBox* m_ramNetlink = nullptr;
    std::array<QRadioButton*, 3> m_optNetlink{};
    QPushButton* m_cmdOk = nullptr;
    QPushButton* m_cmdAvbryt = nullptr;
};

} // namespace forms
