#include "forms/frmHjalp.h"

#include "forms/widget_helpers.h"
#include "ui_frmHjalp.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QUrl>
#include <algorithm>

namespace forms {

namespace {

constexpr int kIconSize = 32;
// The links use the size of the lines they stand beside.
constexpr int kLinkPointSize = 8;

} // namespace

frmHjalp::frmHjalp(platform::Services services, const core::ProgramSettings& settings,
                   QWidget* parent)
    : ToolWindow(parent), m_ui(std::make_unique<Ui::frmHjalp>()), m_presenter(services, settings) {
    m_ui->setupUi(this);
    setFirstFocus(m_ui->aghHjalp_0);

    m_ui->picSurfur->setFixedSize(kIconSize, kIconSize);
    m_ui->picSurfur->setPixmap(
        programIcon("surfklocka").pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF()));

    const std::array<QPushButton*, 3> links = aghHjalp();
    for (std::size_t i = 0; i < links.size(); ++i) {
        QPushButton* link = links[i];
        QFont linkFont = link->font();
        linkFont.setPointSize(kLinkPointSize);
        linkFont.setUnderline(true);
        link->setFont(linkFont);
        QPalette palette = link->palette();
        palette.setColor(QPalette::ButtonText, palette.color(QPalette::Link));
        link->setPalette(palette);
        const int index = static_cast<int>(i);
        connect(link, &QPushButton::clicked, this, [this, index] { aghHjalp_Click(index); });
    }

    // The close action: Ctrl+Q as in the main window, and Escape.
    m_ui->actStang->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::Key_Escape)});
    m_ui->actStang->setIcon(programIcon("stang"));
    m_ui->cmdStang->setDefaultAction(m_ui->actStang);
    connect(m_ui->actStang, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->txtHjalp, &QTextBrowser::anchorClicked, this, &frmHjalp::txtHjalp_AnchorClicked);

    render(m_presenter.load());
}

frmHjalp::~frmHjalp() = default;

std::array<QPushButton*, 3> frmHjalp::aghHjalp() const {
    return {m_ui->aghHjalp_0, m_ui->aghHjalp_1, m_ui->aghHjalp_2};
}

void frmHjalp::aghHjalp_Click(int index) {
    render(m_presenter.click(index));
}

void frmHjalp::txtHjalp_AnchorClicked(const QUrl& url) {
    if (url.scheme().isEmpty() && url.path().isEmpty() && url.hasFragment()) {
        m_ui->txtHjalp->scrollToAnchor(url.fragment());
        return;
    }
    render(m_presenter.openLink(url.toString().toStdString()));
}

void frmHjalp::render(const presenter::HelpView& view) {
    setWindowTitle(qs(view.caption));
    const std::array<QPushButton*, 3> links = aghHjalp();
    for (std::size_t i = 0; i < links.size(); ++i) {
        links[i]->setText(qs(view.aghHjalp[i].target));
        links[i]->setToolTip(qs(view.aghHjalp[i].hint));
    }
    m_ui->actStang->setToolTip(qs(view.cmdStangHint));
    showLines(view.lines);

    const bool pageShown = !view.txtHjalp.empty();
    if (pageShown && m_ui->txtHjalp->isHidden()) {
        m_ui->txtHjalp->setHtml(qs(view.txtHjalp));
        m_ui->txtHjalp->show();
        // Room for the page: about 80 characters by 30 lines, within the screen.
        const QFontMetrics metrics(font());
        QSize wanted = sizeHint().expandedTo(
            QSize(80 * metrics.averageCharWidth(), 30 * metrics.lineSpacing()));
        if (const QScreen* shown = screen()) {
            wanted = wanted.boundedTo(shown->availableGeometry().size());
        }
        resize(wanted.expandedTo(size()));
    }
}

// One label a line, in the line's size and colour, and the links placed with their lines.
void frmHjalp::showLines(const std::vector<presenter::HelpLine>& lines) {
    while (m_lines.size() < lines.size()) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("lblRad_%1").arg(m_lines.size()));
        label->setTextFormat(Qt::PlainText);
        m_lines.push_back(label);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const presenter::HelpLine& line = lines[i];
        QLabel* label = m_lines[i];
        QFont lineFont = font();
        if (line.pointSize > 0) {
            lineFont.setPointSize(line.pointSize);
        }
        label->setFont(lineFont);
        // An empty line is as high as a line of its font.
        label->setMinimumHeight(QFontMetrics(lineFont).lineSpacing());
        label->setText(qs(line.text));
        QPalette palette = this->palette();
        if (line.colour == presenter::HelpLine::Colour::Red) {
            palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
        } else if (line.colour == presenter::HelpLine::Colour::Normal) {
            palette.setColor(QPalette::WindowText, palette.color(QPalette::ButtonText));
        }
        label->setPalette(palette);
    }
    placeLines(lines);
}

// A link stands beside its line, or, where the screen is too narrow for that, on the empty line
// under it, as far in as the line's text.
void frmHjalp::placeLines(const std::vector<presenter::HelpLine>& lines) {
    const std::array<QPushButton*, 3> links = aghHjalp();
    const auto linkOf = [&links](const presenter::HelpLine& line) {
        return line.link >= 0 && line.link < static_cast<int>(links.size())
                   ? links[static_cast<std::size_t>(line.link)]
                   : nullptr;
    };
    int besideWidth = 0; // the widest line with its link beside it
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (QPushButton* link = linkOf(lines[i])) {
            besideWidth =
                std::max(besideWidth, m_lines[i]->sizeHint().width() + link->sizeHint().width());
        }
    }
    const QScreen* shownOn = screen();
    const bool beside =
        shownOn == nullptr ||
        besideWidth + 2 * kIconSize + 4 * style()->pixelMetric(QStyle::PM_LayoutLeftMargin) <=
            shownOn->availableGeometry().width();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int row = static_cast<int>(i);
        QPushButton* link = linkOf(lines[i]);
        const bool under =
            link != nullptr && !beside && i + 1 < lines.size() && lines[i + 1].text.empty();
        // A line without a link beside it may reach into the links' column.
        m_ui->linesLayout->addWidget(m_lines[i], row, 0, 1, link != nullptr && !under ? 1 : 2);
        if (link == nullptr) {
            continue;
        }
        const QString text = qs(lines[i].text);
        const auto blanks = text.size() - QStringView(text).trimmed().size();
        const int indent =
            under ? QFontMetrics(m_lines[i]->font()).horizontalAdvance(text.left(blanks)) : 0;
        link->setStyleSheet(
            QStringLiteral("QPushButton { border: 1px solid transparent; padding: 0px 1px; "
                           "margin-left: %1px; } "
                           "QPushButton:focus { border: 1px dotted palette(highlight); }")
                .arg(indent));
        if (under) {
            m_ui->linesLayout->addWidget(link, row + 1, 0, 1, 2, Qt::AlignLeft);
        } else {
            m_ui->linesLayout->addWidget(link, row, 1, Qt::AlignLeft);
        }
    }
}

void frmHjalp::changeEvent(QEvent* event) {
    ToolWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        showLines(m_presenter.view().lines);
    }
}

} // namespace forms
