#include "platform/qt_save_file.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

namespace {

// The folder a save dialog opens in the first time.
QString documentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

// The ending of a filter's first pattern without its dot: "csv" for "CSV (*.csv)".
QString endingOf(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

} // namespace

std::optional<SaveFile::Choice> QtSaveFile::ask(const std::string& title,
                                                const std::string& suggestedName,
                                                const std::string& filters) {
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(title));
    dialog.setObjectName(QStringLiteral("dlgSpara"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filterList =
        QString::fromStdString(filters).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    dialog.setNameFilters(filterList);
    dialog.setDirectory(m_folder.isEmpty() ? documentsFolder() : m_folder);
    dialog.selectFile(QString::fromStdString(suggestedName));
    dialog.setDefaultSuffix(endingOf(filterList.value(0)));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(endingOf(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().constFirst();
    if (path.isEmpty()) {
        return std::nullopt;
    }
    m_folder = QFileInfo(path).absolutePath();
    const auto chosen = filterList.indexOf(dialog.selectedNameFilter());
    return Choice{path.toStdString(), chosen < 0 ? 0 : static_cast<std::size_t>(chosen)};
}

std::optional<std::string> QtSaveFile::write(const std::string& path, const std::string& bytes) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        return "filen " + path + " gick inte att öppna för skrivning.";
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        file.cancelWriting();
        return "filen " + path + " gick inte att skriva.";
    }
    if (!file.commit()) {
        return "filen " + path + " gick inte att spara.";
    }
    return std::nullopt;
}

std::string QtSaveFile::homeFolder() const {
    return QDir::homePath().toStdString();
}

} // namespace platform
