#pragma once

#include <QComboBox>
#include <QSize>
#include <QStringList>

namespace forms {

// A drop-down list of numbers (the date's and the time's lists in the main window). It asks for
// the sizes a QComboBox with the same entries asks for, to the pixel, but measures each number
// once per font for all such lists in the program, where every QComboBox measures each of its
// entries again for each size it is asked for, and once more when it is first shown: the main
// window's start measures 108 numbers instead of 682.
//
// It keeps its sizes as a QComboBox that adjusts to its contents on first show keeps them: each
// is measured when first asked for, with the entries the list has then. The size it asks for is
// measured again when the list is first shown and when its font or style changes, its smallest
// size only when its style changes. It knows its entries only through setNumbers: a list given
// entries otherwise, a placeholder or another size policy is measured by QComboBox itself.
// Entries with icons are not foreseen.
class NumberList : public QComboBox {
public:
    explicit NumberList(QWidget* parent = nullptr);

    // Replaces the entries with the numbers first to last ("01" for two digits), leaving none
    // chosen (and an editable list's text empty), without sending the list's signals.
    void setNumbers(int first, int last, bool twoDigits);

    // Hides QComboBox::setEditable, which is not virtual, for the forms that make the list
    // editable (uic calls it on the list's own type). The list becomes editable as a QComboBox
    // does, but its line edit gets no completer: QComboBox would give it one over the entries,
    // which a list of numbers has no use for. Its popup is made when first wanted rather than at
    // once, and then made as QComboBox would have left it. Called through a QComboBox pointer,
    // QComboBox's own runs, completer and all.
    void setEditable(bool editable);

    void showPopup() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void restyledPopup();
    bool measuresItself() const;
    int widestNumber() const;
    QSize measured() const;
    QSize kept(QSize& size) const;

    QStringList m_numbers;
    mutable QSize m_hint;
    mutable QSize m_minimum;
    bool m_shown = false;
    // Whether QComboBox would have made the popup as a menu when the list became editable, until
    // the popup is first shown.
    bool m_menuPopupDue = false;
};

} // namespace forms
