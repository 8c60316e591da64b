#include "dieimage.h"

#include "art/artwork.h"

#include <QMouseEvent>
#include <QPainter>

namespace velmora {

DieImage::DieImage(int number, QWidget* parent)
    : QWidget(parent)
    , m_number(number)
{
    setObjectName(QStringLiteral("image_dice%1").arg(number));
    setFixedSize(side, side);
    // Moves are not handled here: they pass on to the panel, which moves a
    // picked-up die, even while no button is held.
    setMouseTracking(true);
}

void DieImage::setFace(int value)
{
    m_face = value;
    update();
}

void DieImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, art::dieFace(m_face, devicePixelRatioF()));
}

void DieImage::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit pressed(m_number, event->button());
}

void DieImage::mouseReleaseEvent(QMouseEvent* event)
{
    // The release that follows a press on a die belongs to the die: it must not
    // reach the panel, where a release drops a die that has just been picked up.
    event->accept();
}

} // namespace velmora
