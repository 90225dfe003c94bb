#include "forms/frmNetlink.h"

#include "core/plan.h"
#include "forms/ui_helpers.h"
#include "storage/settings_file.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace forms {

namespace {

constexpr std::array<const char*, 3> kOptionTexts = {
    "1 timme förbetalt / dygn", "2 timmar förbetalt / dygn", "8 timmar förbetalt / dygn"};

} // namespace

frmNetlink::frmNetlink(platform::FileSystem& files, platform::MessageBox& messages,
                       core::ProgramSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window), m_files(files), m_messages(messages), m_settings(settings) {
    setObjectName(QStringLiteral("frmNetlink"));
    setWindowTitle(QString());

    m_lblValkommen = new QLabel(this);
    m_lblValkommen->setObjectName(QStringLiteral("lblValkommen"));
    m_lblValkommen->setWordWrap(true);

    m_ramNetlink = new QGroupBox(QStringLiteral("Förbetald tid"), this);
    m_ramNetlink->setObjectName(QStringLiteral("ramNetlink"));
    auto* options = new QVBoxLayout(m_ramNetlink);
    for (std::size_t i = 0; i < m_optNetlink.size(); ++i) {
        m_optNetlink[i] = new QRadioButton(QString::fromUtf8(kOptionTexts[i]), m_ramNetlink);
        m_optNetlink[i]->setObjectName(QStringLiteral("optNetlink_%1").arg(i));
        options->addWidget(m_optNetlink[i]);
    }
    m_optNetlink[0]->setChecked(true);

    m_cmdOk = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOk->setObjectName(QStringLiteral("cmdOk"));
    m_cmdOk->setDefault(true);
    m_cmdAvbryt = new QPushButton(QStringLiteral("Avbryt"), this);
    m_cmdAvbryt->setObjectName(QStringLiteral("cmdAvbryt"));
    // As in a dialog: Enter presses the button that has the focus, else OK (keyPressEvent), and
    // Escape is Avbryt.
    m_cmdOk->setAutoDefault(true);
    m_cmdAvbryt->setAutoDefault(true);
    addButtonShortcut(this, QKeySequence(Qt::Key_Escape), m_cmdAvbryt);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOk);
    buttons->addWidget(m_cmdAvbryt);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblValkommen);
    layout->addWidget(m_ramNetlink);
    layout->addLayout(buttons);

    // OK comes first in the tab order.
    setTabOrder(m_cmdOk, m_cmdAvbryt);
    setTabOrder(m_cmdAvbryt, m_optNetlink[0]);
    m_cmdOk->setFocus();

    connect(m_cmdOk, &QPushButton::clicked, this, &frmNetlink::cmdOk_Click);
    connect(m_cmdAvbryt, &QPushButton::clicked, this, &frmNetlink::cmdAvbryt_Click);

    Form_Load();
}

void frmNetlink::Form_Load() {
    m_lblValkommen->setText(QStringLiteral("Välkommen till ") +
                            QString::fromUtf8(core::kProgramName) +
                            QStringLiteral("\n\nDu börjar med att ställa in programmet efter den "
                                           "typ av NetLink abbonemang du har."));
}

void frmNetlink::netlink() {
    const auto plans = core::allPlans();
    for (std::size_t i = 0; i < m_optNetlink.size() && i < plans.size(); ++i) {
        if (m_optNetlink[i]->isChecked()) {
            m_settings.planText = std::string(plans[i].planText);
            m_settings.dailyAllowance = plans[i].dailyAllowance;
        }
    }
    if (m_settings.dailyAllowance == 0) {
        m_optNetlink[0]->setChecked(true);
        m_settings.planText = std::string(plans[0].planText);
        m_settings.dailyAllowance = plans[0].dailyAllowance;
    }

    storage::SettingsFile settingsFile(m_files);
    if (!settingsFile.storePlan(m_settings.planText, m_settings.dailyAllowance)) {
        m_messages.show("Abonnemanget kunde inte sparas i filen tid.it.\n"
                        "Det gäller bara så länge programmet är igång.",
                        "Kan inte spara", platform::MessageBox::Buttons::Ok,
                        platform::MessageBox::Icon::Exclamation);
    }
    emit planStored();
}

void frmNetlink::cmdOk_Click() {
    netlink();
    m_accepted = true;
    close();
}

void frmNetlink::cmdAvbryt_Click() {
    close();
}

void frmNetlink::keyPressEvent(QKeyEvent* event) {
    // Reaches the window only when the control with the focus did not take the key itself.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (m_cmdOk->isEnabled() && m_cmdOk->isVisible()) {
            m_cmdOk->click();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmNetlink::closeEvent(QCloseEvent* event) {
    // OK, Avbryt, Escape, the window frame and close() all come here. The close goes ahead, so Qt
    // hides the window and, as the main window asked, deletes it.
    event->accept();
    if (m_closed) {
        return;
    }
    m_closed = true;
    if (!m_accepted) {
        // Without the settings file the next start is a first start again.
        storage::SettingsFile(m_files).remove();
    }
    // Off the screen before the main window takes over or the program ends.
    hide();
    if (m_accepted) {
        emit accepted();
    } else {
        emit cancelled();
    }
}

} // namespace forms
