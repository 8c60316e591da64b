#include "anchorlayout.h"

#include <QEvent>
#include <QWidget>

namespace velmora {

AnchorLayout::AnchorLayout(QWidget* parent, QSize designSize)
    : QObject(parent)
    , m_designSize(designSize)
{
    parent->installEventFilter(this);
}

void AnchorLayout::add(QWidget* child, const QRect& designRect, int anchors)
{
    child->setGeometry(designRect);
    m_entries.append({child, designRect, anchors});
}

void AnchorLayout::apply(QSize parentSize) const
{
    const int dx = parentSize.width() - m_designSize.width();
    const int dy = parentSize.height() - m_designSize.height();
    for (const Entry& e : m_entries) {
        QRect r = e.design;
        if (e.anchors & Right) {
            if (e.anchors & Left)
                r.setWidth(r.width() + dx);
            else
                r.moveLeft(r.left() + dx);
        }
        if (e.anchors & Bottom) {
            if (e.anchors & Top)
                r.setHeight(r.height() + dy);
            else
                r.moveTop(r.top() + dy);
        }
        e.widget->setGeometry(r);
    }
}

bool AnchorLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched == parent())
        apply(static_cast<QWidget*>(watched)->size());
    return false;
}

} // namespace velmora
