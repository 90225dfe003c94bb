#include "forms/frmHjalp.h"

#include "forms/help_file.h"
#include "forms/widget_helpers.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace forms {

namespace {

constexpr int kIconSize = 32;
// The links use the size of the lines they stand beside.
constexpr int kLinkPointSize = 8;

} // namespace

frmHjalp::frmHjalp(platform::Services services, const core::ProgramSettings& settings,
                   QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services), m_settings(settings),
      m_lines(core::helpWindowLines()), m_links(core::helpLinks()) {
    setObjectName(QStringLiteral("frmHjalp"));

    m_picSurfur = new QLabel(this);
    m_picSurfur->setObjectName(QStringLiteral("picSurfur"));
    m_picSurfur->setAccessibleName(QStringLiteral("Surfklockas ikon"));
    m_picSurfur->setFixedSize(kIconSize, kIconSize);
    m_picSurfur->setPixmap(
        programIcon("surfklocka").pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF()));

    for (std::size_t i = 0; i < m_aghHjalp.size(); ++i) {
        auto* link = new QPushButton(qs(m_links[i].target), this);
        link->setObjectName(QStringLiteral("aghHjalp_%1").arg(i));
        link->setFlat(true);
        link->setAutoDefault(false);
        link->setCursor(Qt::PointingHandCursor);
        link->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0px 2px; }"));
        QFont linkFont = link->font();
        linkFont.setPointSize(kLinkPointSize);
        linkFont.setUnderline(true);
        link->setFont(linkFont);
        QPalette palette = link->palette();
        palette.setColor(QPalette::ButtonText, palette.color(QPalette::Link));
        link->setPalette(palette);
        const int index = static_cast<int>(i);
        connect(link, &QPushButton::clicked, this, [this, index] { aghHjalp_Click(index); });
        m_aghHjalp[i] = link;
    }

    m_cmdStang = makePictureButton(this, "cmdStang", "stang.png", QStringLiteral("Stäng"));
    connect(m_cmdStang, &QAbstractButton::clicked, this, &frmHjalp::cmdStang_Click);
    // The close button's keys: Ctrl+Q as in the main window, and Escape.
    addButtonShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_Q), m_cmdStang);
    addButtonShortcut(this, QKeySequence(Qt::Key_Escape), m_cmdStang);

    setTabOrder(m_aghHjalp[0], m_aghHjalp[1]);
    setTabOrder(m_aghHjalp[1], m_aghHjalp[2]);
    setTabOrder(m_aghHjalp[2], m_cmdStang);

    // The drawn lines are no widgets: a screen reader finds them in the window's description.
    QStringList drawn;
    for (const core::HelpLine& line : m_lines) {
        if (!line.text.empty()) {
            drawn << qs(line.text).trimmed();
        }
    }
    setAccessibleDescription(drawn.join(QLatin1Char('\n')));

    placeControls();
    Form_Load();
}

void frmHjalp::Form_Load() {
    setWindowTitle(qs(core::helpWindowCaption(m_settings.planText)));
    for (std::size_t i = 0; i < m_aghHjalp.size(); ++i) {
        m_aghHjalp[i]->setToolTip(qs(m_links[i].hint));
    }
    m_cmdStang->setToolTip(QStringLiteral("Stänger detta formulär."));
    // The help link opens the page from the data folder.
    writeHelpFileIfMissing(m_services.files);
}

void frmHjalp::cmdStang_Click() {
    close();
}

void frmHjalp::aghHjalp_Click(int index) {
    const std::string& target = m_links.at(static_cast<std::size_t>(index)).target;
    if (!m_services.links.open(target)) {
        m_services.messages.show("Det gick inte att öppna " + target + ".",
                                 "Länken kunde inte öppnas", platform::MessageBox::Buttons::Ok,
                                 platform::MessageBox::Icon::Exclamation);
    }
}

QRect frmHjalp::lineRect(std::size_t index) const {
    const std::vector<DrawnLine> lines = layoutLines();
    return index < lines.size() ? lines[index].box : QRect();
}

std::vector<frmHjalp::DrawnLine> frmHjalp::layoutLines() const {
    const int left = style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    int top = style()->pixelMetric(QStyle::PM_LayoutTopMargin);
    std::vector<DrawnLine> lines;
    lines.reserve(m_lines.size());
    for (const core::HelpLine& line : m_lines) {
        QFont lineFont = font();
        if (line.pointSize > 0) {
            lineFont.setPointSize(line.pointSize);
        }
        QColor colour;
        switch (line.colour) {
        case core::HelpLine::Colour::Initial:
            colour = palette().color(QPalette::WindowText);
            break;
        case core::HelpLine::Colour::Red:
            colour = QColor(255, 0, 0);
            break;
        case core::HelpLine::Colour::Normal:
            colour = palette().color(QPalette::ButtonText);
            break;
        }
        const QFontMetrics metrics(lineFont);
        const QRect box(left, top, metrics.horizontalAdvance(qs(line.text)), metrics.height());
        lines.push_back(DrawnLine{lineFont, colour, box, top + metrics.ascent()});
        top += metrics.lineSpacing();
    }
    return lines;
}

void frmHjalp::placeControls() {
    const std::vector<DrawnLine> lines = layoutLines();
    const int margin = style()->pixelMetric(QStyle::PM_LayoutRightMargin);
    const int spacing = style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing) > 0
                            ? style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing)
                            : 6;

    int right = 0;
    int bottom = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        right = std::max(right, lines[i].box.x() + lines[i].box.width());
        bottom = lines[i].box.y() + lines[i].box.height();
        const int link = m_lines[i].link;
        if (link < 0 || link >= static_cast<int>(m_aghHjalp.size())) {
            continue;
        }
        QPushButton* button = m_aghHjalp[static_cast<std::size_t>(link)];
        const QSize size = button->sizeHint();
        const int x = lines[i].box.x() + lines[i].box.width() + spacing;
        const int y = lines[i].box.center().y() - size.height() / 2;
        button->setGeometry(x, y, size.width(), size.height());
        right = std::max(right, x + size.width());
    }

    // The icon stands in the top right corner, clear of the welcome line.
    const int welcomeRight =
        lines.size() > 1 ? lines[1].box.x() + lines[1].box.width() + spacing + kIconSize : 0;
    const int width = std::max(right, welcomeRight) + margin;
    m_picSurfur->move(width - margin - kIconSize, style()->pixelMetric(QStyle::PM_LayoutTopMargin));

    const QSize closeSize = m_cmdStang->sizeHint();
    const int closeTop = bottom + spacing;
    m_cmdStang->setGeometry(width - margin - closeSize.width(), closeTop, closeSize.width(),
                            closeSize.height());
    setFixedSize(width, closeTop + closeSize.height() +
                            style()->pixelMetric(QStyle::PM_LayoutBottomMargin));
}

void frmHjalp::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const std::vector<DrawnLine> lines = layoutLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (m_lines[i].text.empty()) {
            continue;
        }
        painter.setFont(lines[i].font);
        painter.setPen(lines[i].colour);
        painter.drawText(QPoint(lines[i].box.x(), lines[i].baseline), qs(m_lines[i].text));
    }
}

void frmHjalp::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!m_closed) {
        m_closed = true;
        Q_EMIT closed();
    }
}

void frmHjalp::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        placeControls();
        update();
    }
}

} // namespace forms
