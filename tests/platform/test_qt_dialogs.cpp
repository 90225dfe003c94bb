// Qt's own dialogs as the program opens them: the save dialog starts in the documents folder and
// honours the type chosen, and every dialog (the save dialog for an export and for a picture, the
// question before replacing a file, the print dialog and its printer properties) shows no text
// of Qt's that is still English. A text counts as English when it is the same as in a run of the
// same dialog without the translation, and is not one of the few that Swedish writes alike.

#include "platform/qt_save_file.h"
#include "platform/qt_services.h"
#include "platform/qt_translation.h"
#include "support/temp_dir.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <functional>

namespace {

using Visit = std::function<void(QWidget*)>;

// Runs `visit` on the modal dialog as soon as it is up.
void whenModal(Visit visit) {
    QTimer::singleShot(0, [visit] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog != nullptr);
        visit(dialog);
    });
}

// Every text a person sees in a window: its title, and the text of each shown label and button,
// group box title, list entry, column heading and entry of a list or table of files, and the
// commands of its menus, without the '&' of a shortcut key. A window's tabs are walked one by one.
QSet<QString> shownTexts(QWidget* window) {
    QSet<QString> texts;
    const auto add = [&texts](QString text) {
        text = text.remove(QLatin1Char('&')).trimmed();
        if (text.contains(QRegularExpression(QStringLiteral("[A-Za-z]")))) {
            texts << text;
        }
    };
    const auto walk = [&] {
        add(window->windowTitle());
        for (const QAction* action : window->findChildren<QAction*>()) {
            add(action->text());
        }
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(window)) {
                continue;
            }
            add(w->property(qobject_cast<QGroupBox*>(w) ? "title" : "text").toString());
            auto* list = qobject_cast<QComboBox*>(w);
            for (int i = 0; list != nullptr && i < list->count(); ++i) {
                add(list->itemText(i));
            }
            auto* header = qobject_cast<QHeaderView*>(w);
            for (int i = 0; header != nullptr && i < header->count(); ++i) {
                add(header->model()->headerData(i, header->orientation()).toString());
            }
            auto* view = qobject_cast<QAbstractItemView*>(w);
            const QAbstractItemModel* model = view && !header ? view->model() : nullptr;
            for (int row = 0; model != nullptr && row < model->rowCount(view->rootIndex()); ++row) {
                for (int column = 0; column < model->columnCount(view->rootIndex()); ++column) {
                    add(model->index(row, column, view->rootIndex()).data().toString());
                }
            }
        }
    };
    walk();
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            add(tabs->tabText(i));
            tabs->setCurrentIndex(i);
            walk();
        }
    }
    return texts;
}

// The save dialog with a file of the suggested name there: the dialog, then the question before
// replacing it, answered Nej (or No), then the dialog cancelled.
QSet<QString> saveDialogTexts(const QString& folder, const char* title, const char* name,
                              const char* filters) {
    QSet<QString> texts;
    whenModal([&](QWidget* dialog) {
        // The folder "2001" and the file, listed by a thread of their own.
        const auto* files = dialog->findChild<QAbstractItemView*>(QStringLiteral("treeView"));
        QVERIFY(
            QTest::qWaitFor([files] { return files->model()->rowCount(files->rootIndex()) == 2; }));
        texts += shownTexts(dialog);
        whenModal([&](QWidget* question) {
            texts += shownTexts(question);
            qobject_cast<QMessageBox*>(question)->button(QMessageBox::No)->click();
        });
        static_cast<QDialog*>(dialog)->accept();
        static_cast<QDialog*>(dialog)->reject();
    });
    QDir(folder).mkpath(QStringLiteral("Dokument/2001"));
    QFile(folder + QStringLiteral("/Dokument/") + QString::fromLatin1(name))
        .open(QIODevice::WriteOnly);
    platform::QtSaveFile().ask(title, name, filters);
    return texts;
}

// The print dialog with its options shown, then its printer's properties, then cancelled.
QSet<QString> printDialogTexts() {
    QSet<QString> texts;
    whenModal([&](QWidget* dialog) {
        for (auto* button : dialog->findChildren<QAbstractButton*>()) {
            if (button->text().endsWith(QLatin1String(">>"))) {
                button->click(); // the copies and options shown
            }
        }
        texts += shownTexts(dialog);
        whenModal([&](QWidget* properties) {
            texts += shownTexts(properties);
            qobject_cast<QDialog*>(properties)->reject();
        });
        dialog->findChild<QAbstractButton*>(QStringLiteral("properties"))->click();
        qobject_cast<QDialog*>(dialog)->reject();
    });
    platform::QtPrinting printing;
    if (printing.ask()) {
        texts << QStringLiteral("the print dialog was not cancelled");
    }
    return texts;
}

QSet<QString> allDialogTexts(const QString& folder) {
    return saveDialogTexts(folder, "Exportera", "surfklocka_2001-09-06_2001-12-05.csv",
                           "CSV (*.csv);;JSON (*.json)") +
           saveDialogTexts(folder, "Spara bild", "Diagram 2001-12.png",
                           "PNG-bild (*.png);;SVG-bild (*.svg)") +
           printDialogTexts();
}

} // namespace

class QtDialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qputenv("HOME", QByteArray::fromStdString(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_home.file(".config")));
        QDir(QString::fromStdString(m_home.path())).mkpath(QStringLiteral(".config"));
        m_home.write(".config/user-dirs.dirs", {std::begin(kUserDirs), std::end(kUserDirs) - 1});
    }
    void saveDialogStartsInTheDocumentsAndHonoursTheTypeChosen();
    void everyDialogSpeaksSwedish();

private:
    static constexpr char kUserDirs[] = "XDG_DOCUMENTS_DIR=\"$HOME/Dokument\"\n";
    testing_support::TempDir m_home;
};

void QtDialogsTest::saveDialogStartsInTheDocumentsAndHonoursTheTypeChosen() {
    const QString documents = QString::fromStdString(m_home.file("Dokument"));
    QDir().mkpath(documents);
    QString startedIn;
    whenModal([&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        startedIn = dialog->directory().absolutePath();
        // JSON chosen as a person chooses it, then a name typed without an ending.
        QTest::keyClick(dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")),
                        Qt::Key_Down);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->clear();
        QTest::keyClicks(name, QStringLiteral("surf-2001-12"));
        static_cast<QDialog*>(dialog)->accept();
    });
    platform::QtSaveFile saveFile;
    const auto choice = saveFile.ask("Exportera", "surfklocka.csv", "CSV (*.csv);;JSON (*.json)");
    QCOMPARE(startedIn, documents);
    QVERIFY(choice.has_value());
    QCOMPARE(QString::fromStdString(choice->path),
             documents + QStringLiteral("/surf-2001-12.json"));
    QCOMPARE(choice->filter, std::size_t(1));
    QCOMPARE(saveFile.homeFolder(), m_home.path());
}

void QtDialogsTest::everyDialogSpeaksSwedish() {
    auto& application = *QCoreApplication::instance();
    const QString folder = QString::fromStdString(m_home.path());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QSet<QString> english = allDialogTexts(folder);
    // Every dialog was there to be read: its texts in English without the translation.
    for (const char* text : {"Look in:", "Date Modified", "Printer Properties", "Copies",
                             "Diagram 2001-12.png already exists.\nDo you want to replace it?"}) {
        QVERIFY2(english.contains(QString::fromLatin1(text)), text);
    }
    QVERIFY(platform::installSwedishQtTranslation(application));
    const QSet<QString> swedish = allDialogTexts(folder);
    for (QTranslator* translator : application.findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
    }
    // Written alike in Swedish: the program's own titles, file and folder names (the test's own
    // among them), and the names of paper sizes and typographic units.
    static const QRegularExpression alike(QStringLiteral(
        R"(^(Exportera|Spara bild|Skriv ut|OK|PDF|Standard|.*/.*|.*\.(csv|png)|.*\(\*\.\w+\)|)"
        R"(Dokument|surfklocka-test-.*|)"
        R"((ANSI|JIS|PRC|Super) \w+|(Legal|Letter|Tabloid)( \w+)?|Statement|(Cicero|Didot|Pica) \(.*\)|[A-Z]?[0-9].*)$)"));
    QStringList untranslated;
    for (const QString& text : swedish& english) {
        if (!alike.match(text).hasMatch()) {
            untranslated << text;
        }
    }
    untranslated.sort();
    for (const QString& text : untranslated) {
        qInfo().noquote() << "På engelska:" << text;
    }
    QVERIFY(untranslated.isEmpty());
    QVERIFY(!swedish.contains(QStringLiteral("the print dialog was not cancelled")));
}

QTEST_MAIN(QtDialogsTest)
#include "test_qt_dialogs.moc"
