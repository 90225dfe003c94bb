#include "forms/frmFran_till.h"

#include "core/date_fields.h"
#include "core/range.h"
#include "core/swedish.h"
#include "core/texts.h"
#include "forms/ui_helpers.h"
#include "storage/range_totals.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>
#include <optional>

namespace forms {

using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;

namespace {

constexpr const char* kTooLongLabel = "Felaktiga datum. Längre tid än 12 månader.";
constexpr const char* kTooLongMessage = "Det går inte att summera längre\ntid än 12 månader.";
constexpr const char* kOrderMessage = "\"FRÅN\" måste vara tidigare än \"TILL\".";
constexpr const char* kRangeTitle = "Felaktiga datum";
constexpr const char* kFieldTitle = "Felaktigt datum";

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QFrame* makeLine(QWidget* parent, const QString& name, int width) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedWidth(width);
    return line;
}

// The date three date lists denote; nullopt when it is incomplete or not a real date.
std::optional<core::Date> dateOfLists(const std::array<QComboBox*, 3>& lists) {
    const auto text = [&lists](std::size_t index) {
        return core::fixedWidth(lists[index]->currentText().toStdString(), 2);
    };
    return core::dateOfTexts(text(0), text(1), text(2));
}

} // namespace

frmFran_till::frmFran_till(platform::Services services, core::ProgramSettings& settings,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services), m_settings(settings) {
    setObjectName(QStringLiteral("frmFran_till"));
    buildControls();
    connectHandlers();
    Form_Load();
}

void frmFran_till::buildControls() {
    const std::array<const char*, 6> headings = {"år:", "mån:", "dag:", "år:", "mån:", "dag:"};
    for (std::size_t i = 0; i < m_lblVisa.size(); ++i) {
        m_lblVisa[i] =
            makeLabel(this, QStringLiteral("lblVisa_%1").arg(i), QString::fromUtf8(headings[i]));
    }
    const std::array<const char*, 3> parts = {"år", "månad", "dag"};
    for (std::size_t i = 0; i < 3; ++i) {
        m_cmbFran[i] = makeDateList(this, QStringLiteral("cmbFran_%1").arg(i));
        m_cmbFran[i]->setAccessibleName(QStringLiteral("Från ") + QString::fromUtf8(parts[i]));
        m_cmbTill[i] = makeDateList(this, QStringLiteral("cmbTill_%1").arg(i));
        m_cmbTill[i]->setAccessibleName(QStringLiteral("Till ") + QString::fromUtf8(parts[i]));
    }
    for (std::size_t i = 0; i < m_Line1.size(); ++i) {
        // Line1_4, between the FRÅN and TILL dates, is the longer dash.
        m_Line1[i] = makeLine(this, QStringLiteral("Line1_%1").arg(i), i == 4 ? 24 : 8);
    }

    m_lblHit_Dit = makeLabel(this, QStringLiteral("lblHit_Dit"), QStringLiteral("Hit o Dit"));
    m_lblHit_Dit->setWordWrap(true);
    m_lblTid = makeLabel(this, QStringLiteral("lblTid"), QStringLiteral("Tid:"));
    m_lblExtrtid = makeLabel(this, QStringLiteral("lblExtrtid"), QStringLiteral("Extra tid:"));
    m_lblKost = makeLabel(this, QStringLiteral("lblKost"), QStringLiteral("Extra kostnad:"));
    m_lblTotalkost =
        makeLabel(this, QStringLiteral("lblTotalkost"), QStringLiteral("Total kostnad:"));
    m_cmdStang = makePictureButton(this, "cmdStang", "stang.png", QStringLiteral("Stäng"));

    // Headings over the six lists, the FRÅN and TILL dates side by side.
    auto* dates = new QGridLayout;
    const std::array<QWidget*, 11> row = {m_cmbFran[0], m_Line1[0], m_cmbFran[1], m_Line1[1],
                                          m_cmbFran[2], m_Line1[4], m_cmbTill[0], m_Line1[2],
                                          m_cmbTill[1], m_Line1[3], m_cmbTill[2]};
    for (std::size_t column = 0; column < row.size(); ++column) {
        dates->addWidget(row[column], 1, static_cast<int>(column));
    }
    for (std::size_t i = 0; i < m_lblVisa.size(); ++i) {
        // The headings stand over the lists, which take every second column.
        const int column = static_cast<int>(i < 3 ? i * 2 : 6 + (i - 3) * 2);
        dates->addWidget(m_lblVisa[i], 0, column);
        // The headings label their lists for assistive tools.
        m_lblVisa[i]->setBuddy(i < 3 ? m_cmbFran[i] : m_cmbTill[i - 3]);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdStang);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(dates);
    layout->addWidget(m_lblHit_Dit);
    layout->addWidget(m_lblTid);
    layout->addWidget(m_lblExtrtid);
    layout->addWidget(m_lblKost);
    layout->addWidget(m_lblTotalkost);
    layout->addLayout(buttons);

    QWidget* order[] = {m_cmbFran[0], m_cmbFran[1], m_cmbFran[2], m_cmbTill[0],
                        m_cmbTill[1], m_cmbTill[2], m_cmdStang};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void frmFran_till::connectHandlers() {
    // Selections made by code run the handlers too, nested in the code that made them.
    for (int i = 0; i < 3; ++i) {
        connect(m_cmbFran[static_cast<std::size_t>(i)], &QComboBox::currentIndexChanged, this,
                [this, i] { cmbFran_Click(i); });
        connect(m_cmbTill[static_cast<std::size_t>(i)], &QComboBox::currentIndexChanged, this,
                [this, i] { cmbTill_Click(i); });
    }
    connect(m_cmdStang, &QAbstractButton::clicked, this, &frmFran_till::cmdStang_Click);
    // The close button's keys: Ctrl+Q as in the main window, and Escape.
    addButtonShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_Q), m_cmdStang);
    addButtonShortcut(this, QKeySequence(Qt::Key_Escape), m_cmdStang);
}

// ---------------------------------------------------------------------------------------------
// Load, activation and closing

void frmFran_till::Form_Load() {
    // laddar is true here already (from the main window's load step or the last close of this
    // window); setting it again makes sure that the checks run while the defaults are chosen
    // show no message.
    m_settings.laddar = true;

    setWindowTitle(QString::fromUtf8(core::kProgramName) + QStringLiteral("      ") +
                   qs(m_settings.planText) + QStringLiteral("      Från och Till"));

    const core::DateRange range = core::defaultRange(m_services.clock.today());

    fillList(m_cmbFran[0], 1, 99, true);
    fillList(m_cmbFran[1], 1, 12, true);
    fillList(m_cmbFran[2], 1, 31, true);
    // Each selection runs cmbFran_Click; the checks end quietly until both dates are complete.
    const core::DateTexts fran = core::textsOfDate(range.from);
    selectText(m_cmbFran[0], qs(fran.year));
    selectText(m_cmbFran[1], qs(fran.month));
    selectText(m_cmbFran[2], qs(fran.day));

    fillList(m_cmbTill[0], 1, 99, true);
    fillList(m_cmbTill[1], 1, 12, true);
    fillList(m_cmbTill[2], 1, 31, true);
    // The last of these selections checks the complete default range and shows its totals.
    const core::DateTexts till = core::textsOfDate(range.to);
    selectText(m_cmbTill[0], qs(till.year));
    selectText(m_cmbTill[1], qs(till.month));
    selectText(m_cmbTill[2], qs(till.day));

    m_cmdStang->setToolTip(QStringLiteral("Stänger \"Från och Till\"."));
    m_settings.laddar = false;
}

void frmFran_till::Form_Activate() {
    m_cmdStang->setFocus();
}

void frmFran_till::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only the showing by the program hands the window over; a window coming back from being
    // minimised keeps its focus, as it does on every later activation.
    if (!m_opened && !event->spontaneous()) {
        m_opened = true;
        Form_Activate();
    }
}

void frmFran_till::cmdStang_Click() {
    close();
}

void frmFran_till::closeEvent(QCloseEvent* event) {
    // The close button, its keys, the window frame and close() all come here. The close goes
    // ahead, so Qt hides the window and, as the main window asked, deletes it.
    event->accept();
    if (m_closed) {
        return;
    }
    m_closed = true;
    resetSums();
    // The window is off the screen, and laddar set, before the main window takes over, so that
    // nothing the main window runs sees the range window as open.
    hide();
    m_settings.laddar = true;
    emit closed();
}

// ---------------------------------------------------------------------------------------------
// Handlers

void frmFran_till::cmbFran_Click(int /*index*/) {
    rangeCheck(Field::Fran);
}

void frmFran_till::cmbTill_Click(int /*index*/) {
    rangeCheck(Field::Till);
}

// The range check that follows every selection in a FRÅN or TILL list.
void frmFran_till::rangeCheck(Field field) {
    resetSums();
    if (!(field == Field::Fran ? Fran() : till())) {
        return;
    }
    const auto from = core::dateOfKey(m_franDatum);
    const auto to = core::dateOfKey(m_tillDatum);
    if (!from || !to) {
        return; // a date is incomplete or invalid: the labels keep what they show
    }
    switch (core::checkRange(*from, *to)) {
    case core::RangeCheck::WrongOrder:
        if (!m_settings.laddar) {
            m_services.messages.show(kOrderMessage, kRangeTitle, Buttons::Ok, Icon::None);
        }
        return;
    case core::RangeCheck::TooLong:
        if (!m_settings.laddar) {
            m_lblHit_Dit->setText(QString::fromUtf8(kTooLongLabel));
            m_services.messages.show(kTooLongMessage, kRangeTitle, Buttons::Ok, Icon::None);
        }
        return;
    case core::RangeCheck::Accepted:
        oppna();
        visa_summa();
        return;
    }
}

// ---------------------------------------------------------------------------------------------
// Procedures

bool frmFran_till::Fran() {
    return checkField(Field::Fran);
}

bool frmFran_till::till() {
    return checkField(Field::Till);
}

// Reads and checks one date field: its key, its text in the range text, and its invalid flag.
// A field flagged invalid blocks the check of the other field until it is itself corrected.
bool frmFran_till::checkField(Field field) {
    const bool fran = field == Field::Fran;
    if (fran ? skott_fran() : skott_till()) {
        // The day list chose the month's last day, and that selection has checked the range.
        return false;
    }
    const std::string year = core::fixedWidth(listText(field, 0), 2);
    const std::string month = core::fixedWidth(listText(field, 1), 2);
    const std::string day = core::fixedWidth(listText(field, 2), 2);
    const std::string key = year + "," + month + "," + day;
    const auto date = core::dateOfTexts(year, month, day);
    // An invalid field shows its key in place of a date text.
    const std::string dateText = date ? core::longDateText(*date) : "20" + key;
    if (fran) {
        m_franDatum = key;
        m_franText = "Från och med " + dateText;
    } else {
        m_tillDatum = key;
        m_tillText = "till och med " + dateText;
    }
    m_hitDit = m_franText + " " + m_tillText;
    m_lblHit_Dit->setText(qs(m_hitDit));

    bool& flag = fran ? m_franFel : m_tillFel;
    const bool otherFlagged = fran ? m_tillFel : m_franFel;
    if (otherFlagged) {
        showFieldError(fran ? Field::Till : Field::Fran);
    } else if (!m_settings.laddar && !date) {
        showFieldError(field);
        flag = true;
    } else {
        flag = false;
    }
    return true;
}

bool frmFran_till::skott_fran() {
    return rebuildDayList(
        m_cmbFran[2], core::daysOfListMonth(listText(Field::Fran, 0), listText(Field::Fran, 1)));
}

bool frmFran_till::skott_till() {
    return rebuildDayList(
        m_cmbTill[2], core::daysOfListMonth(listText(Field::Till, 0), listText(Field::Till, 1)));
}

void frmFran_till::oppna() {
    const auto from = dateOfLists(m_cmbFran);
    const auto to = dateOfLists(m_cmbTill);
    if (!from || !to) {
        return;
    }
    const auto totals = storage::sumRange(m_services.files, *from, *to, m_settings.dailyAllowance);
    if (!totals) {
        return;
    }
    reportUnreadable(totals->unreadableFiles);
    m_summaKostnad = totals->sums.costOre;
    m_summaTid = totals->sums.connectedSeconds;
    m_summaExtratid = totals->sums.extraSeconds;
    m_manader = totals->monthBoundaries;
    m_avgift = totals->feeKronor;
}

void frmFran_till::visa_summa() {
    core::RangeTotals totals;
    totals.sums = core::RangeSums{m_summaKostnad, m_summaTid, m_summaExtratid};
    totals.monthBoundaries = m_manader;
    totals.feeKronor = m_avgift;
    const core::RangeTexts texts = core::rangeTexts(totals);
    m_lblTid->setText(qs(texts.connected));
    m_lblExtrtid->setText(qs(texts.extra));
    m_lblKost->setText(qs(texts.cost));
    m_lblTotalkost->setText(qs(texts.total));
}

// ---------------------------------------------------------------------------------------------
// Helpers

void frmFran_till::resetSums() {
    m_summaKostnad = 0.0f;
    m_summaTid = 0;
    m_summaExtratid = 0;
    m_manader = 0;
    m_avgift = 0;
}

void frmFran_till::showFieldError(Field field) {
    const std::string name = field == Field::Fran ? "\"FRÅN\"" : "\"TILL\"";
    m_lblHit_Dit->setText(qs("Felaktigt datum i " + name + " fältet."));
    m_services.messages.show("Felaktigt datum valt i " + name + " fältet.", kFieldTitle,
                             Buttons::Ok, Icon::None);
}

void frmFran_till::reportUnreadable(const std::vector<std::string>& names) {
    std::vector<std::string> fresh;
    for (const std::string& name : names) {
        if (m_reportedFiles.insert(name).second) {
            fresh.push_back(name);
        }
    }
    if (fresh.empty()) {
        return;
    }
    // "Filen 0111.tid" or "Filerna 0111.tid, 0112.tid och 0201.tid", in calendar order.
    std::string files = fresh.front();
    for (std::size_t i = 1; i < fresh.size(); ++i) {
        files += (i + 1 == fresh.size() ? " och " : ", ") + fresh[i];
    }
    const std::string text =
        fresh.size() == 1
            ? "Filen " + files + " kunde inte läsas, så tiden i den månaden är inte med i summorna."
            : "Filerna " + files +
                  " kunde inte läsas, så tiden i de månaderna är inte med i summorna.";
    m_services.messages.show(text, "Kan inte läsa", Buttons::Ok, Icon::Exclamation);
}

std::string frmFran_till::listText(Field field, int index) const {
    const auto& lists = field == Field::Fran ? m_cmbFran : m_cmbTill;
    return lists[static_cast<std::size_t>(index)]->currentText().toStdString();
}

} // namespace forms
