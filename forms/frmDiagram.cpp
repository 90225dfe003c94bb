#include "forms/frmDiagram.h"

#include "forms/month_chart_painter.h"
#include "forms/month_chart_widget.h"
#include "forms/widget_helpers.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStringList>
#include <QToolButton>
#include <QVBoxLayout>

namespace forms {

frmDiagram::frmDiagram(platform::SaveFile& saveFile, platform::MessageBox& messages,
                       const presenter::ChartView& view, QWidget* parent)
    : QWidget(parent, Qt::Window), m_saver(saveFile, messages) {
    setObjectName(QStringLiteral("frmDiagram"));
    setAccessibleName(QStringLiteral("Diagram"));

    m_chart = new MonthChartWidget(this);

    m_lblPrognos = new QLabel(this);
    m_lblPrognos->setObjectName(QStringLiteral("lblPrognos"));
    m_lblPrognos->setAccessibleName(QStringLiteral("Månadens tid och kostnad"));
    m_lblPrognos->setTextFormat(Qt::PlainText);
    m_lblPrognos->setWordWrap(true);

    m_chkVarning = new QCheckBox(QStringLiteral("Varna innan extra tid börjar"), this);
    m_chkVarning->setObjectName(QStringLiteral("chkVarning"));
    m_chkVarning->setAccessibleName(QStringLiteral("Varna innan extra tid börjar"));
    m_chkVarning->setAccessibleDescription(
        QStringLiteral("Säger till innan dagens förbetalda tid är slut."));
    m_chkVarning->setFocusPolicy(Qt::StrongFocus);

    m_actSparaBild = new QAction(QStringLiteral("Spara bild…"), this);
    m_actSparaBild->setObjectName(QStringLiteral("actSparaBild"));
    m_actSparaBild->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_actSparaBild->setToolTip(QStringLiteral("Sparar diagrammet som PNG- eller SVG-bild."));
    m_actSparaBild->setStatusTip(m_actSparaBild->toolTip());

    m_actStang = new QAction(programIcon("stang"), QStringLiteral("Stäng"), this);
    m_actStang->setObjectName(QStringLiteral("actStang"));
    m_actStang->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_Q)});
    m_actStang->setToolTip(QStringLiteral("Stänger diagrammet."));

    m_cmdSparaBild = new QToolButton(this);
    m_cmdSparaBild->setObjectName(QStringLiteral("cmdSparaBild"));
    m_cmdSparaBild->setDefaultAction(m_actSparaBild);
    m_cmdSparaBild->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_cmdSparaBild->setFocusPolicy(Qt::StrongFocus);
    m_cmdSparaBild->setAccessibleName(QStringLiteral("Spara bild"));
    m_cmdSparaBild->setAccessibleDescription(m_actSparaBild->toolTip());

    m_cmdStang = new QToolButton(this);
    m_cmdStang->setObjectName(QStringLiteral("cmdStang"));
    m_cmdStang->setDefaultAction(m_actStang);
    m_cmdStang->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_cmdStang->setFocusPolicy(Qt::StrongFocus);
    m_cmdStang->setAccessibleName(QStringLiteral("Stäng"));
    m_cmdStang->setAccessibleDescription(m_actStang->toolTip());

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_chkVarning);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdSparaBild);
    buttons->addWidget(m_cmdStang);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chart, 1);
    layout->addWidget(m_lblPrognos);
    layout->addLayout(buttons);

    setTabOrder(m_chart, m_chkVarning);
    setTabOrder(m_chkVarning, m_cmdSparaBild);
    setTabOrder(m_cmdSparaBild, m_cmdStang);

    connect(m_chkVarning, &QCheckBox::toggled, this, &frmDiagram::warningToggled);
    connect(m_actSparaBild, &QAction::triggered, this, &frmDiagram::savePicture);
    connect(m_actStang, &QAction::triggered, this, &QWidget::close);

    render(view);
}

frmDiagram::~frmDiagram() = default;

void frmDiagram::show(const presenter::ChartView& view) {
    render(view);
    if (isHidden()) {
        QWidget::show();
    }
}

void frmDiagram::render(const presenter::ChartView& view) {
    m_view = view;
    setWindowTitle(QString::fromStdString(view.caption));
    m_chart->setChart(view.picDiagram);
    QStringList lines;
    for (const std::string& line : view.lblPrognos) {
        lines << QString::fromStdString(line);
    }
    m_lblPrognos->setText(lines.join(QLatin1Char('\n')));
    const QSignalBlocker blocker(m_chkVarning);
    m_chkVarning->setChecked(view.chkVarning);
}

void frmDiagram::savePicture() {
    const auto target = m_saver.ask(m_view);
    if (!target) {
        return;
    }
    const QSize size(kPictureWidth, kPictureHeight);
    const QByteArray bytes =
        target->format == presenter::ImageFormat::Svg
            ? monthChartSvg(m_view.picDiagram, size, m_chart->palette(), m_chart->font())
            : monthChartPng(m_view.picDiagram, size, kPngScale, m_chart->palette(),
                            m_chart->font());
    m_saver.write(*target, bytes.toStdString());
}

void frmDiagram::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_opened && !event->spontaneous()) {
        m_opened = true;
        m_chart->setFocus();
    }
}

void frmDiagram::closeEvent(QCloseEvent* event) {
    event->accept();
    hide();
    Q_EMIT closed();
}

} // namespace forms
