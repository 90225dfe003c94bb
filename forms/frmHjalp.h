#pragma once

#include "core/help_window.h"
#include "core/program_settings.h"
#include "platform/services.h"

#include <QWidget>
#include <array>
#include <vector>

class QAbstractButton;
class QLabel;
class QPushButton;

namespace forms {

// The help and about window: a greeting and a few notes drawn on its surface, the program's icon,
// three links (the help page, an e-mail to the program, the home page) and a close button.
//
// Opening it writes the help page into the data folder when it is missing there. A link opens
// its target through the link opener; a target that cannot be opened is reported in a message
// box. Closing the window, with its button or through the window frame, is told to the main
// window through closed(); this window does not show the main window itself. It stores nothing.
// Ctrl+Q and Escape act as its close button.
class frmHjalp final : public QWidget {
    Q_OBJECT

public:
    frmHjalp(platform::Services services, const core::ProgramSettings& settings,
             QWidget* parent = nullptr);

    void cmdStang_Click();
    void aghHjalp_Click(int index);

    // Where drawn line `index` (of core::helpWindowLines) lies on the window.
    QRect lineRect(std::size_t index) const;

Q_SIGNALS:
    // The window has closed; the main window is to be shown again.
    void closed();

protected:
    // Draws the lines; the text is drawn anew whenever the window is painted, so it survives
    // the window being covered.
    void paintEvent(QPaintEvent* event) override;
    // Closing through the window frame acts as the close button.
    void closeEvent(QCloseEvent* event) override;
    // A new font or style moves the links with their lines.
    void changeEvent(QEvent* event) override;

private:
    struct DrawnLine {
        QFont font;
        QColor colour;
        QRect box;    // the text's extent
        int baseline; // where the text stands
    };

    void Form_Load();
    std::vector<DrawnLine> layoutLines() const;
    void placeControls();

    platform::Services m_services;
    const core::ProgramSettings& m_settings;
    std::vector<core::HelpLine> m_lines;
    std::array<core::HelpLink, 3> m_links;
    bool m_closed = false;

    QLabel* m_picSurfur = nullptr;
    std::array<QPushButton*, 3> m_aghHjalp{};
    QAbstractButton* m_cmdStang = nullptr;
};

} // namespace forms
