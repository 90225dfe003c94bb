#pragma once

// The chart window: a month as a picture (the chart control picDiagram), the month's figures
// under it (lblPrognos), the buttons "‹" and "›" (cmdForra and cmdNasta, Page Up and Page Down)
// that step to the month before and after, the box "Varna innan extra tid börjar" (chkVarning),
// the buttons "Spara bild…" (cmdSparaBild, Ctrl+S) and "Stäng" (cmdStang, Escape and Ctrl+Q),
// and under them the line lblSparat that says where the picture was saved. Its layout comes from
// frmDiagram.ui.
//
// It only shows: every command goes to presenter::ChartPresenter, and the window renders the view
// it gets back. Saving asks the presenter for the path, makes the picture's bytes (PNG at twice
// the size of its pixels, or SVG, both on white) and hands them back to be written. Closing it
// (forms/tool_window.h) emits closed(); the chart takes the focus when the program first shows
// it.
//
// Keyboard: the tab order is picDiagram, cmdForra, cmdNasta, chkVarning, cmdSparaBild, cmdStang.

#include "core/program_settings.h"
#include "forms/tool_window.h"
#include "platform/services.h"
#include "presenter/chart_presenter.h"

#include <memory>
#include <optional>

namespace Ui {
class frmDiagram;
} // namespace Ui

namespace forms {

class frmDiagram final : public ToolWindow {
    Q_OBJECT

public:
    // The size, in logical pixels, of the saved picture; a PNG has twice as many pixels each way.
    static constexpr int kPictureWidth = 800;
    static constexpr int kPictureHeight = 450;
    static constexpr int kPngScale = 2;

    // Builds the window (not shown, and showing nothing until open()). The services are not owned
    // and must outlive the window.
    frmDiagram(platform::Services services, const core::ProgramSettings& settings,
               QWidget* parent = nullptr);
    ~frmDiagram() override;

    // Renders the month of the date chosen in the main window; false, with a message and nothing
    // rendered, when no real date is chosen (presenter::ChartPresenter::open). It does not show
    // the window.
    bool open(const std::optional<core::Date>& chosen);

private:
    void render(const presenter::ChartView& view);
    void savePicture();

    std::unique_ptr<Ui::frmDiagram> m_ui;
    presenter::ChartPresenter m_presenter;
};

} // namespace forms
