#include "app/frmSurfur.h"

#include "core/date_fields.h"
#include "core/figures.h"
#include "core/range.h"
#include "core/report.h"
#include "core/swedish.h"
#include "core/texts.h"
#include "core/time_fields.h"
#include "forms/frmFran_till.h"
#include "forms/frmHjalp.h"
#include "forms/frmNetlink.h"
#include "forms/ui_helpers.h"
#include "storage/backups.h"
#include "storage/booking.h"
#include "storage/month_file.h"
#include "storage/settings_file.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>

namespace app {

using forms::qs;
using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;
using Answer = platform::MessageBox::Answer;

namespace {

constexpr const char* kInvalidDate = "Felaktigt datum";

// Why a restore's copy cannot serve: it is gone, or it cannot be read.
std::string copyCannotServe(std::string_view copy, bool missing) {
    return "kopian av månaden (" + std::string(copy) +
           (missing ? ") inte finns kvar." : ") inte går att läsa eller är skadad.");
}

// A month file that is there but cannot be used: it is shown as holding nothing, and left alone.
bool unusable(storage::MonthState state) {
    return state == storage::MonthState::Unreadable || state == storage::MonthState::Damaged;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

frmSurfur::frmSurfur(platform::Services services, core::ProgramSettings& settings, QWidget* parent)
    : QWidget(parent), m_services(services), m_settings(settings) {
    setObjectName(QStringLiteral("frmSurfur"));
    buildControls();
    connectHandlers();
}

frmSurfur::~frmSurfur() = default;

void frmSurfur::buildControls() {
    const std::array<const char*, 7> headings = {
        "h:", "m:", "s:", "Nu visas:", "år:", "mån:", "dag:"};
    for (std::size_t i = 0; i < m_lblVisa.size(); ++i) {
        m_lblVisa[i] =
            makeLabel(this, QStringLiteral("lblVisa_%1").arg(i), QString::fromUtf8(headings[i]));
    }

    const std::array<const char*, 3> dateNames = {"År", "Månad", "Dag"};
    for (std::size_t i = 0; i < m_cmbSok.size(); ++i) {
        m_cmbSok[i] = forms::makeDateList(this, QStringLiteral("cmbSok_%1").arg(i));
        m_cmbSok[i]->setAccessibleName(QString::fromUtf8(dateNames[i]));
    }
    const std::array<const char*, 3> timeNames = {"Timmar", "Minuter", "Sekunder"};
    for (std::size_t i = 0; i < m_cmbTid.size(); ++i) {
        auto* field = new QComboBox(this);
        field->setObjectName(QStringLiteral("cmbTid_%1").arg(i));
        field->setEditable(true);
        field->setInsertPolicy(QComboBox::NoInsert);
        field->setCompleter(nullptr);
        field->setMaxVisibleItems(12);
        field->setAccessibleName(QString::fromUtf8(timeNames[i]));
        // The booking reads two characters of a field, so a third keystroke is refused.
        field->lineEdit()->setMaxLength(static_cast<int>(core::kTimeFieldLength));
        m_cmbTid[i] = field;
    }

    m_cmdSpara = forms::makePictureButton(this, "cmdSpara", "spara.png", QStringLiteral("Spara"));
    m_cmdKastapost = forms::makePictureButton(this, "cmdKastapost", "kastapost.png",
                                              QStringLiteral("Ta bort dagen"));
    m_cmdAngrapost = forms::makePictureButton(this, "cmdAngrapost", "angrapost.png",
                                              QStringLiteral("Återställ dagen"));

    m_lblDagstid = makeLabel(this, QStringLiteral("lblDagstid"), QStringLiteral("Tid i dag:"));
    m_lblTidkvar =
        makeLabel(this, QStringLiteral("lblTidkvar"), QStringLiteral("Tidkvar: / Extra tid:"));
    m_lblDagskost = makeLabel(this, QStringLiteral("lblDagskost"), QStringLiteral("Kostnad:"));

    m_ramMonadstid = new QGroupBox(this);
    m_ramMonadstid->setObjectName(QStringLiteral("ramMonadstid"));
    m_lblTid = makeLabel(m_ramMonadstid, QStringLiteral("lblTid"), QStringLiteral("Månadstid:"));
    m_lblDyrtid =
        makeLabel(m_ramMonadstid, QStringLiteral("lblDyrtid"), QStringLiteral("Extra månadstid:"));
    m_lblKostnad =
        makeLabel(m_ramMonadstid, QStringLiteral("lblKostnad"), QStringLiteral("Månadskostnad:"));
    m_lblSumma = makeLabel(m_ramMonadstid, QStringLiteral("lblSumma"),
                           QStringLiteral("Total månadskostnad:"));
    m_cmdKastamon = forms::makePictureButton(m_ramMonadstid, "cmdKastamon", "kastamon.png",
                                             QStringLiteral("Ta bort månaden"));
    m_cmdAngramon = forms::makePictureButton(m_ramMonadstid, "cmdAngramon", "angramon.png",
                                             QStringLiteral("Återställ månaden"));

    m_cmdAngra = forms::makePictureButton(this, "cmdAngra", "angra.png", QStringLiteral("Ångra"));
    m_cmdRedo = forms::makePictureButton(this, "cmdRedo", "redo.png", QStringLiteral("Gör om"));
    m_cmdPrint =
        forms::makePictureButton(this, "cmdPrint", "print.png", QStringLiteral("Skriv ut"));
    m_cmdFran_till = forms::makePictureButton(this, "cmdFran_till", "fran_till.png",
                                              QStringLiteral("Från och till"));
    m_cmdHjalp = forms::makePictureButton(this, "cmdHjalp", "hjalp.png", QStringLiteral("Hjälp"));
    m_cmdKasta =
        forms::makePictureButton(this, "cmdKasta", "kasta.png", QStringLiteral("Ta bort allt"));
    m_cmdStang = forms::makePictureButton(this, "cmdStang", "stang.png", QStringLiteral("Stäng"));

    for (std::size_t i = 0; i < m_linStrack.size(); ++i) {
        auto* line = new QFrame(this);
        line->setObjectName(QStringLiteral("linStrack_%1").arg(i));
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        m_linStrack[i] = line;
    }

    // Date and time entry.
    auto* entry = new QGridLayout;
    entry->addWidget(m_lblVisa[4], 0, 0);
    entry->addWidget(m_lblVisa[5], 0, 1);
    entry->addWidget(m_lblVisa[6], 0, 2);
    entry->addWidget(m_cmbSok[0], 1, 0);
    entry->addWidget(m_cmbSok[1], 1, 1);
    entry->addWidget(m_cmbSok[2], 1, 2);
    entry->setColumnMinimumWidth(3, 16);
    entry->addWidget(m_lblVisa[0], 0, 4);
    entry->addWidget(m_lblVisa[1], 0, 5);
    entry->addWidget(m_lblVisa[2], 0, 6);
    entry->addWidget(m_cmbTid[0], 1, 4);
    entry->addWidget(m_cmbTid[1], 1, 5);
    entry->addWidget(m_cmbTid[2], 1, 6);
    entry->addWidget(m_cmdSpara, 0, 7, 2, 1);
    entry->addWidget(m_lblVisa[3], 2, 0, 1, 8);
    // The headings label their lists and fields for assistive tools.
    for (std::size_t i = 0; i < 3; ++i) {
        m_lblVisa[4 + i]->setBuddy(m_cmbSok[i]);
        m_lblVisa[i]->setBuddy(m_cmbTid[i]);
    }

    // The chosen day.
    auto* dayLabels = new QVBoxLayout;
    dayLabels->addWidget(m_lblDagstid);
    dayLabels->addWidget(m_lblTidkvar);
    dayLabels->addWidget(m_lblDagskost);
    auto* day = new QHBoxLayout;
    day->addLayout(dayLabels, 1);
    day->addWidget(m_cmdKastapost, 0, Qt::AlignTop);
    day->addWidget(m_cmdAngrapost, 0, Qt::AlignTop);

    // The chosen month.
    auto* monthLabels = new QVBoxLayout;
    monthLabels->addWidget(m_lblTid);
    monthLabels->addWidget(m_lblDyrtid);
    monthLabels->addWidget(m_lblKostnad);
    monthLabels->addWidget(m_lblSumma);
    auto* month = new QHBoxLayout(m_ramMonadstid);
    month->addLayout(monthLabels, 1);
    month->addWidget(m_cmdKastamon, 0, Qt::AlignTop);
    month->addWidget(m_cmdAngramon, 0, Qt::AlignTop);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdAngra);
    buttons->addWidget(m_cmdRedo);
    buttons->addSpacing(12);
    buttons->addWidget(m_cmdPrint);
    buttons->addWidget(m_cmdFran_till);
    buttons->addWidget(m_cmdHjalp);
    buttons->addStretch();
    buttons->addWidget(m_cmdKasta);
    buttons->addWidget(m_cmdStang);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(entry);
    layout->addWidget(m_linStrack[0]);
    layout->addLayout(day);
    layout->addWidget(m_ramMonadstid);
    layout->addWidget(m_linStrack[1]);
    layout->addLayout(buttons);

    // Keyboard order: date, time, save, then the day, month and program buttons.
    QWidget* order[] = {m_cmbSok[0],   m_cmbSok[1], m_cmbSok[2],    m_cmbTid[0],    m_cmbTid[1],
                        m_cmbTid[2],   m_cmdSpara,  m_cmdKastapost, m_cmdAngrapost, m_cmdKastamon,
                        m_cmdAngramon, m_cmdAngra,  m_cmdRedo,      m_cmdPrint,     m_cmdFran_till,
                        m_cmdHjalp,    m_cmdKasta,  m_cmdStang};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    // State at start.
    m_cmdAngra->setEnabled(false);
    m_cmdRedo->setEnabled(false);
    m_cmdAngramon->setVisible(false);
    m_cmdAngrapost->setVisible(false);
}

void frmSurfur::connectHandlers() {
    for (int i = 0; i < static_cast<int>(m_cmbSok.size()); ++i) {
        connect(m_cmbSok[static_cast<std::size_t>(i)], &QComboBox::currentIndexChanged, this,
                [this, i] { cmbSok_Click(i); });
    }
    for (int i = 0; i < static_cast<int>(m_cmbTid.size()); ++i) {
        connect(m_cmbTid[static_cast<std::size_t>(i)], &QComboBox::editTextChanged, this,
                [this, i] { cmbTid_Change(i); });
    }
    connect(m_cmdSpara, &QAbstractButton::clicked, this, &frmSurfur::cmdSpara_Click);
    connect(m_cmdStang, &QAbstractButton::clicked, this, &frmSurfur::cmdStang_Click);
    connect(m_cmdAngra, &QAbstractButton::clicked, this, &frmSurfur::cmdAngra_Click);
    connect(m_cmdRedo, &QAbstractButton::clicked, this, &frmSurfur::cmdRedo_Click);
    connect(m_cmdKastapost, &QAbstractButton::clicked, this, &frmSurfur::cmdKastapost_Click);
    connect(m_cmdAngrapost, &QAbstractButton::clicked, this, &frmSurfur::cmdAngrapost_Click);
    connect(m_cmdKastamon, &QAbstractButton::clicked, this, &frmSurfur::cmdKastamon_Click);
    connect(m_cmdAngramon, &QAbstractButton::clicked, this, &frmSurfur::cmdAngramon_Click);
    connect(m_cmdKasta, &QAbstractButton::clicked, this, &frmSurfur::cmdKasta_Click);
    connect(m_cmdPrint, &QAbstractButton::clicked, this, &frmSurfur::cmdPrint_Click);
    connect(m_cmdFran_till, &QAbstractButton::clicked, this, &frmSurfur::cmdFran_till_Click);
    connect(m_cmdHjalp, &QAbstractButton::clicked, this, &frmSurfur::cmdHjalp_Click);

    for (QAbstractButton* button :
         {m_cmdKastamon, m_cmdKastapost, m_cmdPrint, m_cmdAngramon, m_cmdAngrapost}) {
        button->setMouseTracking(true);
        button->installEventFilter(this);
    }

    // Keyboard shortcuts run exactly what their buttons run, while the button can be clicked.
    forms::addButtonShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_S), m_cmdSpara);
    forms::addButtonShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_Z), m_cmdAngra);
    forms::addButtonShortcut(this, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), m_cmdRedo);
    forms::addButtonShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_Y), m_cmdRedo);
    forms::addButtonShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_P), m_cmdPrint);
    forms::addButtonShortcut(this, QKeySequence(Qt::Key_F1), m_cmdHjalp);
    forms::addButtonShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_Q), m_cmdStang);
    // The time fields would take undo and redo for their own typing; here they are the
    // program's undo and redo.
    for (QComboBox* field : m_cmbTid) {
        field->installEventFilter(this);
    }
}

void frmSurfur::start() {
    Form_Load();
    if (m_frmNetlink == nullptr) {
        show();
        Form_Activate();
    }
}

// ---------------------------------------------------------------------------------------------
// Load and activation

void frmSurfur::Form_Load() {
    m_settings.laddar = true;
    tooltip();

    forms::fillList(m_cmbSok[0], 1, 99, true);
    forms::fillList(m_cmbSok[1], 1, 12, true);
    forms::fillList(m_cmbSok[2], 1, 31, true);
    forms::fillList(m_cmbTid[0], 1, 10, false);
    forms::fillList(m_cmbTid[1], 1, 59, false);
    forms::fillList(m_cmbTid[2], 1, 59, false);

    // Today, or the nearest date the lists offer.
    const core::Date today =
        std::clamp(m_services.clock.today(), core::kFirstListDate, core::kLastListDate);
    const core::DateTexts texts = core::textsOfDate(today);
    m_yearText = texts.year;
    m_monthText = texts.month;
    m_dayText = texts.day;
    m_ramMonadstid->setTitle(qs(core::monthYearCaption(core::Date{today.year, today.month, 1})));

    // Each selection runs the date lists' handler, which keeps the texts as it reads them.
    forms::selectText(m_cmbSok[0], qs(texts.year));
    forms::selectText(m_cmbSok[1], qs(texts.month));
    if (!forms::selectText(m_cmbSok[2], qs(texts.day))) {
        m_cmbSok[2]->setCurrentIndex(m_cmbSok[2]->count() - 1);
    }

    storage::SettingsFile settingsFile(m_services.files);
    const auto state = settingsFile.loadAtStart();
    m_settings.planText = state.settings.planText;
    m_settings.dailyAllowance = state.settings.dailyAllowance;
    if (state.unreadable) {
        message(std::string(state.damaged ? "Filen tid.it är skadad"
                                          : "Filen tid.it kunde inte läsas") +
                    ", så abonnemanget är inte känt.\nMånadskostnaderna visas utan den fasta "
                    "avgiften, och ingen tid kan sparas förrän filen går att läsa.",
                state.damaged ? "Skadad fil" : "Kan inte läsa", Buttons::Ok, Icon::Exclamation);
    }
    if (state.firstStart) {
        showPlanWindow();
    }

    setWindowTitle(QString::fromUtf8(core::kProgramName) + QStringLiteral("   ") +
                   qs(m_settings.planText));
    m_lblDagstid->setText(QStringLiteral("Tid i dag:"));
    m_lblTidkvar->setText(QStringLiteral("Tid kvar: / Extra tid:"));
    m_lblDagskost->setText(QStringLiteral("Kostnad:"));
    m_quietView = true;
    m_entryFile = storage::monthFileName(listText(0).substr(0, 2), listText(1).substr(0, 2));
    visa();
}

void frmSurfur::Form_Activate() {
    m_cmbTid[1]->setFocus();
    m_lblVisa[3]->setText(qs(core::shownDateText(m_yearText, m_monthText, m_dayText)));
    // Each selection that changes the list runs its handler.
    const std::string year(core::trimBlanks(m_yearText));
    const std::string month(core::trimBlanks(m_monthText));
    const std::string day(core::trimBlanks(m_dayText));
    forms::selectText(m_cmbSok[0], qs(year));
    forms::selectText(m_cmbSok[1], qs(month));
    forms::selectText(m_cmbSok[2], qs(day));
}

void frmSurfur::showPlanWindow() {
    auto* window = new forms::frmNetlink(m_services.files, m_services.messages, m_settings, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_frmNetlink = window;
    connect(window, &forms::frmNetlink::planStored, this, [this] {
        setWindowTitle(QString::fromUtf8(core::kProgramName) + QStringLiteral("      ") +
                       qs(m_settings.planText));
    });
    connect(window, &forms::frmNetlink::accepted, this, [this] {
        show();
        Form_Activate();
    });
    connect(window, &forms::frmNetlink::cancelled, this, &frmSurfur::endProgram);
    hide();
    window->show();
}

// ---------------------------------------------------------------------------------------------
// Procedures

void frmSurfur::tooltip() {
    m_cmdKasta->setToolTip(QStringLiteral("Tar bort allt. Alla inmatade värden försvinner."));
    m_cmdAngra->setToolTip(QStringLiteral("Ångra senaste inmatningen i programmet."));
    m_cmdRedo->setToolTip(QStringLiteral("Gör om senaste inmatningen i programmet."));
    m_cmdSpara->setToolTip(QStringLiteral("Sparar inmatat värde."));
    m_cmdStang->setToolTip(QStringLiteral("Stänger programmet."));
    m_cmdHjalp->setToolTip(
        QStringLiteral("Öppnar information om programmet och hjälp till programmet."));
    m_cmdFran_till->setToolTip(QStringLiteral("Visar formuläret \"Från och till\"."));
}

bool frmSurfur::skott() {
    // A day the new month lacks gives way to its last day, which runs the list's handler.
    return forms::rebuildDayList(m_cmbSok[2], core::daysOfListMonth(listText(0), listText(1)));
}

void frmSurfur::siffra() {
    const core::TimeTexts before = {timeText(0), timeText(1), timeText(2)};
    const core::TimeTexts after = core::tidyTimeFields(before);
    for (int i = 0; i < 3; ++i) {
        if (after[static_cast<std::size_t>(i)] != before[static_cast<std::size_t>(i)]) {
            setTimeText(i, after[static_cast<std::size_t>(i)]);
        }
    }
}

void frmSurfur::ram() {
    if (const auto caption = core::monthCaptionOf(listText(0), listText(1), listText(2))) {
        m_monthCaption = caption->monthCaption;
        m_shownDay = caption->shownDay;
    }
}

void frmSurfur::visa() {
    const std::string year = listText(0);
    const std::string month = listText(1);
    const std::string day = listText(2);

    if (core::trimBlanks(year).empty()) {
        message("Du måste ange ett årtal.\nFrån 00 till 99", "Felaktig inmatning", Buttons::Ok,
                Icon::Exclamation);
        return;
    }
    if (core::trimBlanks(month).empty()) {
        if (!m_quietView) {
            message("Du måste ange en månad.\n1 för januari, 2 för februari och så vidare.",
                    "Felaktig inmatning", Buttons::Ok, Icon::Exclamation);
        }
        return;
    }
    const auto clearList = [](QComboBox* list) {
        const QSignalBlocker blocker(list);
        list->setCurrentIndex(-1);
    };
    if (const auto first = core::parseDigits(month.substr(0, 2)); first && *first > 12) {
        message("Det finns bara 12 månader på ett år!", "Felaktig inmatning", Buttons::Ok,
                Icon::Exclamation);
        clearList(m_cmbSok[1]);
        return;
    }
    if (month == "00" || month == "0") {
        message("Månad nummer \"" + month + "\" finns inte.", "Felaktig inmatning", Buttons::Ok,
                Icon::Exclamation);
        clearList(m_cmbSok[1]);
        return;
    }
    const auto monthNumber = core::parseDigits(month);
    if (!monthNumber) {
        return; // not a month at all: nothing to look up
    }
    std::string yearPart = year;
    if (yearPart.size() < 2) {
        yearPart.assign(1, '0').append(core::trimBlanks(year));
    }
    std::string monthPart = month;
    if (monthPart.size() < 2) {
        monthPart.assign(1, '0').append(core::trimBlanks(month));
    }
    const std::string monthFile = storage::monthFileName(yearPart, monthPart);

    if (core::trimBlanks(day).empty()) {
        if (!m_quietView) {
            message("Du måste ange ett datum att söka på", "Felaktig inmatning", Buttons::Ok,
                    Icon::None);
        }
        return;
    }
    const auto dayNumber = core::parseDigits(day);
    if (!dayNumber) {
        return;
    }
    if (*dayNumber < 1) {
        message("Dag med datum noll finns inte.", "felaktig inmatning", Buttons::Ok,
                Icon::Exclamation);
        clearList(m_cmbSok[2]);
        return;
    }
    if (*dayNumber > 31) {
        message("Ingen månad har fler än 31 dagar.", "felaktig inmatning", Buttons::Ok,
                Icon::Exclamation);
        clearList(m_cmbSok[2]);
        return;
    }

    // The month is read once, here; the month figures are worked out from the same read.
    const storage::MonthRead read = storage::readMonth(m_services.files, monthFile);
    if (unusable(read.state)) {
        reportUnusable(monthFile, read.state);
        m_quietView = false;
        showDayHeadings();
        m_dayMissing = true;
        manad(read);
        return;
    }
    m_reportedFile.clear();
    const core::DayRecord& record = read.days[static_cast<std::size_t>(*dayNumber - 1)];
    if (!read.hasRecords() || !core::dayHasRecord(record)) {
        if (!m_quietView) {
            message("Någon post har inte sparats den " + std::to_string(*dayNumber) + " " +
                        std::string(core::monthNameLower(*monthNumber)) + " 20" + yearPart + ".",
                    "Ingen post hittas", Buttons::Ok, Icon::None);
        }
        m_quietView = false;
        showDayHeadings();
        m_dayMissing = true;
        manad(read);
        return;
    }

    const core::DayFigures figures = core::dayFigures(record, m_settings.dailyAllowance);
    forms::showLabel(m_lblDagskost, figures.cost);
    forms::showLabel(m_lblDagstid, figures.connected);
    forms::showLabel(m_lblTidkvar, figures.remaining);
    m_quietView = false;
    manad(read);
}

void frmSurfur::manad(const storage::MonthRead& month) {
    // The plan is the one read at start or stored by the plan window: the settings file is not
    // read again for every refresh.
    if (unusable(month.state)) {
        // No figures can be worked out: the headings are shown; the day view has told the user.
        ram();
        m_ramMonadstid->setTitle(qs(m_monthCaption));
        m_dayMissing = false;
        const core::MonthFigures headings = core::emptyMonthFigures(m_settings.dailyAllowance);
        forms::showLabel(m_lblKostnad, headings.cost);
        forms::showLabel(m_lblDyrtid, headings.extra);
        forms::showLabel(m_lblTid, headings.connected);
        forms::showLabel(m_lblSumma, {"Total månadskostnad:", core::Colour::Normal});
        return;
    }
    if (month.hasRecords()) {
        const core::MonthSums sums = core::sumMonth(month.days);
        const core::MonthFigures figures = core::monthFigures(sums, m_settings.dailyAllowance);
        forms::showLabel(m_lblSumma, figures.total);
        forms::showLabel(m_lblTid, figures.connected);
        forms::showLabel(m_lblDyrtid, figures.extra);
        forms::showLabel(m_lblKostnad, figures.cost);
        m_monthTimeText = figures.monthTimeText;
        m_monthExtraText = figures.monthExtraText;
        m_monthCostText = figures.monthCostText;
        m_cmdKastamon->setEnabled(true);
        // The frame names the month whose figures it shows.
        ram();
        m_ramMonadstid->setTitle(qs(m_monthCaption));
        return;
    }

    const core::MonthFigures figures = core::emptyMonthFigures(m_settings.dailyAllowance);
    forms::showLabel(m_lblSumma, figures.total);
    ram();
    m_ramMonadstid->setTitle(qs(m_monthCaption));
    if (!m_dayMissing) {
        message("Inga poster finns sparade i " + m_monthCaption + ".", "Ingen post hittas",
                Buttons::Ok, Icon::None);
    }
    m_dayMissing = false;
    forms::showLabel(m_lblKostnad, figures.cost);
    forms::showLabel(m_lblDyrtid, figures.extra);
    forms::showLabel(m_lblTid, figures.connected);
}

frmSurfur::Booking frmSurfur::summera() {
    m_yearText = core::fixedWidth(listText(0), 2);
    m_monthText = core::fixedWidth(listText(1), 2);
    m_dayText = core::fixedWidth(listText(2), 2);

    const core::TimeTexts times = {timeText(0), timeText(1), timeText(2)};
    if (core::nothingToBook(times)) {
        m_nothingEntered = true;
        return Booking::NothingEntered;
    }

    storage::BookingRequest request;
    request.yearText = m_yearText;
    request.monthText = m_monthText;
    request.day = core::parseDigits(m_dayText).value_or(0);
    request.seconds = core::enteredSeconds(times);
    request.dailyAllowance = m_settings.dailyAllowance;
    const storage::BookingResult result = storage::bookTime(m_services.files, request);

    // A refused booking changes no file, so the undo, redo and restore buttons keep their state.
    switch (result.outcome) {
    case storage::BookingOutcome::DayFull:
        message("Du kan inte mata in mer tid än 24 timmar per dygn", "Dygnet är slut", Buttons::Ok,
                Icon::Exclamation);
        return Booking::DayFull;
    case storage::BookingOutcome::NoPlan:
        message("Tiden kan inte sparas, eftersom abonnemanget inte är känt: filen tid.it kunde "
                "inte läsas.\nIngen tid har bokförts.",
                "Kan inte spara", Buttons::Ok, Icon::Exclamation);
        return Booking::NotBooked;
    case storage::BookingOutcome::Failed:
        message("Tiden kunde inte sparas, eftersom filen " + result.entryFile +
                    (result.monthState == storage::MonthState::Damaged
                         ? " är skadad."
                         : " inte gick att läsa eller skriva.") +
                    "\nIngen tid har bokförts.",
                "Kan inte spara", Buttons::Ok, Icon::Exclamation);
        return Booking::NotBooked;
    case storage::BookingOutcome::Booked:
    case storage::BookingOutcome::BookedWithoutUndo:
        break;
    }

    // The booking swept the copies of the last booking and of any deletion.
    m_entryFile = result.entryFile;
    m_entryBackup = result.entryBackup;
    m_cmdRedo->setEnabled(false);
    m_cmdAngra->setEnabled(result.outcome == storage::BookingOutcome::Booked);
    m_cmdAngramon->setVisible(false);
    m_cmdKastamon->setVisible(true);
    m_cmdAngrapost->setVisible(false);
    m_cmdKastapost->setVisible(true);

    visa();
    ram();
    m_ramMonadstid->setTitle(qs(m_monthCaption));
    return Booking::Booked;
}

// ---------------------------------------------------------------------------------------------
// Handlers

void frmSurfur::cmbSok_Click(int /*index*/) {
    // When the new month lacks the chosen day, rebuilding the day list chooses the month's last
    // day, and the run of this handler for that choice does all that is to be done.
    if (skott()) {
        return;
    }
    m_dateInvalid = false;
    m_quietView = true;
    visa();
    m_yearText = core::fixedWidth(listText(0), 2);
    m_monthText = core::fixedWidth(listText(1), 2);
    m_dayText = core::fixedWidth(listText(2), 2);
    const QString caption = qs(core::shownDateText(m_yearText, m_monthText, m_dayText));
    m_lblVisa[3]->setText(caption);
    if (caption.size() < 20) {
        m_lblVisa[3]->setText(QString::fromUtf8(kInvalidDate));
        m_dateInvalid = true;
    }
}

void frmSurfur::cmbTid_Change(int index) {
    siffra();
    if (index == 0 && m_cmbTid[0]->currentText().size() == 1) {
        m_cmbTid[1]->setFocus();
    }
    if (index == 1 && m_cmbTid[1]->currentText().size() > 1) {
        m_cmbTid[2]->setFocus();
    }
}

void frmSurfur::cmdSpara_Click() {
    m_cmbTid[1]->setFocus();
    if (m_dateInvalid) {
        message("Felaktigt datum. Ändra innnan du sparar.", "Felaktigt datum!", Buttons::Ok,
                Icon::Exclamation);
        return;
    }
    const Booking booking = summera();
    if (m_nothingEntered) {
        m_nothingEntered = false;
        return;
    }
    if (booking == Booking::NotBooked) {
        return; // nothing was booked: the typed time stays for another try
    }
    for (int i = 0; i < 3; ++i) {
        setTimeText(i, std::string());
    }
}

void frmSurfur::cmdStang_Click() {
    // The copies go only once the program really ends: a cancelled close keeps them.
    const auto endSweeping = [this] {
        storage::sweepBackups(m_services.files);
        endProgram();
    };
    if (m_lblVisa[3]->text() == QString::fromUtf8(kInvalidDate)) {
        endSweeping();
        return;
    }
    if (core::somethingTyped({timeText(0), timeText(1), timeText(2)})) {
        const Answer answer = message("Vill du spara innan du stänger programmet?",
                                      "Spara inmatade värden?", Buttons::YesNoCancel, Icon::None);
        if (answer == Answer::Cancel) {
            return;
        }
        if (answer == Answer::No) {
            endSweeping();
            return;
        }
    }
    switch (summera()) {
    case Booking::NotBooked:
        return; // the time could not be booked: stay open so that it is not lost
    case Booking::Booked:
        endProgram(); // the booking swept the older copies; its own undo copy stays
        return;
    case Booking::NothingEntered:
    case Booking::DayFull:
        endSweeping();
        return;
    }
}

void frmSurfur::cmdKastamon_MouseMove() {
    ram();
    m_cmdKastamon->setToolTip(qs("Tar bort all tid under hela " + m_monthCaption + "."));
}

void frmSurfur::cmdKastapost_MouseMove() {
    ram();
    m_cmdKastapost->setToolTip(
        qs("Tar bort all sparad tid den " + m_shownDay + " " + m_monthCaption + "."));
}

void frmSurfur::cmdPrint_MouseMove() {
    ram();
    m_cmdPrint->setToolTip(qs("Skriver ut tider och kostnader för " + m_monthCaption + "."));
}

void frmSurfur::cmdAngramon_MouseMove() {
    m_cmdAngramon->setToolTip(qs("Återställer all tid i hela " + m_deletedMonthText + "."));
}

void frmSurfur::cmdAngrapost_MouseMove() {
    m_cmdAngrapost->setToolTip(qs("Återställer all sparad tid den " + m_deletedDayText + "."));
}

bool frmSurfur::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ShortcutOverride &&
        std::find(m_cmbTid.begin(), m_cmbTid.end(), watched) != m_cmbTid.end()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y)) {
            event->ignore(); // left to the window's shortcuts
            return true;
        }
    }
    // A button's changing hint is set when the mouse comes to it, and when the keyboard does, so
    // that it is what the button says to the user either way.
    if (type == QEvent::MouseMove || type == QEvent::Enter || type == QEvent::ToolTip ||
        type == QEvent::FocusIn) {
        if (watched == m_cmdKastamon) {
            cmdKastamon_MouseMove();
        } else if (watched == m_cmdKastapost) {
            cmdKastapost_MouseMove();
        } else if (watched == m_cmdPrint) {
            cmdPrint_MouseMove();
        } else if (watched == m_cmdAngramon) {
            cmdAngramon_MouseMove();
        } else if (watched == m_cmdAngrapost) {
            cmdAngrapost_MouseMove();
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
    cmdStang_Click();
    event->setAccepted(m_ending);
}

void frmSurfur::endProgram() {
    m_ending = true;
    if (m_frmNetlink != nullptr) {
        m_frmNetlink->hide();
    }
    close();
    emit programEnded();
}

// ---------------------------------------------------------------------------------------------
// Undo and redo

void frmSurfur::cmdAngra_Click() {
    const storage::SwapResult swap =
        storage::swapWithBackup(m_services.files, m_entryFile, m_entryBackup);
    if (!swap.swapped) {
        swapNotPossible("Den senaste inmatningen kan inte ångras.", "Ångra är inte möjligt");
        return;
    }
    m_cmdAngra->setEnabled(false);
    m_cmdRedo->setEnabled(true);

    const std::string shownMonth = chosenMonthFile();
    if (swap.backupLength != 0 || shownMonth != m_entryFile) {
        // The figures shown are read again; a month other than the one undone is shown as it is.
        m_quietView = true;
        visa();
        return;
    }
    // The month had nothing before the booking that was taken back.
    showEmptyMonth();
}

void frmSurfur::cmdRedo_Click() {
    const storage::SwapResult swap =
        storage::swapWithBackup(m_services.files, m_entryFile, m_entryBackup);
    if (!swap.swapped) {
        swapNotPossible("Den senaste inmatningen kan inte göras om.", "Gör om är inte möjligt");
        return;
    }
    m_cmdAngra->setEnabled(true);
    m_cmdRedo->setEnabled(false);
    m_quietView = true;
    visa();
}

void frmSurfur::swapNotPossible(const std::string& what, const std::string& title) {
    message(what + "\nKopian av månaden saknas eller kunde inte bytas ut, så månadsfilen och "
                   "kopian har lämnats som de var.",
            title, Buttons::Ok, Icon::Exclamation);
    m_cmdAngra->setEnabled(false);
    m_cmdRedo->setEnabled(false);
}

void frmSurfur::showEmptyMonth() {
    const auto normal = core::Colour::Normal;
    forms::showLabel(m_lblDagskost, {"Kostnad:", normal});
    forms::showLabel(m_lblDagstid, {"Tid i dag:", core::Colour::Unchanged});
    forms::showLabel(m_lblTidkvar, {"Tid kvar: / Extra tid:", normal});
    forms::showLabel(m_lblTid, {"Månadstid:", core::Colour::Unchanged});
    forms::showLabel(m_lblDyrtid, {"Extra månadstid:", normal});
    forms::showLabel(m_lblKostnad, {"Månadskostnad:", normal});
    showFeeOnlyTotal();
}

void frmSurfur::showFeeOnlyTotal() {
    forms::setLabelColour(m_lblSumma, core::Colour::Normal);
    if (const auto total = core::feeOnlyTotalText(m_settings.dailyAllowance)) {
        m_lblSumma->setText(qs(*total));
    }
}

// ---------------------------------------------------------------------------------------------
// Deleting and restoring

void frmSurfur::cmdKastapost_Click() {
    const std::string file = chosenMonthFile();
    const std::string dayText = core::fixedWidth(listText(2), 2);
    const int day = core::parseDigits(dayText).value_or(0);

    const auto noRecord = [&] {
        ram();
        message("Ingen post finns sparad den " + dayText + " " + m_monthCaption + ".",
                "Finns ingen post att ta bort!", Buttons::Ok, Icon::None);
    };
    const storage::MonthState state = storage::monthState(m_services.files, file);
    if (unusable(state)) {
        reportUnusable(file, state, true);
        return;
    }
    if (state != storage::MonthState::HasRecords) {
        noRecord();
        return;
    }
    ram();
    if (message("Vill du ta bort alla inmatade tider den " + dayText + " " + m_monthCaption + "?",
                "All tid tas bort!", Buttons::YesNo, Icon::Exclamation) != Answer::Yes) {
        return; // nothing has changed: the copies and the buttons stay as they were
    }
    switch (storage::deleteDay(m_services.files, file, day)) {
    case storage::DayDeletion::NoRecord:
        noRecord();
        return;
    case storage::DayDeletion::Failed:
        message("Tiden den " + dayText + " " + m_monthCaption +
                    " kunde inte tas bort, eftersom filen " + file +
                    " inte gick att läsa eller skriva.\nIngenting har ändrats.",
                "Kan inte ta bort", Buttons::Ok, Icon::Exclamation);
        return;
    case storage::DayDeletion::Deleted:
        break;
    }
    m_deletedDayFile = file;
    m_deletedDay = day;
    // The deletion ends what undo and redo could bring back: a redo now would put back a month
    // that still holds the deleted day, or take away the one restored.
    m_cmdAngra->setEnabled(false);
    m_cmdRedo->setEnabled(false);
    if (!m_entryBackup.empty()) {
        m_services.files.removeFile(m_entryBackup);
    }
    m_cmdKastapost->setVisible(false);
    m_cmdAngrapost->setVisible(true);
    m_cmdAngramon->setEnabled(false);
    m_quietView = true;
    m_deletedDayText = m_shownDay + " " + m_monthCaption;
    visa();
}

void frmSurfur::cmdAngrapost_Click() {
    if (message("Vill du återställa all sparad tid den " + m_deletedDayText + ".",
                "Återställ borttagen post", Buttons::YesNo, Icon::None) != Answer::Yes) {
        return;
    }
    const storage::DayRestore restore =
        storage::restoreDay(m_services.files, m_deletedDayFile, m_deletedDay);
    m_cmdAngrapost->setVisible(false);
    m_cmdKastapost->setVisible(true);
    std::string why;
    switch (restore) {
    case storage::DayRestore::Restored:
        m_quietView = true;
        visa();
        return;
    case storage::DayRestore::BackupMissing:
    case storage::DayRestore::BackupUnusable:
        why = copyCannotServe(storage::kDayBackup, restore == storage::DayRestore::BackupMissing);
        break;
    case storage::DayRestore::MonthChanged:
        why = "månaden har ändrats sedan dagen togs bort.";
        break;
    case storage::DayRestore::Failed:
        why = "filen " + m_deletedDayFile + " inte gick att skriva.";
        break;
    }
    message("Tiden den " + m_deletedDayText + " kan inte återställas, eftersom " + why +
                "\nIngenting har skrivits över.",
            "Återställ borttagen post", Buttons::Ok, Icon::Exclamation);
}

void frmSurfur::cmdKastamon_Click() {
    const std::string file = chosenMonthFile();
    const storage::MonthState state = storage::monthState(m_services.files, file);
    if (unusable(state)) {
        reportUnusable(file, state, true);
        return;
    }
    if (state != storage::MonthState::HasRecords) {
        ram();
        message("Du behöver inte ta bort " + m_monthCaption + ". Inga poster finns sparade.",
                "Finns inga poster att ta bort!", Buttons::Ok, Icon::None);
        return; // nothing deleted: the copies and the buttons stay as they were
    }
    ram();
    if (message("Vill du ta bort alla inmatade poster i " + m_monthCaption + "?",
                "Alla värden raderas!", Buttons::YesNo, Icon::Exclamation) != Answer::Yes) {
        return;
    }
    // A copy of a month deleted before, whose restore is no longer offered, gives way.
    m_services.files.removeFile(storage::kMonthBackup);
    if (!storage::deleteMonth(m_services.files, file)) {
        message(m_monthCaption + " kunde inte tas bort.\nIngenting har ändrats.",
                "Kan inte ta bort", Buttons::Ok, Icon::Exclamation);
        return;
    }
    // The deletion ends undo, redo and the restore of a day: their copies go.
    for (const std::string_view copy :
         {std::string_view(m_entryBackup), storage::kDayBackup, storage::kNewMonthFile}) {
        if (!copy.empty()) {
            m_services.files.removeFile(copy);
        }
    }
    m_deletedMonthFile = file;
    m_cmdAngra->setEnabled(false);
    showFeeOnlyTotal();
    m_deletedMonthText = m_monthCaption;
    m_cmdRedo->setEnabled(false);
    m_cmdKastamon->setVisible(false);
    m_cmdAngramon->setVisible(true);
    m_cmdAngramon->setEnabled(true);
    m_quietView = true;
    m_cmdAngrapost->setVisible(false);
    m_cmdKastapost->setVisible(true);
    visa();
}

void frmSurfur::cmdAngramon_Click() {
    if (message("Vill du återställa alla poster i " + m_deletedMonthText + "?",
                "Återställ borttagen månad", Buttons::YesNo, Icon::None) != Answer::Yes) {
        return;
    }
    const storage::MonthRestore restore =
        storage::restoreMonth(m_services.files, m_deletedMonthFile);
    m_cmdAngramon->setVisible(false);
    m_cmdKastamon->setVisible(true);
    std::string why;
    switch (restore) {
    case storage::MonthRestore::Restored:
        m_cmdKastapost->setEnabled(true);
        m_quietView = true;
        visa();
        return;
    case storage::MonthRestore::MonthExists:
        why = "nya poster har sparats i månaden sedan den togs bort.";
        break;
    case storage::MonthRestore::BackupMissing:
    case storage::MonthRestore::BackupUnusable:
        why =
            copyCannotServe(storage::kMonthBackup, restore == storage::MonthRestore::BackupMissing);
        break;
    case storage::MonthRestore::Failed:
        why = "filen " + m_deletedMonthFile + " inte gick att skapa.";
        break;
    }
    message(m_deletedMonthText + " kan inte återställas, eftersom " + why +
                "\nIngenting har skrivits över.",
            "Återställ borttagen månad", Buttons::Ok, Icon::Exclamation);
}

void frmSurfur::cmdKasta_Click() {
    if (message("Alla sparade värden försvinner\noch kan inte återskapas.\nVill du fortsätta?\n"
                "Programmet kommer att stängas.",
                "Allt raderas!", Buttons::YesNo, Icon::Stop, true) != Answer::Yes) {
        return;
    }
    if (!storage::deleteEverything(m_services.files)) {
        message("Alla filer kunde inte tas bort. Det som inte gick att ta bort finns kvar i "
                "programmets datamapp.\nProgrammet stängs nu.",
                "Kan inte ta bort allt", Buttons::Ok, Icon::Exclamation);
    }
    endProgram();
}

// ---------------------------------------------------------------------------------------------
// The month report

void frmSurfur::cmdPrint_Click() {
    const std::string file = chosenMonthFile();
    // The month is read whole, once, before the dialog, so no file is left open whatever
    // happens later.
    const storage::MonthRead month = storage::readMonth(m_services.files, file);
    ram();
    if (unusable(month.state)) {
        reportUnusable(file, month.state, true);
        return;
    }
    if (!month.hasRecords()) {
        message("Inga poster har sparats i " + m_monthCaption + "\nDet finns inget att skriva ut",
                "Utskrift är inte möjlig!", Buttons::Ok, Icon::Exclamation);
        return;
    }
    const std::optional<int> copies = m_services.printDialog.ask();
    if (!copies) {
        return;
    }
    core::MonthReportInput report;
    report.records = month.records();
    report.dailyAllowance = m_settings.dailyAllowance;
    report.monthCaption = m_monthCaption;
    report.monthTimeText = m_monthTimeText;
    report.monthExtraText = m_monthExtraText;
    report.monthCostText = m_monthCostText;
    report.copies = *copies;
    if (!m_services.printer.print(core::monthReport(report))) {
        message("Utskriften av " + m_monthCaption +
                    " misslyckades. Skrivaren eller filen som valdes i utskriftsdialogen gick "
                    "inte att skriva till.\nKontrollera den och försök igen.",
                "Utskriften misslyckades", Buttons::Ok, Icon::Exclamation);
    }
}

// ---------------------------------------------------------------------------------------------
// The range window

void frmSurfur::cmdFran_till_Click() {
    hide();
    auto* window = new forms::frmFran_till(m_services, m_settings, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_frmFran_till = window;
    connect(window, &forms::frmFran_till::closed, this, [this] {
        show();
        Form_Activate();
    });
    window->show();
}

// ---------------------------------------------------------------------------------------------
// The help window

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

// ---------------------------------------------------------------------------------------------
// Helpers

void frmSurfur::reportUnusable(const std::string& file, storage::MonthState state, bool always) {
    // Once per cause: the month shown is not reported again at every refresh of it.
    if (!always && file == m_reportedFile) {
        return;
    }
    m_reportedFile = file;
    if (state == storage::MonthState::Damaged) {
        message("Filen " + file +
                    " är skadad: den är större än en månadsfil kan vara, eller är ingen vanlig "
                    "fil.\nMånadens tider kan inte visas, och filen lämnas orörd.",
                "Skadad fil", Buttons::Ok, Icon::Exclamation);
        return;
    }
    message("Filen " + file + " kunde inte läsas, så månadens tider kan inte visas.",
            "Kan inte läsa", Buttons::Ok, Icon::Exclamation);
}

void frmSurfur::showDayHeadings() {
    const core::DayFigures headings = core::dayHeadings();
    forms::showLabel(m_lblDagstid, headings.connected);
    forms::showLabel(m_lblTidkvar, headings.remaining);
    forms::showLabel(m_lblDagskost, headings.cost);
}

platform::MessageBox::Answer frmSurfur::message(const std::string& text, const std::string& title,
                                                Buttons buttons, Icon icon, bool secondIsDefault) {
    return m_services.messages.show(text, title, buttons, icon, secondIsDefault);
}

std::string frmSurfur::chosenMonthFile() const {
    return storage::monthFileName(core::fixedWidth(listText(0), 2),
                                  core::fixedWidth(listText(1), 2));
}

std::string frmSurfur::listText(int index) const {
    return m_cmbSok[static_cast<std::size_t>(index)]->currentText().toStdString();
}

std::string frmSurfur::timeText(int index) const {
    return m_cmbTid[static_cast<std::size_t>(index)]->currentText().toStdString();
}

void frmSurfur::setTimeText(int index, const std::string& text) {
    QComboBox* field = m_cmbTid[static_cast<std::size_t>(index)];
    const QSignalBlocker blocker(field);
    if (text.empty()) {
        field->setCurrentIndex(-1);
    }
    field->setEditText(qs(text));
}

} // namespace app
