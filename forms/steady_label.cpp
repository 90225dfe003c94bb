#include "forms/steady_label.h"

#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QWidget>

namespace forms {
namespace {

// Whether a text takes the room another took: the same text but for its digits, which are all one
// width in the fonts the program's windows use.
bool sameRoom(const QString& text, const QString& measured) {
    if (text.size() != measured.size()) {
        return false;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != measured[i] && !(text[i].isDigit() && measured[i].isDigit())) {
            return false;
        }
    }
    return true;
}

class SteadyLabelHolder final : public QWidget {
public:
    explicit SteadyLabelHolder(QLabel* label, QWidget* parent) : QWidget(parent), m_label(label) {
        setSizePolicy(label->sizePolicy());
    }

    // Takes the label in, once the holder has its place: the layout lets go of a widget that
    // leaves its parent.
    void holdLabel() {
        m_label->setParent(this);
        m_label->installEventFilter(this);
    }

    QSize sizeHint() const override { return measured().hint; }
    QSize minimumSizeHint() const override { return measured().minimum; }

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest) {
            // The label asked for a new layout: only a text that may need other room is passed on.
            if (needsMeasuring()) {
                relayout();
            }
            return true;
        }
        return QWidget::event(event);
    }

    void resizeEvent(QResizeEvent*) override {
        if (m_label) {
            m_label->setGeometry(rect());
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::FontChange:
        case QEvent::StyleChange:
        case QEvent::ContentsRectChange:
        case QEvent::LayoutDirectionChange:
            m_stale = true;
            break;
        default:
            break;
        }
        return QWidget::eventFilter(watched, event);
    }

private:
    // Has the label measured again and the window laid out at once, from the holder up, as a
    // label straight in its layout would have been before the window is painted: a request
    // posted while the events are being sent would wait for their next round.
    void relayout() {
        updateGeometry();
        for (QWidget* widget = parentWidget(); widget != nullptr; widget = widget->parentWidget()) {
            if (QLayout* layout = widget->layout()) {
                layout->activate();
            }
            if (widget->isWindow()) {
                break;
            }
        }
    }

    // Whether the label's text needs other room than the measured one, or its font, style or
    // margins changed since.
    bool needsMeasuring() const {
        return m_label && (m_stale || !sameRoom(m_label->text(), m_measuredText));
    }

    struct Hints {
        QSize hint;
        QSize minimum;
    };

    // The label's hints, measured again only when its text needs other room or its font, style
    // or margins changed: the layout asks for them many times as it lays the window out.
    const Hints& measured() const {
        if (needsMeasuring()) {
            m_hints = {m_label->sizeHint(), m_label->minimumSizeHint()};
            m_measuredText = m_label->text();
            m_stale = false;
        }
        return m_hints;
    }

    QPointer<QLabel> m_label;
    mutable Hints m_hints;
    mutable QString m_measuredText;
    mutable bool m_stale = true;
};

QLayout* layoutHolding(QWidget* widget) {
    QWidget* parent = widget->parentWidget();
    if (parent == nullptr || parent->layout() == nullptr) {
        return nullptr;
    }
    const auto holds = [widget](QLayout* layout) { return layout->indexOf(widget) >= 0; };
    if (holds(parent->layout())) {
        return parent->layout();
    }
    for (QLayout* layout : parent->findChildren<QLayout*>()) {
        if (holds(layout)) {
            return layout;
        }
    }
    return nullptr;
}

} // namespace

void keepLabelSteady(QLabel* label) {
    QLayout* layout = label->wordWrap() ? nullptr : layoutHolding(label);
    if (layout == nullptr) {
        return;
    }
    const bool hidden = label->isHidden() && label->testAttribute(Qt::WA_WState_ExplicitShowHide);
    auto* holder = new SteadyLabelHolder(label, label->parentWidget());
    delete layout->replaceWidget(label, holder, Qt::FindDirectChildrenOnly);
    holder->holdLabel();
    // Shown with their window, or at once where it is shown already; the label is not shown on
    // its own, which would have it measure its text to size itself.
    if (hidden) {
        holder->hide();
    } else if (holder->parentWidget()->isVisible()) {
        holder->show();
    }
}

} // namespace forms
