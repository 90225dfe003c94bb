// Qt's own dialogs as the program opens them: the save dialog starts in the documents folder and
// honours the type chosen, and every dialog (the save dialog, the question before replacing a
// file, the print dialog and its printer properties) shows no text of Qt's that is still English. A
// text counts as English when it is the same as in a run of the same dialog without the
// translation, and is not one of the few that Swedish writes alike.

#include "platform/qt_printing.h"
#include "platform/qt_save_file.h"
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

// Runs `visit` on the modal dialog as soon as it is up.
void whenModal(std::function<void(QWidget*)> visit) {
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
            // A list or table: its column headings and its entries.
            auto* view = qobject_cast<QAbstractItemView*>(w);
            const QAbstractItemModel* model = view ? view->model() : nullptr;
            for (int column = 0; model && column < model->columnCount(view->rootIndex());
                 ++column) {
                add(model->headerData(column, Qt::Horizontal).toString());
                for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
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

// The save dialog for a picture, with a folder and a file of the suggested name in the documents
// folder: the dialog, then the question before replacing the file, answered Nej (or No); then SVG
// chosen as a person chooses it, and a name typed without an ending. `chosen` is where the dialog
// started, then the file and the type it answered.
QSet<QString> saveDialogTexts(const QString& documents, QString& chosen) {
    QSet<QString> texts;
    whenModal([&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        chosen = dialog->directory().absolutePath();
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
        QTest::keyClick(dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")),
                        Qt::Key_Down);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->clear();
        QTest::keyClicks(name, QStringLiteral("surf-2001-12"));
        static_cast<QDialog*>(dialog)->accept();
    });
    QDir(documents).mkpath(QStringLiteral("2001"));
    QFile(documents + QStringLiteral("/Diagram 2001-12.png")).open(QIODevice::WriteOnly);
    const auto choice = platform::QtSaveFile().ask("Spara bild", "Diagram 2001-12.png",
                                                   "PNG-bild (*.png);;SVG-bild (*.svg)");
    chosen += choice ? u' ' + QString::fromStdString(choice->path) + u' ' +
                           QString::number(choice->filter)
                     : QString();
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
    if (platform::QtPrinting().ask()) {
        texts << QStringLiteral("the print dialog was not cancelled");
    }
    return texts;
}

} // namespace

class QtDialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyDialogSpeaksSwedishAndTheSaveDialogHonoursTheTypeChosen() {
        testing_support::TempDir home;
        qputenv("HOME", QByteArray::fromStdString(home.path()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.file(".config")));
        QDir().mkpath(QString::fromStdString(home.file(".config")));
        const char userDirs[] = "XDG_DOCUMENTS_DIR=\"$HOME/Dokument\"\n";
        home.write(".config/user-dirs.dirs", {std::begin(userDirs), std::end(userDirs) - 1});
        const QString documents = QString::fromStdString(home.file("Dokument"));

        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QString chosen;
        const QSet<QString> english = saveDialogTexts(documents, chosen) + printDialogTexts();
        QCOMPARE(chosen, documents + u' ' + documents + QStringLiteral("/surf-2001-12.svg 1"));
        // Every dialog was there to be read: its texts in English without the translation.
        for (const char* text :
             {"Look in:", "Printer Properties", "Copies",
              "Diagram 2001-12.png already exists.\nDo you want to replace it?"}) {
            QVERIFY2(english.contains(QString::fromLatin1(text)), text);
        }
        auto& application = *QCoreApplication::instance();
        QVERIFY(platform::installSwedishQtTranslation(application));
        const QSet<QString> swedish = saveDialogTexts(documents, chosen) + printDialogTexts();
        // Written alike in Swedish: the program's own titles, file and folder names (the test's
        // own among them), and the names of paper sizes and typographic units.
        static const QRegularExpression alike(QStringLiteral(
            R"(^(Spara bild|Skriv ut|OK|PDF|Standard|.*/.*|.*\.png|.*\(\*\.\w+\)|Dokument|)"
            R"(surfklocka-test-.*|(ANSI|JIS|PRC|Super) \w+|(Legal|Letter|Tabloid)( \w+)?|)"
            R"(Statement|(Cicero|Didot|Pica) \(.*\)|[A-Z]?[0-9].*)$)"));
        QStringList untranslated;
        for (const QString& text : swedish& english) {
            if (!alike.match(text).hasMatch()) {
                untranslated << text;
            }
        }
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(u'|')));
        QVERIFY(!swedish.contains(QStringLiteral("the print dialog was not cancelled")));
    }
};

QTEST_MAIN(QtDialogsTest)
#include "test_qt_dialogs.moc"
