#pragma once

#include "core/program_settings.h"
#include "forms/tool_window.h"
#include "platform/services.h"
#include "presenter/help_presenter.h"

#include <array>
#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QUrl;

namespace Ui {
class frmHjalp;
} // namespace Ui

namespace forms {

// The help and about window: a greeting and a few notes, line under line in their colours and
// sizes, the program's icon, three links (the help page, an e-mail to the program, the home page)
// and a close button. Its layout comes from frmHjalp.ui, and it is as large as its lines need.
//
// It only shows: presenter::HelpPresenter writes the help page and opens the links; the window
// renders the view it gets back. When the desktop cannot open the help page, the window shows the
// page itself under the lines (txtHjalp); a link in that page to a place in it scrolls there, any
// other goes to the presenter. Closing it (forms/tool_window.h: its button, Ctrl+Q, Escape, the
// window frame) emits closed(); the first link takes the focus when the program shows it. It
// stores nothing.
class frmHjalp final : public ToolWindow {
    Q_OBJECT

public:
    frmHjalp(platform::Services services, const core::ProgramSettings& settings,
             QWidget* parent = nullptr);
    ~frmHjalp() override;

    void aghHjalp_Click(int index);

protected:
    // A new font or style sizes the lines anew.
    void changeEvent(QEvent* event) override;

private:
    std::array<QPushButton*, 3> aghHjalp() const;
    void render(const presenter::HelpView& view);
    void showLines(const std::vector<presenter::HelpLine>& lines);
    void placeLines(const std::vector<presenter::HelpLine>& lines);
    void txtHjalp_AnchorClicked(const QUrl& url);

    std::unique_ptr<Ui::frmHjalp> m_ui;
    presenter::HelpPresenter m_presenter;
    std::vector<QLabel*> m_lines;
};

} // namespace forms
