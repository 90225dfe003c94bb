#pragma once

#include "core/program_settings.h"
#include "forms/tool_window.h"
#include "platform/services.h"
#include "presenter/range_presenter.h"

#include <array>
#include <memory>

class QComboBox;
class QLabel;

namespace Ui {
class frmFran_till;
} // namespace Ui

namespace forms {

// The range window: a FRÅN date and a TILL date, three date lists each, and the connected time,
// extra time, extra cost and total cost of the days from FRÅN to TILL, and below them what those
// days would have cost on each plan, under their caption. Its layout comes from frmFran_till.ui.
//
// It only shows: every choice in a list goes to presenter::RangePresenter, which checks the
// dates, sums the range, exports it (the "Exportera…" button, enabled while an accepted range is
// shown) and tells through the message box; the window then shows the view it gets back, filling
// and choosing the lists with their signals blocked, so that nothing runs twice. It reads no file
// and works out no figure. Closing it (forms/tool_window.h: the close action on its button,
// Ctrl+Q and Escape, the window frame, close()) hides it until reopen(); the first showing hands
// the focus to the close button. After an export the line lblSparat under the results says where
// the file went.
class frmFran_till final : public ToolWindow {
    Q_OBJECT

public:
    // Builds the window and runs its load step: the default range (the three months up to today)
    // and that range's totals, with no message.
    frmFran_till(platform::Services services, const core::ProgramSettings& settings,
                 QWidget* parent = nullptr);
    ~frmFran_till() override;

    // Opens the window again after it was closed: the load step afresh (the default range up to
    // today and its totals, with no message). The window is built once and refilled at each
    // opening.
    void reopen();

protected:
    // The sums are dropped as the window closes.
    void closing() override;

private:
    void render(const presenter::RangeView& view);
    void forward(presenter::RangeField field, std::size_t list);

    std::unique_ptr<Ui::frmFran_till> m_ui;
    presenter::RangePresenter m_presenter;
    std::array<QComboBox*, 3> m_cmbFran{};
    std::array<QComboBox*, 3> m_cmbTill{};
    QLabel* m_lblSparat = nullptr;
};

} // namespace forms
