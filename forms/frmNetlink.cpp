#include "forms/frmNetlink.h"

#include "ui_frmNetlink.h"

#include <QDialogButtonBox>
#include <QIcon>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace forms {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

frmNetlink::frmNetlink(platform::FileSystem& files, platform::MessageBox& messages,
                       core::ProgramSettings& settings, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::frmNetlink>()),
      m_presenter(files, messages, settings) {
    m_ui->setupUi(this);
    m_optNetlink = {m_ui->optNetlink_0, m_ui->optNetlink_1, m_ui->optNetlink_2};
    m_optFran = {m_ui->optFran_0, m_ui->optFran_1};

    // The box's two buttons, with the program's names and texts and without the icons some
    // styles give them.
    QPushButton* ok = m_ui->buttonBox->button(QDialogButtonBox::Ok);
    QPushButton* cancel = m_ui->buttonBox->button(QDialogButtonBox::Cancel);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setText(QStringLiteral("OK"));
    ok->setIcon(QIcon());
    ok->setDefault(true);
    cancel->setObjectName(QStringLiteral("cmdAvbryt"));
    cancel->setText(QStringLiteral("Avbryt"));
    cancel->setIcon(QIcon());
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &frmNetlink::accept);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &frmNetlink::reject);

    for (std::size_t i = 0; i < m_optNetlink.size(); ++i) {
        connect(m_optNetlink[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked) {
                render(m_presenter.choose(static_cast<int>(i)));
            }
        });
    }

    for (std::size_t i = 0; i < m_optFran.size(); ++i) {
        connect(m_optFran[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked) {
                render(m_presenter.chooseFrom(static_cast<int>(i)));
            }
        });
    }

    // The buttons come first in the tab order, then the plans.
    setTabOrder(cancel, m_optNetlink[0]);
    ok->setFocus();

    render(m_presenter.load());
}

frmNetlink::~frmNetlink() = default;

void frmNetlink::askForChange(const core::Date& today, std::int32_t current) {
    render(m_presenter.loadChange(today, current));
}

void frmNetlink::render(const presenter::PlanView& view) {
    setWindowTitle(qs(view.title));
    m_ui->lblValkommen->setText(qs(view.lblValkommen));
    QRadioButton* chosen = m_optNetlink.at(static_cast<std::size_t>(view.optNetlink));
    const QSignalBlocker blocker(chosen);
    chosen->setChecked(true);
    m_ui->ramFran->setVisible(view.change);
    for (std::size_t i = 0; i < m_optFran.size(); ++i) {
        const QSignalBlocker quiet(m_optFran[i]);
        m_optFran[i]->setText(qs(view.optFran[i]));
        m_optFran[i]->setChecked(static_cast<int>(i) == view.fran);
    }
}

void frmNetlink::accept() {
    if (m_presenter.view().outcome != presenter::PlanOutcome::Open) {
        return;
    }
    render(m_presenter.ok());
    if (m_presenter.view().outcome == presenter::PlanOutcome::Chosen) {
        Q_EMIT planChosen();
    } else {
        Q_EMIT planStored();
    }
    QDialog::accept();
}

void frmNetlink::reject() {
    if (m_presenter.view().outcome != presenter::PlanOutcome::Open) {
        return;
    }
    render(m_presenter.cancel());
    QDialog::reject();
    if (m_presenter.view().outcome == presenter::PlanOutcome::Cancelled) {
        Q_EMIT cancelled();
    }
}

} // namespace forms
