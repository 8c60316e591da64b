#include "controls/focusmark.h"

#include "art/palette.h"
#include "controls/keyfocusmark.h"

#include <QFocusEvent>
#include <QPainter>

namespace velmora {

namespace {

// The edge drawn over a focused widget; it watches its widget's focus and size.
class FocusEdge : public QWidget {
public:
    explicit FocusEdge(QWidget* widget)
        : QWidget(widget)
    {
        setObjectName(QStringLiteral("focusedge"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        resize(widget->size());
        hide();
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            // The focus a window hands its first control when it opens is not
            // the player's doing: no edge then, so the window opens as it
            // always has. Coming back to the window shows the edge again.
            m_mark.follow(static_cast<QFocusEvent*>(event));
            if (m_mark.shown())
                raise();
            setVisible(m_mark.shown());
            break;
        case QEvent::Resize:
            resize(static_cast<QWidget*>(watched)->size());
            break;
        default:
            break;
        }
        return false;
    }
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(QPen(art::palette::paleLime, 1));
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }

private:
    KeyFocusMark m_mark;
};

} // namespace

FocusRing::FocusRing(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("focusring"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FocusRing::surround(const QRect& target)
{
    if (target.isEmpty()) {
        hide();
        return;
    }
    setGeometry(target.adjusted(-margin, -margin, margin, margin));
    raise();
    show();
}

void FocusRing::paintEvent(QPaintEvent*)
{
    // Lime, two pixels wide, inside a black line that keeps it apart from a
    // neighbouring die's ivory.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF ring = QRectF(rect()).adjusted(2, 2, -2, -2);
    painter.setPen(QPen(art::palette::black, 4));
    painter.drawRoundedRect(ring, 6, 6);
    painter.setPen(QPen(art::palette::textLime, 2));
    painter.drawRoundedRect(ring, 6, 6);
}

void markFocus(QWidget* widget)
{
    new FocusEdge(widget);
}

} // namespace velmora
