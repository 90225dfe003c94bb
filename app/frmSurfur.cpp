#include "app/frmSurfur.h"

#include "forms/frmDiagram.h"
#include "forms/frmFran_till.h"
#include "forms/frmHjalp.h"
#include "forms/frmNetlink.h"
#include "forms/steady_label.h"
#include "forms/widget_helpers.h"
#include "ui_frmSurfur.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringList>
#include <array>

namespace app {

using forms::qs;

namespace {

// Chooses a list's entry by its text, or none, without running the list's handler.
void choose(QComboBox* list, const std::string& text) {
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(text.empty() ? -1 : list->findText(qs(text), Qt::MatchExactly));
}

// A command is offered while its button is shown and enabled; its keys work only then.
void showButton(QAbstractButton* button, QAction* action, const presenter::Button& state) {
    action->setEnabled(state.shown && state.enabled);
    button->setVisible(state.shown);
}

} // namespace

frmSurfur::frmSurfur(platform::Services services, core::ProgramSettings& settings, QWidget* parent)
    : QWidget(parent), m_services(services), m_settings(settings), m_presenter(services, settings),
      m_ui(std::make_unique<Ui::frmSurfur>()) {
    m_ui->setupUi(this);
    const std::array<std::pair<QToolButton*, QAction*>, 14> commands = {{
        {m_ui->cmdSpara, m_ui->actSpara},
        {m_ui->cmdKastapost, m_ui->actKastapost},
        {m_ui->cmdAngrapost, m_ui->actAngrapost},
        {m_ui->cmdKastamon, m_ui->actKastamon},
        {m_ui->cmdAngramon, m_ui->actAngramon},
        {m_ui->cmdAngra, m_ui->actAngra},
        {m_ui->cmdRedo, m_ui->actRedo},
        {m_ui->cmdPrint, m_ui->actPrint},
        {m_ui->cmdFran_till, m_ui->actFran_till},
        {m_ui->cmdHjalp, m_ui->actHjalp},
        {m_ui->cmdDiagram, m_ui->actDiagram},
        {m_ui->cmdAbonnemang, m_ui->actAbonnemang},
        {m_ui->cmdKasta, m_ui->actKasta},
        {m_ui->cmdStang, m_ui->actStang},
    }};
    const std::array<std::pair<QAction*, const char*>, 14> icons = {{
        {m_ui->actSpara, "spara"},
        {m_ui->actKastapost, "kastapost"},
        {m_ui->actAngrapost, "angrapost"},
        {m_ui->actKastamon, "kastamon"},
        {m_ui->actAngramon, "angramon"},
        {m_ui->actAngra, "angra"},
        {m_ui->actRedo, "redo"},
        {m_ui->actPrint, "print"},
        {m_ui->actDiagram, "diagram"},
        {m_ui->actAbonnemang, "abonnemang"},
        {m_ui->actFran_till, "fran_till"},
        {m_ui->actHjalp, "hjalp"},
        {m_ui->actKasta, "kasta"},
        {m_ui->actStang, "stang"},
    }};
    for (const auto& [action, icon] : icons) {
        action->setIcon(forms::programIcon(icon));
    }
    for (const auto& [button, action] : commands) {
        button->setDefaultAction(action);
        addAction(action); // its keys work wherever the focus is in the window
    }
    // The commands' keys, given as keys rather than as texts for Qt to read.
    const std::array<std::pair<QAction*, QKeyCombination>, 7> keys = {{
        {m_ui->actSpara, Qt::CTRL | Qt::Key_S},
        {m_ui->actAngra, Qt::CTRL | Qt::Key_Z},
        {m_ui->actPrint, Qt::CTRL | Qt::Key_P},
        {m_ui->actDiagram, QKeyCombination(Qt::Key_F2)},
        {m_ui->actAbonnemang, Qt::CTRL | Qt::Key_B},
        {m_ui->actHjalp, QKeyCombination(Qt::Key_F1)},
        {m_ui->actStang, Qt::CTRL | Qt::Key_Q},
    }};
    for (const auto& [action, key] : keys) {
        action->setShortcut(QKeySequence(key));
    }
    m_ui->actRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});

    m_ui->cmbSok_0->setNumbers(1, 99, true);
    m_ui->cmbSok_1->setNumbers(1, 12, true);
    m_ui->cmbSok_2->setNumbers(1, 31, true);
    // The time fields complete nothing: they are number lists.
    for (QComboBox* field : {m_ui->cmbTid_0, m_ui->cmbTid_1, m_ui->cmbTid_2}) {
        // The booking reads two characters of a field, so a third keystroke is refused.
        field->lineEdit()->setMaxLength(static_cast<int>(core::kTimeFieldLength));
        // The time fields would take undo and redo for their own typing; here they are the
        // program's undo and redo.
        field->installEventFilter(this);
    }
    // The figures change at every booking; the window keeps its geometry while they fit.
    for (QLabel* figure : {m_ui->lblDagstid, m_ui->lblTidkvar, m_ui->lblDagskost, m_ui->lblTid,
                           m_ui->lblDyrtid, m_ui->lblKostnad, m_ui->lblSumma}) {
        forms::keepLabelSteady(figure);
    }
    m_ui->cmbTid_0->setNumbers(1, 10, false);
    m_ui->cmbTid_1->setNumbers(1, 59, false);
    m_ui->cmbTid_2->setNumbers(1, 59, false);
    connectHandlers();
}

frmSurfur::~frmSurfur() = default;

void frmSurfur::connectHandlers() {
    const std::array<QComboBox*, 3> dates = {m_ui->cmbSok_0, m_ui->cmbSok_1, m_ui->cmbSok_2};
    const std::array<QComboBox*, 3> times = {m_ui->cmbTid_0, m_ui->cmbTid_1, m_ui->cmbTid_2};
    for (int i = 0; i < 3; ++i) {
        QComboBox* date = dates[static_cast<std::size_t>(i)];
        connect(date, &QComboBox::currentIndexChanged, this, [this, date, i] {
            run([this, date, i]() -> const presenter::MainView& {
                return m_presenter.chooseDate(i, date->currentText().toStdString());
            });
        });
        QComboBox* time = times[static_cast<std::size_t>(i)];
        connect(time, &QComboBox::editTextChanged, this, [this, i](const QString& text) {
            run([this, i, &text]() -> const presenter::MainView& {
                return m_presenter.typeTime(i, text.toStdString());
            });
        });
    }
    const auto command = [this](QAction* action,
                                const presenter::MainView& (presenter::MainPresenter::*step)()) {
        connect(action, &QAction::triggered, this, [this, step] {
            run([this, step]() -> const presenter::MainView& { return (m_presenter.*step)(); });
        });
    };
    command(m_ui->actSpara, &presenter::MainPresenter::save);
    command(m_ui->actStang, &presenter::MainPresenter::close);
    command(m_ui->actAngra, &presenter::MainPresenter::undo);
    command(m_ui->actRedo, &presenter::MainPresenter::redo);
    command(m_ui->actKastapost, &presenter::MainPresenter::deleteDay);
    command(m_ui->actAngrapost, &presenter::MainPresenter::restoreDay);
    command(m_ui->actKastamon, &presenter::MainPresenter::deleteMonth);
    command(m_ui->actAngramon, &presenter::MainPresenter::restoreMonth);
    command(m_ui->actKasta, &presenter::MainPresenter::deleteEverything);
    command(m_ui->actPrint, &presenter::MainPresenter::print);
    connect(m_ui->actFran_till, &QAction::triggered, this, &frmSurfur::cmdFran_till_Click);
    connect(m_ui->actHjalp, &QAction::triggered, this, &frmSurfur::cmdHjalp_Click);
    connect(m_ui->actDiagram, &QAction::triggered, this, &frmSurfur::cmdDiagram_Click);
    connect(m_ui->actAbonnemang, &QAction::triggered, this, &frmSurfur::cmdAbonnemang_Click);
}

void frmSurfur::start() {
    run([this]() -> const presenter::MainView& { return m_presenter.load(); });
    if (m_presenter.view().planWindow) {
        showPlanWindow();
        return;
    }
    show();
    Form_Activate();
}

void frmSurfur::Form_Activate() {
    run([this]() -> const presenter::MainView& { return m_presenter.activate(); });
}

template <typename Command>
void frmSurfur::run(Command&& command) {
    ++m_busy;
    const presenter::MainView& view = command();
    --m_busy;
    render(view);
    if (m_busy == 0) {
        Q_EMIT idle();
    }
}

bool frmSurfur::handOver(const std::string& entryName) {
    if (m_busy > 0) {
        return false;
    }
    run([this, &entryName]() -> const presenter::MainView& {
        return m_presenter.handOver(entryName);
    });
    return true;
}

void frmSurfur::setCommandWaits(std::function<bool(const std::string& entryName)> waits) {
    m_presenter.setCommandWaits(std::move(waits));
}

void frmSurfur::render(const presenter::MainView& view) {
    setWindowTitle(qs(view.title));
    m_ui->ramMonadstid->setTitle(qs(view.ramMonadstid));
    m_ui->lblVisa_3->setText(qs(view.lblVisa_3));

    choose(m_ui->cmbSok_0, view.cmbSok_0);
    choose(m_ui->cmbSok_1, view.cmbSok_1);
    if (m_ui->cmbSok_2->count() != view.daysInList) {
        m_ui->cmbSok_2->setNumbers(1, view.daysInList, true);
    }
    choose(m_ui->cmbSok_2, view.cmbSok_2);
    const std::array<QComboBox*, 3> times = {m_ui->cmbTid_0, m_ui->cmbTid_1, m_ui->cmbTid_2};
    for (std::size_t i = 0; i < times.size(); ++i) {
        const QString text = qs(view.cmbTid[i]);
        if (times[i]->currentText() != text) {
            const QSignalBlocker blocker(times[i]);
            if (text.isEmpty()) {
                times[i]->setCurrentIndex(-1);
            }
            times[i]->setEditText(text);
        }
    }

    const std::array<std::pair<QLabel*, const presenter::Label*>, 7> labels = {{
        {m_ui->lblDagstid, &view.lblDagstid},
        {m_ui->lblTidkvar, &view.lblTidkvar},
        {m_ui->lblDagskost, &view.lblDagskost},
        {m_ui->lblTid, &view.lblTid},
        {m_ui->lblDyrtid, &view.lblDyrtid},
        {m_ui->lblKostnad, &view.lblKostnad},
        {m_ui->lblSumma, &view.lblSumma},
    }};
    for (const auto& [label, shown] : labels) {
        forms::showLabel(label, *shown);
    }

    showButton(m_ui->cmdAngra, m_ui->actAngra, view.cmdAngra);
    showButton(m_ui->cmdRedo, m_ui->actRedo, view.cmdRedo);
    showButton(m_ui->cmdKastapost, m_ui->actKastapost, view.cmdKastapost);
    showButton(m_ui->cmdAngrapost, m_ui->actAngrapost, view.cmdAngrapost);
    showButton(m_ui->cmdKastamon, m_ui->actKastamon, view.cmdKastamon);
    showButton(m_ui->cmdAngramon, m_ui->actAngramon, view.cmdAngramon);
    m_ui->actAngra->setToolTip(qs(view.angraHint));
    m_ui->actKastamon->setToolTip(qs(view.kastamonHint));
    m_ui->actKastapost->setToolTip(qs(view.kastapostHint));
    m_ui->actPrint->setToolTip(qs(view.printHint));
    m_ui->actAngramon->setToolTip(qs(view.angramonHint));
    m_ui->actAngrapost->setToolTip(qs(view.angrapostHint));

    if (view.focus == presenter::Focus::Minutes) {
        m_ui->cmbTid_1->setFocus();
    } else if (view.focus == presenter::Focus::Seconds) {
        m_ui->cmbTid_2->setFocus();
    }
    if (view.ended && !m_ending) {
        endProgram();
    }
}

void frmSurfur::showPlanWindow() {
    auto* window = new forms::frmNetlink(m_services.files, m_services.messages, m_settings, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_frmNetlink = window;
    connect(window, &forms::frmNetlink::planStored, this, [this] {
        run([this]() -> const presenter::MainView& { return m_presenter.planStored(); });
    });
    connect(window, &forms::frmNetlink::accepted, this, [this] {
        show();
        Form_Activate();
    });
    connect(window, &forms::frmNetlink::cancelled, this, &frmSurfur::endProgram);
    hide();
    window->show();
}

bool frmSurfur::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y)) {
            // Left to the window's actions, and not the field's own when they are off.
            event->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmSurfur::closeEvent(QCloseEvent* event) {
    if (m_ending) {
        event->accept();
        return;
    }
    // The close button decides; when it ends the program, this close goes ahead.
    run([this]() -> const presenter::MainView& { return m_presenter.close(); });
    event->setAccepted(m_ending);
}

void frmSurfur::endProgram() {
    m_ending = true;
    if (m_frmNetlink != nullptr) {
        m_frmNetlink->hide();
    }
    close();
    Q_EMIT programEnded();
}

// ---------------------------------------------------------------------------------------------
// The range and help windows

void frmSurfur::cmdFran_till_Click() {
    hide();
    // Built at the first opening, and refilled with the default range at every later one.
    if (m_frmFran_till == nullptr) {
        m_frmFran_till = new forms::frmFran_till(m_services, m_settings, this);
        connect(m_frmFran_till, &forms::frmFran_till::closed, this, [this] {
            show();
            Form_Activate();
        });
    } else {
        m_frmFran_till->reopen();
    }
    m_frmFran_till->show();
}

void frmSurfur::cmdAbonnemang_Click() {
    auto* window = new forms::frmNetlink(m_services.files, m_services.messages, m_settings, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->askForChange(m_services.clock.today(), m_settings.dailyAllowance);
    connect(window, &forms::frmNetlink::planChosen, this, [this, window] {
        const presenter::PlanPresenter::Choice choice = window->choice();
        run([this, choice]() -> const presenter::MainView& {
            return m_presenter.changePlan(choice.dailyAllowance, choice.from);
        });
    });
    connect(window, &QDialog::finished, this, [this] {
        show();
        Form_Activate();
    });
    hide();
    window->show();
}

void frmSurfur::cmdDiagram_Click() {
    auto* window = new forms::frmDiagram(m_services, m_settings, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!window->open(m_presenter.chosenDate())) {
        delete window;
        return;
    }
    m_frmDiagram = window;
    connect(window, &forms::frmDiagram::closed, this, [this] {
        show();
        Form_Activate();
    });
    hide();
    window->show();
}

void frmSurfur::cmdHjalp_Click() {
    if (m_frmHjalp != nullptr) {
        m_frmHjalp->raise();
        m_frmHjalp->activateWindow();
        return;
    }
    auto* window = new forms::frmHjalp(m_services, m_settings, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_frmHjalp = window;
    connect(window, &forms::frmHjalp::closed, this, [this] {
        show();
        Form_Activate();
    });
    hide();
    window->show();
}

} // namespace app
