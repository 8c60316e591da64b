#include "dartslot.h"

#include "art/palette.h"
#include "boardrules.h"

#include <QPainter>

namespace velmora {

DartSlot::DartSlot(int dart, int slot, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("dart%1dice%2").arg(dart).arg(slot));
    setGeometry(QRect(board::slotPosition(dart, slot), QSize(32, 32)));
    // Presses and moves fall through to the panel, which handles drags.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DartSlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(art::palette::grey);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace velmora
