#pragma once

#include <QWidget>

class QCloseEvent;
class QShowEvent;

namespace forms {

// What the windows opened from the main window (the range, help and chart windows) share: every
// way of closing one (its close button, its keys, the window frame, close()) goes the same way,
// once per opening: the window's own closing step, then it hides and emits closed(), and the main
// window shows itself again. The first showing by the program hands the focus to the window's
// chosen control; later activations (after a message box, or coming back from another program or
// from being minimised) leave the focus where the user left it. A window shown again after it
// closed is a new opening.
//
// It decides nothing about what a window shows, and it neither deletes the window nor shows the
// main window itself.
class ToolWindow : public QWidget {
    Q_OBJECT

public:
    explicit ToolWindow(QWidget* parent = nullptr);

Q_SIGNALS:
    // The window has closed: the main window is to be shown again and activated.
    void closed();

protected:
    // The control that takes the focus when the program shows the window.
    void setFirstFocus(QWidget* widget) { m_firstFocus = widget; }
    // The window's own step when it closes, before it hides.
    virtual void closing() {}

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* m_firstFocus = nullptr;
    bool m_opened = false; // shown by the program, and the focus handed over
};

} // namespace forms
