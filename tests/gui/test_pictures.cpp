// What the windows' start leaves out, and that nothing is lost by it. The main window shown with
// its month frame loads no image-format plugin, the frame is drawn from the very picture Qt's own
// loading gives, under the key Qt looks it up by, and the icons' compiled-in pixels are exactly
// what Qt's PNG reader reads from the pictures the build drew. Printing and SVG pictures come
// from the printing module, which gives the same pictures.

#include "app/modules.h"
#include "forms/group_box_frame.h"
#include "forms/icon_pixels.h"
#include "forms/month_chart_painter.h"
#include "forms/number_list.h"
#include "forms/steady_label.h"
#include "forms/text_label.h"
#include "harness.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QScopeGuard>
#include <QStyleFactory>
#include <QTest>
#include <array>
#include <dlfcn.h>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// The image-format plugins this process has loaded, from its memory map.
QStringList loadedImagePlugins() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    QStringList plugins;
    if (!maps.open(QIODevice::ReadOnly)) {
        plugins << QStringLiteral("(/proc/self/maps could not be read)");
        return plugins;
    }
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QString path = QString::fromLocal8Bit(line.mid(line.indexOf('/')));
        if (path.contains(QStringLiteral("/imageformats/")) && !plugins.contains(path)) {
            plugins << path;
        }
    }
    return plugins;
}

QImage readPng(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

// A window of three figures in a column that stretches beside a fixed text, as the main window's
// figures are laid out; steady or not, and counting the times it is asked to lay itself out.
class Figures : public QObject {
public:
    explicit Figures(bool steady) {
        auto* row = new QHBoxLayout(&m_window);
        auto* column = new QVBoxLayout;
        row->addLayout(column, 1);
        row->addWidget(new QLabel(QStringLiteral("Ta bort"), &m_window), 0, Qt::AlignTop);
        for (QLabel*& label : labels) {
            label = new QLabel(QStringLiteral("Tid i dag: 1 h 2 m 3 s"), &m_window);
            column->addWidget(label);
            label->installEventFilter(this);
            if (steady) {
                forms::keepLabelSteady(label);
            }
        }
        m_window.installEventFilter(this);
        m_window.show();
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        layoutRequests += event->type() == QEvent::LayoutRequest ? 1 : 0;
        const auto* label = qobject_cast<QLabel*>(watched);
        if (event->type() == QEvent::Paint && label != nullptr &&
            label->width() < label->sizeHint().width()) {
            ++cutPaints; // painted before the window made room for its text
        }
        return QObject::eventFilter(watched, event);
    }
    QWidget& window() { return m_window; }

    std::array<QLabel*, 3> labels{};
    int layoutRequests = 0;
    int cutPaints = 0;

private:
    QWidget m_window;
};

// Fusion, but no list's popup follows the mouse unless drawn as a menu, and, if told, every
// list's popup is drawn as a menu, as on a Mac.
class UntrackedPopups : public QProxyStyle {
public:
    explicit UntrackedPopups(bool menus) : QProxyStyle(QStringLiteral("Fusion")), m_menus(menus) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_ComboBox_Popup && m_menus) {
            return 1;
        }
        if (hint == SH_ComboBox_ListMouseTracking) {
            return 0;
        }
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }

private:
    bool m_menus;
};

class PicturesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // First, while nothing has loaded a plugin yet.
    void theMainWindowIsShownWithItsMonthFrameAndNoImagePlugin() {
        QVERIFY(loadedImagePlugins().isEmpty());
        m_frames = forms::keepGroupBoxFrameCached(QCoreApplication::instance());
        testing_support::Harness harness;
        harness.storePlan("1 h / dygn", 3600);
        app::frmSurfur& window = harness.start();
        auto* frame = harness.find<QGroupBox>("ramMonadstid");
        QVERIFY(frame != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Painted: the frame's picture came from the cache, not from a file.
        QVERIFY(!frame->grab().isNull());
        QCOMPARE(loadedImagePlugins(), QStringList());
    }

    // The month frame copied from its picture is, pixel for pixel, the frame the style draws: at
    // the start's size, and again at a larger size.
    void theMonthFrameIsCopiedAsTheStyleDrawsIt() {
        testing_support::Harness harness;
        harness.storePlan("1 h / dygn", 3600);
        app::frmSurfur& window = harness.start();
        auto* frame = harness.find<QGroupBox>("ramMonadstid");
        QVERIFY(frame != nullptr && QTest::qWaitForWindowExposed(&window));
        QCoreApplication* application = QCoreApplication::instance();
        for (const QSize larger : {QSize(0, 0), QSize(60, 40)}) {
            window.resize(window.size() + larger);
            frame->repaint();
            frame->repaint(); // painted twice: its picture is drawn once the events run
            QCoreApplication::processEvents();
            const QImage copied = window.grab().toImage();
            application->removeEventFilter(m_frames);
            const QImage drawn = window.grab().toImage();
            application->installEventFilter(m_frames);
            QVERIFY(!drawn.isNull());
            QCOMPARE(copied, drawn);
        }
    }

    // A list of numbers asks for the sizes a QComboBox with the same entries asks for, kept and
    // measured again at the same moments: asked for before its entries are given (an editable
    // one is asked when it is made editable; its smallest size is not asked yet) and after, when
    // first shown, after new entries once shown, in another font given to the window, in a larger
    // bold font of its own, and in another style.
    void numberListsTakeTheSizesOfComboBoxes() {
        QFont bold = QApplication::font();
        bold.setBold(true);
        bold.setPointSize(bold.pointSize() + 5);
        const std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
        QVERIFY(windows != nullptr);
        for (const bool editable : {false, true}) {
            for (const auto& list :
                 {std::pair(99, true), std::pair(59, false), std::pair(0, false)}) {
                const int last = list.first;
                const bool twoDigits = list.second;
                QWidget window;
                auto* row = new QHBoxLayout(&window);
                forms::NumberList* numbers = new forms::NumberList(&window);
                auto* combo = new QComboBox(&window);
                row->addWidget(numbers);
                row->addWidget(combo);
                const auto fill = [&](int from, int to) {
                    numbers->setNumbers(from, to, twoDigits);
                    combo->clear();
                    for (int n = from; n <= to; ++n) {
                        combo->addItem(QString::number(n).rightJustified(twoDigits ? 2 : 1, u'0'));
                    }
                };
                QStringList differ;
                const auto compare = [&](const char* when) {
                    if (numbers->sizeHint() != combo->sizeHint() ||
                        numbers->minimumSizeHint() != combo->minimumSizeHint()) {
                        differ << QString::fromLatin1(when);
                    }
                };
                numbers->setEditable(editable);
                combo->setEditable(editable);
                QCOMPARE(numbers->sizeHint(), combo->sizeHint()); // the smallest not asked yet
                fill(1, last);
                compare("with entries");
                window.show();
                compare("shown");
                fill(100, 100 + last);
                compare("new entries once shown");
                window.setFont(QFont(QStringLiteral("DejaVu Serif"), 13));
                compare("in another font");
                numbers->setFont(bold);
                combo->setFont(bold);
                compare("in a larger bold font");
                numbers->setStyle(windows.get());
                combo->setStyle(windows.get());
                compare("in another style");
                QVERIFY2(differ.isEmpty(), qPrintable(differ.join(u", ")));
            }
        }
    }

    // A text label asks for the sizes a QLabel with the same settings asks for: measured itself
    // (a mnemonic with a buddy, a frame's indent, margins, alignments, a smallest size, two lines
    // justified, a style sheet) or by QLabel (a '&' once its buddy has gone, wrapping, rich text),
    // and again after each change that moves its size.
    void textLabelsTakeTheSizesOfLabels() {
        using Set = std::function<void(QLabel*, QWidget*)>;
        const std::vector<std::pair<QString, Set>> cases = {
            {QStringLiteral("&Dag:"), [](QLabel* l, QWidget* w) { l->setBuddy(w); }},
            {QStringLiteral("&Dag:"),
             [](QLabel* l, QWidget* w) {
                 l->setBuddy(w);
                 l->setBuddy(nullptr);
             }},
            {QStringLiteral("Tid i dag: 1:05"),
             [](QLabel* l, QWidget*) {
                 l->setFrameStyle(QFrame::Box);
                 l->setLineWidth(3);
                 l->setAlignment(Qt::AlignRight | Qt::AlignBottom);
             }},
            {QStringLiteral("Kostnad:"),
             [](QLabel* l, QWidget*) {
                 l->setIndent(9);
                 l->setMargin(4);
                 l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
                 l->setContentsMargins(1, 2, 3, 4);
             }},
            {QStringLiteral("Tid\nKostnad"),
             [](QLabel* l, QWidget*) {
                 l->setMinimumSize(150, 90);
                 l->setAlignment(Qt::AlignJustify);
             }},
            {QStringLiteral("Tid:"),
             [](QLabel* l, QWidget*) {
                 l->setStyleSheet(QStringLiteral("font-size: 21px"));
                 l->setAlignment(Qt::AlignBottom);
                 l->setIndent(5);
             }},
            {QStringLiteral("Extra tid i dag och i månaden"),
             [](QLabel* l, QWidget*) { l->setWordWrap(true); }},
            {QStringLiteral("<b>Tid</b>"), [](QLabel*, QWidget*) {}},
        };
        const QFont bold(QStringLiteral("DejaVu Sans"), 14, QFont::Bold);
        const std::vector<std::pair<const char*, Set>> changes = {
            {"shown", [](QLabel* l, QWidget*) { l->window()->show(); }},
            {"new text", [](QLabel* l, QWidget*) { l->setNum(1234); }},
            {"font", [&](QLabel* l, QWidget*) { l->setFont(bold); }},
            {"margin", [](QLabel* l, QWidget*) { l->setMargin(l->margin() + 2); }},
            {"indent", [](QLabel* l, QWidget*) { l->setIndent(l->indent() + 3); }},
            {"frame", [](QLabel* l, QWidget*) { l->setFrameStyle(QFrame::Panel); }},
        };
        for (const auto& [text, set] : cases) {
            QWidget window;
            auto* column = new QVBoxLayout(&window);
            std::array<QLabel*, 2> labels = {new forms::TextLabel(&window), new QLabel(&window)};
            for (QLabel* label : labels) {
                auto* buddy = new QLineEdit(&window);
                label->setText(text);
                set(label, buddy);
                column->addWidget(label);
                column->addWidget(buddy);
            }
            QStringList differ;
            const auto compare = [&](const char* when) {
                if (labels[0]->sizeHint() != labels[1]->sizeHint() ||
                    labels[0]->minimumSizeHint() != labels[1]->minimumSizeHint()) {
                    differ << QString::fromLatin1(when);
                }
            };
            compare("as set");
            for (const auto& [when, change] : changes) {
                change(labels[0], nullptr);
                change(labels[1], nullptr);
                compare(when);
            }
            QVERIFY2(differ.isEmpty(), qPrintable(text + u':' + differ.join(u", ")));
        }
    }

    // An editable number list is a QComboBox made editable in all but the completer: as large,
    // with the same line edit and, once opened, the same popup, as large and drawn alike. With
    // Fusion QComboBox makes the popup as a menu's and then changes it; it keeps the menu's
    // following of the mouse where lists do not follow it, and more of its ways where every
    // popup is a menu. Lists with a style of their own, set before they become editable, have
    // popups already; lists given one after it, before their popup is first shown, take it.
    void editableNumberListsPopUpAsComboBoxes_data() {
        QTest::addColumn<QString>("before"); // the program's style, or the lists' own
        QTest::addColumn<QString>("after");  // the lists' own style, set once editable
        for (const auto& [name, before, after] : std::array<std::array<const char*, 3>, 6>{
                 {{"Fusion", "", ""},
                  {"untracked lists", "untracked", ""},
                  {"menus", "menus", ""},
                  {"own style", "own", ""},
                  {"restyled: untracked lists", "", "untracked"},
                  {"restyled: menus", "", "menus"}}}) {
            QTest::newRow(name) << QString::fromLatin1(before) << QString::fromLatin1(after);
        }
    }
    void editableNumberListsPopUpAsComboBoxes() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
        const auto styleFor = [](const QString& name) -> std::unique_ptr<QStyle> {
            if (name.isEmpty()) {
                return nullptr;
            }
            if (name == u"own") {
                return std::unique_ptr<QStyle>(QStyleFactory::create(QStringLiteral("Fusion")));
            }
            return std::make_unique<UntrackedPopups>(name == u"menus");
        };
        std::unique_ptr<QStyle> first = styleFor(before);
        const std::unique_ptr<QStyle> then = styleFor(after);
        const auto fusionAgain =
            qScopeGuard([] { QApplication::setStyle(QStringLiteral("Fusion")); });
        if (first != nullptr && before != u"own") {
            QApplication::setStyle(first.release()); // the application's now
        }
        QWidget window;
        auto* row = new QHBoxLayout(&window);
        auto* numbers = new forms::NumberList(&window);
        auto* combo = new QComboBox(&window);
        const std::array<QComboBox*, 2> lists{numbers, combo};
        for (QComboBox* list : lists) {
            if (first != nullptr) {
                list->setStyle(first.get());
            }
            list->setMaxVisibleItems(12);
            row->addWidget(list);
        }
        numbers->setEditable(true);
        combo->setEditable(true);
        QCOMPARE(numbers->size(), combo->size());
        for (QComboBox* list : lists) {
            if (then != nullptr) {
                list->setStyle(then.get());
            }
        }
        numbers->setNumbers(1, 59, false);
        for (int n = 1; n <= 59; ++n) {
            combo->addItem(QString::number(n));
        }
        QVERIFY(numbers->completer() == nullptr);
        QVERIFY(combo->completer() != nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(numbers->lineEdit()->geometry(), combo->lineEdit()->geometry());
        const auto shown = openedPopup(numbers);
        const auto expected = openedPopup(combo);
        QVERIFY(!expected.second.isNull());
        QCOMPARE(shown.first, expected.first);
        QCOMPARE(shown.second.size(), expected.second.size());
        QCOMPARE(shown.second, expected.second);
    }

    // Labels kept steady are placed and drawn as Qt's layouts place and draw them: at the start,
    // after a text with other digits (without laying the window out again), one as long with
    // wider letters, one too long for the window, a larger font, and a short text.
    void steadyLabelsLookAsLaidOutLabels() {
        Figures plain(false);
        Figures steady(true);
        QVERIFY(QTest::qWaitForWindowExposed(&plain.window()) &&
                QTest::qWaitForWindowExposed(&steady.window()));
        const auto change = [&](int index, const auto& how) {
            how(plain.labels.at(static_cast<std::size_t>(index)));
            how(steady.labels.at(static_cast<std::size_t>(index)));
            QCoreApplication::processEvents();
            QCoreApplication::processEvents(); // what the first round posted
        };
        const auto compareBoth = [&]() {
            QCOMPARE(steady.window().size(), plain.window().size());
            for (std::size_t i = 0; i < plain.labels.size(); ++i) {
                QCOMPARE(steady.labels[i]->objectName(), plain.labels[i]->objectName());
                QCOMPARE(QRect(steady.labels[i]->mapTo(&steady.window(), QPoint()),
                               steady.labels[i]->size()),
                         QRect(plain.labels[i]->mapTo(&plain.window(), QPoint()),
                               plain.labels[i]->size()));
            }
            QCOMPARE(steady.window().grab().toImage(), plain.window().grab().toImage());
            QCOMPARE(steady.cutPaints, plain.cutPaints);
        };
        compareBoth();

        plain.layoutRequests = steady.layoutRequests = 0;
        change(0, [](QLabel* label) { label->setText(QStringLiteral("Tid i dag: 9 h 8 m 7 s")); });
        QCOMPARE(steady.layoutRequests, 0);
        QVERIFY(plain.layoutRequests > 0);
        compareBoth();

        change(0, [](QLabel* label) { label->setText(QStringLiteral("WWWWWWWWW: 9 h 8 m 7 s")); });
        compareBoth();

        change(1, [](QLabel* label) {
            label->setText(QStringLiteral("Extra tid: 123 h 45 m 56 s, och en text som inte "
                                          "ryms i fönstret som det var från början"));
        });
        compareBoth();
        QCOMPARE(steady.cutPaints, 0);
        QVERIFY(steady.labels[1]->width() >= steady.labels[1]->sizeHint().width());

        change(2, [](QLabel* label) {
            QFont larger = label->font();
            larger.setPointSize(larger.pointSize() * 2);
            label->setFont(larger);
        });
        compareBoth();

        change(1, [](QLabel* label) { label->setText(QStringLiteral("Kort")); });
        compareBoth();
    }

    // Qt's own loading of the frame's picture (which asks every plugin) keeps it under the key the
    // cache was given, with the same pixels as the picture read as PNG.
    void qtLoadsTheFramesPictureUnderTheSameKeyAndWithTheSamePixels() {
        const QImage asPng = readPng(forms::groupBoxFrameFile());
        QVERIFY(!asPng.isNull());
        QPixmapCache::clear();
        const QPixmap byQt(forms::groupBoxFrameFile());
        QVERIFY(!byQt.isNull());
        QPixmap cached;
        QVERIFY(QPixmapCache::find(forms::pixmapCacheKey(forms::groupBoxFrameFile()), &cached));
        QCOMPARE(cached.toImage(), byQt.toImage());
        QCOMPARE(QPixmap::fromImage(asPng).toImage(), byQt.toImage());
    }

    // Every icon has its picture and its twice-as-large one, and each gives byte for byte the
    // pixmap that the picture the build drew gives when read by the PNG reader, with the same
    // pixel ratio; the pixmap keeps the compiled-in bytes themselves.
    void theIconsPixelsAreWhatThePngReaderReads() {
        std::map<std::string, int> pictures;
        for (const forms::IconPicture& picture : forms::iconPictures()) {
            const int count = ++pictures[picture.name];
            const QString file = QStringLiteral(SURFKLOCKA_ICON_PICTURE_DIR "/") +
                                 QString::fromLatin1(picture.name) +
                                 (count == 1 ? QStringLiteral(".png") : QStringLiteral("@2x.png"));
            const QImage expected = readPng(file);
            const QImage built = forms::iconImage(picture);
            QVERIFY2(!expected.isNull(), qPrintable(file));
            QCOMPARE(built.size(), expected.size());
            QCOMPARE(built.size(), count == 1 ? QSize(32, 32) : QSize(64, 64));
            QCOMPARE(built.devicePixelRatio(), expected.devicePixelRatio());
            QCOMPARE(built.devicePixelRatio(), count == 1 ? 1.0 : 2.0);
            const QImage fromBuilt = QPixmap::fromImage(built).toImage();
            const QImage fromPicture = QPixmap::fromImage(expected).toImage();
            QCOMPARE(fromBuilt.format(), fromPicture.format());
            QCOMPARE(fromBuilt, fromPicture);
            QCOMPARE(fromBuilt.constBits(), picture.pixels);
        }
        // The fifteen icons of resources/icons, each with its two pictures.
        QCOMPARE(pictures.size(), std::size_t{15});
        for (const auto& [name, count] : pictures) {
            QCOMPARE(count, 2);
        }
    }

    // The frame's picture compiled in is, pixel for pixel, the pixmap Qt's PNG reader gives from
    // Qt's resource, which holds the very bytes the build read; a picture not compiled in is none.
    void qtsFramePictureIsCompiledInAsThePngReaderReadsIt() {
        const QImage built = forms::qtResourcePicture(forms::groupBoxFrameFile());
        const QImage read = readPng(forms::groupBoxFrameFile());
        QVERIFY(!built.isNull() && !read.isNull());
        QCOMPARE(QPixmap::fromImage(built).toImage(), QPixmap::fromImage(read).toImage());
        QCOMPARE(built.constBits(), forms::qtPictures().front().picture.pixels);
        QVERIFY(forms::qtResourcePicture(
                    QStringLiteral(":/qt-project.org/styles/commonstyle/images/up-16.png"))
                    .isNull());
    }

    // The built printing module makes the chart's SVG picture byte for byte as Qt SVG does here,
    // and gives one printer for the dialog and the printing. Where the module cannot be found
    // (beside a test program it is not), printing goes ahead and fails, so the window says so.
    void printingComesFromItsModule() {
        void* module = ::dlopen(SURFKLOCKA_PRINTING_MODULE, RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(module != nullptr, ::dlerror());
        using Make =
            void(const core::MonthChart&, const QSize&, const QPalette&, const QFont&, QByteArray&);
        auto* make = reinterpret_cast<Make*>(app::moduleFunction(module, "surfklocka_chart_svg"));
        QVERIFY(make != nullptr);
        core::MonthChart chart;
        chart.title = "Mars 2026";
        chart.dailyAllowance = 3600;
        chart.year = 2026;
        chart.month = 3;
        chart.bars = {{1, 3600, 1800}, {2, 1800, 0}};
        QByteArray bytes;
        make(chart, QSize(300, 200), QPalette(), QFont(), bytes);
        QVERIFY(bytes.contains("Mars 2026"));
        QCOMPARE(bytes, forms::monthChartSvg(chart, QSize(300, 200), QPalette(), QFont()));
        using Dialog = platform::PrintDialog*();
        using Printer = platform::Printer*();
        auto* dialog = reinterpret_cast<Dialog*>(::dlsym(module, "surfklocka_print_dialog"));
        auto* printer = reinterpret_cast<Printer*>(::dlsym(module, "surfklocka_printer"));
        QVERIFY(dialog != nullptr && printer != nullptr);
        QVERIFY(dialog() != nullptr && printer() != nullptr);
        QCOMPARE(static_cast<void*>(dynamic_cast<platform::Printer*>(dialog())),
                 static_cast<void*>(printer()));

        app::ModulePrinting missing;
        QCOMPARE(missing.ask(), std::optional<int>(1));
        QVERIFY(!missing.print({{platform::PrintItem::Kind::Line, "Rad", 10, false}}));
    }

private:
    // A list's popup, opened on its own (an open popup would move the next one): how it is made
    // and what it shows.
    static std::pair<QString, QImage> openedPopup(QComboBox* list) {
        list->setCurrentIndex(29);
        list->showPopup();
        QWidget* popup = list->view()->parentWidget();
        auto* layout = qobject_cast<QBoxLayout*>(popup->layout());
        QStringList made{
            QString::fromLatin1(list->view()->itemDelegate()->metaObject()->className()),
            QString::number(list->view()->verticalScrollBarPolicy()),
            QString::number(list->view()->hasMouseTracking()),
            QString::number(list->focusPolicy()),
            QString::number(list->testAttribute(Qt::WA_InputMethodEnabled)),
            QString::number(list->lineEdit()->hasFrame()),
            QString::number(list->lineEdit()->contextMenuPolicy()),
            QString::number(qobject_cast<QFrame*>(popup)->frameStyle())};
        // The space above and below the entries; between them, the entries and any hidden
        // scroll arrows.
        for (const int i : {0, layout->count() - 1}) {
            const QSize size = layout->itemAt(i)->sizeHint();
            made << QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
        }
        const QImage drawn = popup->isVisible() ? popup->grab().toImage() : QImage();
        list->hidePopup();
        return {made.join(u' '), drawn};
    }

    QObject* m_frames = nullptr;
};

QTEST_MAIN(PicturesTest)
#include "test_pictures.moc"
