#pragma once

// The chart window: a month as a picture (the chart control picDiagram), the month's figures
// under it (lblPrognos), the box "Varna innan extra tid börjar" (chkVarning), and the buttons
// "Spara bild…" (cmdSparaBild, Ctrl+S) and "Stäng" (cmdStang, Escape and Ctrl+Q).
//
// It only shows: the view it is given comes from presenter::loadChart, and saving goes through
// presenter::ChartSaver, which asks for the path and tells a failure; the window makes the
// picture's bytes (PNG at twice the size of its pixels, or SVG) and hands them back. It reads no
// month file and keeps no setting: ticking chkVarning only emits warningToggled(), and the caller
// decides what it means and passes the state back in the next view. Every way of closing it (its
// button, Escape, the window frame, close()) goes the same way and emits closed().
//
// Keyboard: the tab order is picDiagram, chkVarning, cmdSparaBild, cmdStang; the chart takes
// the focus when the window is first shown by the program.

#include "platform/message_box.h"
#include "platform/save_file.h"
#include "presenter/chart_presenter.h"

#include <QWidget>

class QAction;
class QCheckBox;
class QLabel;
class QToolButton;

namespace forms {

class MonthChartWidget;

class frmDiagram final : public QWidget {
    Q_OBJECT

public:
    // The size, in logical pixels, of the saved picture; a PNG has twice as many pixels each way.
    static constexpr int kPictureWidth = 800;
    static constexpr int kPictureHeight = 450;
    static constexpr int kPngScale = 2;

    // Builds the window showing `view` (rendered, not yet shown). The services are not owned and
    // must outlive the window.
    frmDiagram(platform::SaveFile& saveFile, platform::MessageBox& messages,
               const presenter::ChartView& view = {}, QWidget* parent = nullptr);
    ~frmDiagram() override;

    // Renders the view as it stands (the chart, the caption, the summary lines and the box's
    // state, set without emitting warningToggled) and shows the window when it is hidden.
    void show(const presenter::ChartView& view);
    using QWidget::show;

    const presenter::ChartView& view() const { return m_view; }

Q_SIGNALS:
    // The user ticked or cleared chkVarning.
    void warningToggled(bool on);
    // The window has closed.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void render(const presenter::ChartView& view);
    void savePicture();

    presenter::ChartSaver m_saver;
    presenter::ChartView m_view;
    MonthChartWidget* m_chart = nullptr;
    QLabel* m_lblPrognos = nullptr;
    QCheckBox* m_chkVarning = nullptr;
    QToolButton* m_cmdSparaBild = nullptr;
    QToolButton* m_cmdStang = nullptr;
    QAction* m_actSparaBild = nullptr;
    QAction* m_actStang = nullptr;
    bool m_opened = false; // the focus has been handed to the chart
};

} // namespace forms
