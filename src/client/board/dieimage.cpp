#include "dieimage.h"

#include "art/artwork.h"
#include "boardaccessibility.h"
#include "core/spokenwords.h"
#include "readername.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>

namespace velmora {

DieImage::DieImage(int number, QWidget* parent)
    : QWidget(parent)
    , m_number(number)
{
    setObjectName(QStringLiteral("image_dice%1").arg(number));
    installBoardAccessibility();
    setFixedSize(side, side);
    setFace(0);
    // Moves are not handled here: while the button that picked a die up is
    // held they pass on to the panel, which moves the die.
}

void DieImage::setFace(int value)
{
    m_face = value;
    setReaderName(this, value == 0 ? QStringLiteral("Die %1, blank").arg(m_number)
                                   : QStringLiteral("Die %1 shows %2").arg(m_number).arg(spoken::face(value)));
    update();
}

void DieImage::setAvailable(bool available)
{
    if (available == m_available)
        return;
    m_available = available;
    // A placed die can no longer be pressed: readers learn it as a change of state.
    QAccessible::State changed;
    changed.disabled = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
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
    // The die that took the press also gets the release; it goes on to the
    // panel, where releasing any button ends a drag.
    event->ignore();
}

} // namespace velmora
