#include "platform/qt_message_box.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace platform {

MessageBox::Answer QtMessageBox::show(const std::string& text, const std::string& title,
                                      Buttons buttons, Icon icon, bool secondIsDefault) {
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(QString::fromStdString(text));
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Stop:
        box.setIcon(QMessageBox::Critical);
        break;
    }

    QMessageBox::StandardButton first = QMessageBox::Ok;
    QMessageBox::StandardButton second = QMessageBox::NoButton;
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        first = QMessageBox::Yes;
        second = QMessageBox::No;
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        first = QMessageBox::Yes;
        second = QMessageBox::No;
        break;
    }
    const std::pair<QMessageBox::StandardButton, const char*> swedish[] = {
        {QMessageBox::Ok, "OK"},
        {QMessageBox::Yes, "Ja"},
        {QMessageBox::No, "Nej"},
        {QMessageBox::Cancel, "Avbryt"},
    };
    for (const auto& [button, label] : swedish) {
        if (QAbstractButton* widget = box.button(button)) {
            widget->setText(QString::fromUtf8(label));
        }
    }
    box.setDefaultButton(secondIsDefault && second != QMessageBox::NoButton ? second : first);

    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        break;
    }
    // Closed some other way: the answer that changes nothing.
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::YesNoCancel:
        return Answer::Cancel;
    }
    return Answer::Ok;
}

} // namespace platform
