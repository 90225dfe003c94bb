#include "platform/qt_save_file.h"

#include <QApplication>
#include <QFileDialog>
#include <QSaveFile>

namespace platform {

std::optional<std::string> QtSaveFile::ask(const std::string& suggestedName,
                                           const std::string& filters) {
    const QString filterText = QString::fromStdString(filters);
    QString chosen;
    const QString path =
        QFileDialog::getSaveFileName(QApplication::activeWindow(), QStringLiteral("Exportera"),
                                     QString::fromStdString(suggestedName), filterText, &chosen);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    const auto index = filterText.split(QStringLiteral(";;")).indexOf(chosen);
    m_chosenFilter = index < 0 ? 0 : static_cast<std::size_t>(index);
    return path.toStdString();
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

} // namespace platform
