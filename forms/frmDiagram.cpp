#include "forms/frmDiagram.h"

#include "forms/month_chart_painter.h"
#include "forms/widget_helpers.h"
#include "ui_frmDiagram.h"

#include <QKeySequence>
#include <QScreen>
#include <QSignalBlocker>
#include <QStringList>

namespace forms {

frmDiagram::frmDiagram(platform::Services services, const core::ProgramSettings& settings,
                       QWidget* parent)
    : ToolWindow(parent), m_ui(std::make_unique<Ui::frmDiagram>()),
      m_presenter(services, settings) {
    m_ui->setupUi(this);
    setFirstFocus(m_ui->picDiagram);

    // Each button shows its action, and so runs only while the action is enabled.
    m_ui->actForra->setShortcut(QKeySequence(Qt::Key_PageUp));
    m_ui->actNasta->setShortcut(QKeySequence(Qt::Key_PageDown));
    m_ui->actSparaBild->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_ui->actStang->setShortcuts(
        {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_Q)});
    m_ui->actStang->setIcon(programIcon("stang"));
    m_ui->cmdForra->setDefaultAction(m_ui->actForra);
    m_ui->cmdNasta->setDefaultAction(m_ui->actNasta);
    m_ui->cmdSparaBild->setDefaultAction(m_ui->actSparaBild);
    m_ui->cmdStang->setDefaultAction(m_ui->actStang);

    connect(m_ui->actForra, &QAction::triggered, this, [this] { render(m_presenter.step(-1)); });
    connect(m_ui->actNasta, &QAction::triggered, this, [this] { render(m_presenter.step(1)); });
    connect(m_ui->chkVarning, &QCheckBox::toggled, this,
            [this](bool on) { render(m_presenter.toggleWarning(on)); });
    connect(m_ui->actSparaBild, &QAction::triggered, this, &frmDiagram::savePicture);
    connect(m_ui->actStang, &QAction::triggered, this, &QWidget::close);
}

frmDiagram::~frmDiagram() = default;

bool frmDiagram::open(const std::optional<core::Date>& chosen) {
    if (!m_presenter.open(chosen)) {
        return false;
    }
    render(m_presenter.view());
    // As large as the chart would have it, within the screen.
    adjustSize();
    if (const QScreen* shown = screen()) {
        resize(size().boundedTo(shown->availableGeometry().size()));
    }
    return true;
}

void frmDiagram::render(const presenter::ChartView& view) {
    setWindowTitle(qs(view.caption));
    m_ui->picDiagram->setChart(view.picDiagram);
    QStringList lines;
    for (const std::string& line : view.lblPrognos) {
        lines << qs(line);
    }
    m_ui->lblPrognos->setText(lines.join(QLatin1Char('\n')));
    {
        const QSignalBlocker blocker(m_ui->chkVarning);
        m_ui->chkVarning->setChecked(view.chkVarning);
    }
    m_ui->actForra->setEnabled(view.cmdForra);
    m_ui->actNasta->setEnabled(view.cmdNasta);
    m_ui->lblSparat->setText(qs(view.lblSparat));
    m_ui->lblSparat->setVisible(!view.lblSparat.empty());
}

void frmDiagram::savePicture() {
    const auto target = m_presenter.askSave();
    if (!target) {
        render(m_presenter.view());
        return;
    }
    const QSize size(kPictureWidth, kPictureHeight);
    const core::MonthChart& chart = m_presenter.view().picDiagram;
    const QWidget& look = *m_ui->picDiagram;
    const QByteArray bytes =
        target->format == presenter::ImageFormat::Svg
            ? monthChartSvg(chart, size, look.palette(), look.font())
            : monthChartPng(chart, size, kPngScale, look.palette(), look.font());
    render(m_presenter.saved(*target, bytes.toStdString()));
}

} // namespace forms
