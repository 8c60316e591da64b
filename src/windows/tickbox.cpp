#include "tickbox.h"

#include "art/artwork.h"

#include <QMouseEvent>
#include <QPainter>

namespace velmora {

TickBox::TickBox(const QString& objectName, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(objectName);
    setFixedSize(35, 36);
    setCursor(Qt::PointingHandCursor);
}

void TickBox::setState(int state)
{
    m_state = state;
    update();
}

void TickBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, art::tickBox(m_state == 1, devicePixelRatioF()));
}

void TickBox::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void TickBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace velmora
