#include "elidedlabel.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>

namespace velmora {

namespace {

// Draws the label in place of QLabel's own paint, which would wrap or clip
// the text at an arbitrary pixel.
class ElidingPainter : public QObject {
public:
    explicit ElidingPainter(QLabel* label)
        : QObject(label)
        , m_label(label)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_label || event->type() != QEvent::Paint)
            return false;
        QPainter painter(m_label);
        const QRect area = m_label->contentsRect().adjusted(m_label->margin(), m_label->margin(), -m_label->margin(),
                                                            -m_label->margin());
        const QString shown = m_label->fontMetrics().elidedText(m_label->text(), Qt::ElideRight, area.width());
        m_label->style()->drawItemText(&painter, area,
                                       QStyle::visualAlignment(m_label->layoutDirection(), m_label->alignment()),
                                       m_label->palette(), m_label->isEnabled(), shown, m_label->foregroundRole());
        return true;
    }

private:
    QLabel* m_label;
};

} // namespace

void elideLabelText(QLabel* label)
{
    static constexpr char kMarker[] = "velmoraElided";
    if (!label || label->property(kMarker).toBool())
        return;
    label->setProperty(kMarker, true);
    // A name comes from a peer: it is shown as it was typed, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    label->installEventFilter(new ElidingPainter(label));
}

} // namespace velmora
