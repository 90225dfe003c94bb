#include "forms/tool_window.h"

#include <QCloseEvent>
#include <QShowEvent>

namespace forms {

ToolWindow::ToolWindow(QWidget* parent) : QWidget(parent, Qt::Window) {}

void ToolWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only the showing by the program hands the window over; a window coming back from being
    // minimised keeps its focus, as it does on every later activation.
    if (!m_opened && !event->spontaneous()) {
        m_opened = true;
        if (m_firstFocus != nullptr) {
            m_firstFocus->setFocus();
        }
    }
}

void ToolWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!m_opened) {
        return; // closed already, or never shown
    }
    m_opened = false;
    closing();
    // Off the screen before the main window takes over, so that nothing the main window runs
    // sees this window as open.
    hide();
    Q_EMIT closed();
}

} // namespace forms
