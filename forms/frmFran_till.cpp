#include "forms/frmFran_till.h"

#include "core/date_fields.h"
#include "forms/widget_helpers.h"
#include "ui_frmFran_till.h"

#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QSignalBlocker>
#include <QStringList>

namespace forms {

namespace {

// Makes a list offer the entries "01" up to `entries` and choose `chosen` (none when it is
// empty), without running its handler.
void showList(QComboBox* list, int entries, const std::string& chosen) {
    const QSignalBlocker blocker(list);
    if (list->count() != entries) {
        QStringList texts;
        for (const std::string& entry : core::dayListEntries(entries)) {
            texts.append(qs(entry));
        }
        list->clear();
        list->addItems(texts);
    }
    list->setCurrentIndex(chosen.empty() ? -1 : list->findText(qs(chosen), Qt::MatchExactly));
}

} // namespace

frmFran_till::frmFran_till(platform::Services services, const core::ProgramSettings& settings,
                           QWidget* parent)
    : ToolWindow(parent), m_ui(std::make_unique<Ui::frmFran_till>()),
      m_presenter(services, settings) {
    m_ui->setupUi(this);
    m_cmbFran = {m_ui->cmbFran_0, m_ui->cmbFran_1, m_ui->cmbFran_2};
    m_cmbTill = {m_ui->cmbTill_0, m_ui->cmbTill_1, m_ui->cmbTill_2};
    setFirstFocus(m_ui->cmdStang);
    // Where the last export went, under everything else.
    m_lblSparat = new QLabel(this);
    m_lblSparat->setObjectName(QStringLiteral("lblSparat"));
    m_lblSparat->setTextFormat(Qt::PlainText);
    m_ui->windowLayout->addWidget(m_lblSparat);

    // The close action: its keys are Ctrl+Q, as in the main window, and Escape. Being the
    // button's action, it runs only while the button is there and enabled.
    m_ui->actStang->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::Key_Escape)});
    m_ui->actStang->setIcon(programIcon("stang"));
    m_ui->cmdStang->setDefaultAction(m_ui->actStang);
    connect(m_ui->actStang, &QAction::triggered, this, &QWidget::close);
    m_ui->cmdExportera->setDefaultAction(m_ui->actExportera);
    m_ui->cmdExportera->setAccessibleDescription(m_ui->actExportera->toolTip());
    connect(m_ui->actExportera, &QAction::triggered, this,
            [this] { render(m_presenter.exportera()); });

    // A user's choice runs the checks; the window's own choices are made with signals blocked.
    for (std::size_t i = 0; i < 3; ++i) {
        connect(m_cmbFran[i], &QComboBox::currentIndexChanged, this,
                [this, i] { forward(presenter::RangeField::Fran, i); });
        connect(m_cmbTill[i], &QComboBox::currentIndexChanged, this,
                [this, i] { forward(presenter::RangeField::Till, i); });
    }

    render(m_presenter.load());
}

frmFran_till::~frmFran_till() = default;

void frmFran_till::reopen() {
    render(m_presenter.load());
}

void frmFran_till::forward(presenter::RangeField field, std::size_t list) {
    const auto& lists = field == presenter::RangeField::Fran ? m_cmbFran : m_cmbTill;
    render(m_presenter.choose(field, static_cast<int>(list),
                              lists[list]->currentText().toStdString()));
}

void frmFran_till::render(const presenter::RangeView& view) {
    setWindowTitle(qs(view.title));
    for (std::size_t i = 0; i < 2; ++i) {
        showList(m_cmbFran[i],
                 i == 0 ? presenter::RangePresenter::kYearEntries
                        : presenter::RangePresenter::kMonthEntries,
                 view.cmbFran[i]);
        showList(m_cmbTill[i],
                 i == 0 ? presenter::RangePresenter::kYearEntries
                        : presenter::RangePresenter::kMonthEntries,
                 view.cmbTill[i]);
    }
    showList(m_cmbFran[2], view.franDays, view.cmbFran[2]);
    showList(m_cmbTill[2], view.tillDays, view.cmbTill[2]);
    m_ui->lblHit_Dit->setText(qs(view.lblHit_Dit));
    m_ui->lblTid->setText(qs(view.lblTid));
    m_ui->lblExtrtid->setText(qs(view.lblExtrtid));
    m_ui->lblKost->setText(qs(view.lblKost));
    m_ui->lblTotalkost->setText(qs(view.lblTotalkost));
    m_ui->lblJamforelse->setText(qs(view.lblJamforelse));
    m_ui->lblPlan_0->setText(qs(view.lblPlan[0]));
    m_ui->lblPlan_1->setText(qs(view.lblPlan[1]));
    m_ui->lblPlan_2->setText(qs(view.lblPlan[2]));
    m_ui->actStang->setToolTip(qs(view.cmdStangHint));
    m_ui->actExportera->setEnabled(view.cmdExportera);
    m_lblSparat->setText(qs(view.lblSparat));
    m_lblSparat->setVisible(!view.lblSparat.empty());
}

void frmFran_till::closing() {
    render(m_presenter.close());
}

} // namespace forms
